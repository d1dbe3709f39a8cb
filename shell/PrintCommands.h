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

#include <memory>

class CDataView;
class CMainFrame;
class CRecordNavigator;
struct CPaperStock;
class CRecordPrintDriver;
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
