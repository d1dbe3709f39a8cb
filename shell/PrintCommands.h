// The designer's paper commands and its print station: choosing, designing
// and editing the sign's paper stock, and the preview of the sheet being
// printed with its batch dialog. A link of the main frame's command chain.
#pragma once

#include "Commands.h"
#include "PrintBatchDlg.h"
#include "PrintStationWnd.h"
#include "Types.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class CDataView;
class CMainFrame;
class CPrintRunSeam;
class CRecordNavigator;
struct CPaperStock;
class CRecordPrintDriver;
class CSignData;
class CSignRecordDriver;
class QWidget;

class CPrintCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it.
    explicit CPrintCommands(CMainFrame* frame);
    ~CPrintCommands() override;

    // The frame's link, or null.
    static CPrintCommands* Of(const CMainFrame* frame);

    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;

    // Makes the named stock the sign's (after the paper dialogs): the
    // elements are scaled to the new sign size, the stock selected with the
    // source, the pane and the canvas follow, the sign is marked modified.
    // previous: the sign's stock before, when it was changed in place.
    void ApplyStock(const QString& name, const QString& source = QString(),
                    const CPaperStock* previous = nullptr);

    // --- print station ---------------------------------------------------
    // Covers the canvas with the print station (the whole sheet or the one
    // sign) and opens the print batch dialog beside it; the frame shows
    // the data-entry pane. The sign's own data is its one record until the
    // database link drives it record by record.
    // view: 1 the whole sheet, 0 the one sign, -1 the station's own choice
    // (the ViewMode preference, else the whole sheet for a sheet of labels).
    BOOL OpenPrintStation(int view = -1);
    // Ends an open run (ejecting a partly filled sheet) and leaves the
    // station.
    void ClosePrintStation();
    bool IsStationOpen() const { return !m_station.isNull(); }
    CPrintStationWnd* Station() const { return m_station; }
    CPrintBatchDlg* BatchDialog() const { return m_batch; }
    // The data-entry pane while the station is open, else null.
    CDataView* DataView() const;

private:
    void OnPaperSelect();
    void OnPaperDesign(bool newStock);
    void OnPrintAllRecords();
    // The record navigator of a sign with a database or data store, else
    // null.
    CRecordNavigator* MakeNavigator();

    CMainFrame* m_frame;
    QPointer<CPrintStationWnd> m_station;
    QPointer<CPrintBatchDlg> m_batch;
    std::unique_ptr<CSignRecordDriver> m_driver;
    // Wraps m_driver for a sign linked to a database: each sign takes its
    // record's data.
    std::unique_ptr<CRecordPrintDriver> m_records;
};

// --- the print station's parts, shared with the print front end ---------------

// Prints a batch at the print station: through the data-entry pane when it
// is shown (each sign's data is checked before it prints, and the rows
// follow the record being printed), else the sign as it stands, with the
// variables prepared and advanced around each record. The station's sheet,
// looked up as each sign prints, counts the labels used. FALSE when a sign
// did not print.
BOOL PrintStationBatch(CDataView* data, CSignData& document, int batch, int copies,
                       int destination, const QString& file, int sheetUsage,
                       const std::function<CPrintStationWnd*()>& station);
// The data-entry side of a run's end (the print job was ended before): the
// navigator goes back to the whole table or view at its key when data entry
// starts again, data entry ends and the variables are reset; again: data
// entry starts afresh (Restart), else the station is being left.
void EndStationDataEntry(CDataView* data, bool again);
// Hands the print bar and the record navigator (made once the bar is in) to
// the data-entry pane, which shows its changes on the station's preview,
// and starts data entry; each record the link moves to shows in the rows of
// the pane then shown.
void BeginStationDataEntry(CDataView* data, CPrintStationWnd* station, CPrintBatchDlg* batch,
                           CRecordPrintDriver& records,
                           const std::function<CRecordNavigator*()>& makeNavigator,
                           std::function<CDataView*()> dataView);
// Sets the print bar's Identical Copies from a stored copy quantity: a whole
// number above zero; anything else leaves the box as it is.
void SetBatchCopies(CPrintBatchDlg* batch, const QString& copies);
// Print All over the linked database: the print bar prints each record with
// the record's copies.
void PrintAllThroughBatch(CRecordPrintDriver& records, const QPointer<CPrintBatchDlg>& batch);
// The navigator of the data-entry pane over the linked database or data
// store, or null when the sign has no such link. dataView: the pane while the
// station is open; driver: the station's print driver, if any, which Escape
// asks to leave data entry when idle; printAll: Print All over a database.
CRecordNavigator* MakeStationNavigator(const QPointer<CPrintBatchDlg>& batch,
                                       std::function<CDataView*()> dataView,
                                       std::function<CPrintRunSeam*()> driver,
                                       std::function<void()> printAll);
// A print bar with no data-entry pane to stand in floats over `area` (in
// global coordinates) at its top right, `drop` pixels down, at the size it
// remembers; the rectangle it is given is the one it remembers from then on.
void FloatPrintBar(CPrintBatchDlg* batch, const QRect& area, int drop);
// The print bar may be what asked to leave the station (its Return button):
// it goes once its handler is over, not with the data-entry pane that holds
// it, and is left with the owner until then.
void DismissPrintBar(QPointer<CPrintBatchDlg>& batch, QWidget* owner);
