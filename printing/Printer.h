// The sign's printer settings and the printer device: the settings block
// (DEVMODE) kept byte for byte with the sign, the printer's names, its
// resolution and printable area, and the state of a running print job.
#pragma once

#include "DC.h"
#include "DevMode.h"
#include "Object.h"
#include "Types.h"

#include <QElapsedTimer>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class CArchive;
class CPrinter;
class CSignData;
class CTextExportFile;
class QPainter;
struct CPaperStock;

// The "Printing" window as the print loop sees it: shown while signs are
// drawn, hidden between calls, destroyed when the job ends. Its Cancel only
// sets the print-cancel flag; the loop notices the flag after the cell it is
// drawing.
class CPrintWindowSeam
{
public:
    virtual ~CPrintWindowSeam() = default;
    virtual void Show() = 0;
    virtual void Hide() = 0;

    // What the window's Cancel does: asks the printer that opened the window
    // (the sign's printer when none did) to stop.
    void Cancel();

    // Set by the printer that opens the window.
    CPrinter* m_printer = nullptr;
};

// Orientation values of the settings block.
enum : int
{
    DMORIENT_PORTRAIT = 1,
    DMORIENT_LANDSCAPE = 2,
};

class CPrinter : public CObject
{
    DECLARE_PERSISTENT(CPrinter)

public:
    CPrinter();
    ~CPrinter() override;
    CPrinter(const CPrinter&) = delete;
    CPrinter& operator=(const CPrinter&) = delete;

    // Fills the settings from the default printer when they are missing and
    // makes the device context; FALSE (after a message) when no printer data
    // can be had.
    BOOL EnsurePrinter();
    void Reset(BOOL rebuild, int orientation = 0xFFFF);
    // Makes the named printer, with its default settings, the one that
    // EnsurePrinter takes; does not rebuild this object.
    BOOL SelectPrinterByName(const QString& printerName);
    // Makes the printer with these settings the one that EnsurePrinter
    // takes, and rebuilds this object from it (what Print Setup does on OK).
    BOOL SetApplicationPrinter(const QString& printerName, const CDevMode& devMode);
    // The printer that EnsurePrinter takes: the one selected, else the
    // default printer.
    QString ApplicationPrinterName() const;
    BOOL ReadPartnerBlock(const CDevMode& devMode);
    BOOL IsNativeBarcodeSupported(int symbology) const;
    BOOL IsNativeRotationSupported(int quarterTurns) const;
    BOOL SetOrientation(int orientation);
    int GetOrientation(); // DMORIENT_*, after EnsurePrinter
    bool IsLandscape() { return GetOrientation() != DMORIENT_PORTRAIT; }
    BOOL SelectFormForStock(const CPaperStock& stock);
    QString GetPaperSourceName();
    // The bin names in driver order, and the index of the current one (else 0).
    int FillPaperSourceCombo(QStringList& items);
    BOOL SelectPaperSource(const QString& name);
    QString GetDeviceName();
    BOOL ApplyStoredDevMode(DWORD platformId, CDevMode devMode);
    // Print Setup over these settings, in the dialog that the user interface
    // installs (printer, paper size and source, orientation): on OK the
    // chosen printer becomes the one EnsurePrinter takes and this object is
    // rebuilt from it. The dialog's result: 1 OK, 0 cancelled or no dialog.
    int PrinterSetup();
    static std::function<int()> s_printerSetupDialog;
    // Points a QPrinter at this printer with these settings, for a print job.
    BOOL SetUpQPrinter(QPrinter& qprinter);

    void Serialize(CArchive& ar) override;
    void WriteXml(CTextExportFile& file);

    // --- print jobs --------------------------------------------------------
    // One job fills sheets of the current stock with copies of signs, one per
    // label cell, across each row and then down; successive PrintSign calls
    // continue on the same sheet until EndJob. A job prints on the current
    // printer, or writes a PDF file when an output file is given or the
    // printer is the virtual PDF printer.

    // Starts a job; FALSE at once when one is open, when the user cancels the
    // choice of a print file, or (after a message) when printing cannot start.
    BOOL BeginJob(const CSignData& document, int copies, const QString& outputFile);
    // Draws the copies of the sign into the next cells, starting the job when
    // none is open. skip leaves that many cells empty on the run's first
    // sheet (the cells already used on the sheet in the printer). FALSE when
    // the job could not be started, a page failed or the user cancelled; the
    // job then stays open for EndJob.
    BOOL PrintSign(const CSignData& document, int copies, const QString& outputFile, int skip);
    // Ejects a partly filled sheet and ends the job (discarding it, and any
    // file it was writing, when printing was cancelled); with no job open,
    // submits the pending print-queue job, if any. FALSE when ending the job
    // or submitting failed; a cancelled job that was discarded cleanly is not
    // a failure.
    BOOL EndJob();
    // Whether a job is open on a partly filled sheet.
    BOOL IsSheetStarted();
    // The top-left corner of the current label cell in tenths of a
    // millimetre, relative to the printable area.
    CPoint GetLabelOrigin();
    // Sets the job's device context to tenths of a millimetre, y down, with
    // the origin at the current cell's top-left corner.
    void PrepareLabelDC();
    // The print file the open job writes, else empty.
    const QString& GetJobOutputFile() const { return m_jobFile; }

    // Set by the Printing window's Cancel; cleared when a job starts.
    BOOL m_cancel = 0;
    void CancelPrinting() { m_cancel = TRUE; }

    // A run of many signs (Print All) keeps the job's Printing window shown
    // from sign to sign instead of hiding it after each; the last Release
    // hides it again. Calls nest.
    void HoldPrintWindow();
    void ReleasePrintWindow();
    // While a run of many signs goes on: how many signs it still prints
    // after the current one (at least), else 0. What follows the run (the
    // sheet preview, the data-entry rows) skips work that a later sign of
    // the same run would undo, and shows the run a few times a second.
    int m_signsAhead = 0;

    // Opens the Printing window of a job: the document's name, the printer's
    // name and the port or file line. Unset, jobs run without a window.
    static std::function<std::unique_ptr<CPrintWindowSeam>(
        const QString& document, const QString& printer, const QString& thirdLine)>
        s_openPrintWindow;
    // Submits the pending print-queue job when EndJob finds no job open;
    // unset means there is none.
    static std::function<BOOL()> s_submitQueue;
    // Asks where the virtual PDF printer writes a job that names no file;
    // returns the path, or an empty text when the user cancels. Unset, the
    // suggested path is taken.
    static std::function<QString(const QString& suggested)> s_choosePrintFile;

    // The settings block, the device context measured on the printer, its
    // resolution and the printable part of the page (tenths of a millimetre
    // from the page's top-left corner); valid after EnsurePrinter.
    const CDevMode& GetDevMode() const { return m_devMode; }
    CDevMode& DevMode() { return m_devMode; }
    CDC* GetDC() { return m_dc.get(); }
    int GetPixelsPerInchX() const { return m_ppiX; }
    int GetPixelsPerInchY() const { return m_ppiY; }
    const CRect& GetPrintableArea() const { return m_printableArea; }
    const QString& GetDriver() const { return m_driver; }
    const QString& GetPort() const { return m_port; }

    // The platform id written into signs; this system counts as the NT family.
    static constexpr DWORD kPlatformId = 2;

    // Print job state, driven by the print loop.
    BOOL m_driverDoesCopies = 0;
    BOOL m_jobOpen = 0;
    int m_labelPosition = 0;
    int m_copies = 1;
    int m_positionAtLastCopiesEdit = 0;

    // The partner driver's block, when its settings carry one.
    BOOL m_partnerBlockPresent = 0;
    std::array<BYTE, 519> m_partnerBlock{};

private:
    BOOL BuildDC();
    void MergeAndRebuild(bool rebuildDC = true);
    void WriteHostTag();
    void ApplyStoredOrientation(short orientation);

    // The job's document: StartDoc, StartPage, EndPage, EndDoc and AbortDoc
    // over the job's QPrinter and QPainter.
    BOOL StartDocument(const QString& docName, const QString& file);
    BOOL StartPage();
    BOOL EndPage();
    BOOL EndDocument();
    BOOL AbortDocument();
    void CloseDocument();
    // Ends the open job (the part of EndJob that the loop also uses when
    // every sheet is a job of its own).
    BOOL CloseJob();
    // Whether the driver makes the copies for this job: only on a one-label
    // stock, and never for a PDF file, which holds each page once.
    bool DriverMakesCopies(bool toFile);
    // The Printing window is wanted while a sign prints; it comes up the
    // first time the loop lets the windows run, since until then it could
    // neither be drawn nor take a Cancel.
    void ShowPrintWindow();
    void HidePrintWindow();
    // Lets the queue run after a cell when enough cells or time have gone
    // since it last did, the Printing window up first when it is wanted.
    void PumpEventsNowAndThen();

    // Closes a job still open when the printer goes.
    struct JobCloser
    {
        CPrinter* printer;
        ~JobCloser();
    };

    CDevMode m_devMode; // empty until EnsurePrinter
    QString m_driver;
    QString m_device;
    QString m_port;
    std::unique_ptr<CDC> m_dc;
    int m_ppiX = 0;
    int m_ppiY = 0;
    CRect m_printableArea;

    // The printer chosen by name or by Print Setup, with its settings; none
    // until then, and EnsurePrinter takes the default printer.
    QString m_appPrinter;
    CDevMode m_appDevMode;

    // The open job. Declared in this order so that the device context goes
    // before its painter and the painter before its printer.
    std::unique_ptr<QPrinter> m_jobPrinter;
    std::unique_ptr<QPainter> m_jobPainter;
    std::unique_ptr<CDC> m_jobDC;
    std::unique_ptr<CPrintWindowSeam> m_printWindow;
    int m_printWindowHolds = 0;
    bool m_printWindowWanted = false;
    bool m_printWindowShown = false;
    // Between cells the queue is looked at now and then, not every time:
    // each look lets the windows repaint, which costs more than a label.
    QElapsedTimer m_sinceEvents;
    int m_cellsSinceEvents = 0;
    bool m_eventsRun = false; // the windows have run since the job began
    QString m_jobFile; // the PDF the job writes, else empty
    int m_pagesStarted = 0;
    // A run: the jobs from the first BeginJob to the caller's EndJob (more
    // than one when every sheet is a job of its own).
    int m_runJobs = 0;
    QString m_runFile; // the print file the run's first job wrote
    bool m_runSheetStarted = false;
    bool m_runFailed = false; // a PrintSign of the run failed or was cancelled
    JobCloser m_jobCloser{this};
};

// The sign's printer.
CPrinter& ThePrinter();
