// The print loop: jobs that fill sheets of label stock with copies of signs.
//
// A job's document is a QPrinter with a QPainter on it, in full-page mode so
// that the device origin is the paper's corner. On this platform StartDoc is
// QPainter::begin, StartPage is implicit for the first page and
// QPrinter::newPage for the others, EndPage has nothing to flush, EndDoc is
// QPainter::end, and AbortDoc ends the painter and removes the file the job
// was writing, so that a cancelled job leaves no half-written PDF behind.
#include "Printer.h"

#include "AppContext.h"
#include "ElementList.h"
#include "Messages.h"
#include "PageLabels.h"
#include "Paper.h"
#include "PrintLog.h"
#include "PrinterDevices.h"
#include "SignApp.h"
#include "SignData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QStandardPaths>

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

std::function<std::unique_ptr<CPrintWindowSeam>(const QString&, const QString&, const QString&)>
    CPrinter::s_openPrintWindow;
std::function<BOOL()> CPrinter::s_submitQueue;
std::function<QString(const QString&)> CPrinter::s_choosePrintFile;

namespace {

// The framework's own words when a document cannot be started.
constexpr const char* kFailedToStartPrinting = "Failed to start printing.";

// Cells on one sheet of the current stock; without a stock every sign has a
// page of its own.
int LabelsPerSheet()
{
    const CPaperStock* stock = ThePaper().Current();
    return stock ? std::max(1, stock->LabelsPerSheet()) : 1;
}

// Where the virtual printer suggests writing a job that names no file.
QString SuggestedPrintFile()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("Output.pdf"));
}

// The name a job goes by in the Printing window and in the printed file: the
// sign's own title, else its file's name.
QString JobName(const CSignData& document)
{
    if (!document.m_title.trimmed().isEmpty())
        return document.m_title.trimmed();
    if (!document.GetPathName().isEmpty())
        return QFileInfo(document.GetPathName()).completeBaseName();
    return LoadStringId(IDS_UNTITLED);
}

// The file of a run's later job: "Labels.pdf" and 2 give "Labels-2.pdf".
QString NumberedFile(const QString& path, int number)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = path.left(slash + 1);
    QString name = path.mid(slash + 1);
    QString suffix;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0) {
        suffix = name.mid(dot);
        name.truncate(dot);
    }
    return folder + name + u'-' + QString::number(number) + suffix;
}

// How often the print loop lets Qt repaint and deliver the Printing
// window's Cancel: after this many cells, or sooner when a cell takes long.
constexpr int kCellsBetweenEvents = 100;
constexpr qint64 kMsBetweenEvents = 50;
// The first time in a job: a job done sooner is over in a moment, and
// neither flashes the Printing window past nor waits for the window system
// to map and unmap it.
constexpr int kCellsBeforeEvents = 1000;
constexpr qint64 kMsBeforeEvents = 250;

// Lets Qt repaint and deliver the Printing window's Cancel between cells.
void PumpEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace

void CPrintWindowSeam::Cancel()
{
    (m_printer ? *m_printer : ThePrinter()).CancelPrinting();
}

CPrinter::JobCloser::~JobCloser()
{
    // The printer is going with a job open (the program ends, or a test's
    // context does): nothing more will be printed, so the job is discarded
    // like a cancelled one. The print log may already be gone; it is left
    // alone.
    if (!printer->m_jobOpen)
        return;
    printer->m_printWindow.reset();
    printer->AbortDocument();
    printer->CloseDocument();
    printer->m_jobOpen = FALSE;
}

bool CPrinter::DriverMakesCopies(bool toFile)
{
    return m_driverDoesCopies && !toFile && LabelsPerSheet() == 1;
}

BOOL CPrinter::BeginJob(const CSignData& document, int copies, const QString& outputFile)
{
    if (m_jobOpen)
        return FALSE;
    if (!EnsurePrinter())
        return FALSE;

    // The virtual printer always writes a file. The run's first job asks
    // for it; every later job of the run writes beside it.
    QString file = outputFile;
    if (file.isEmpty() && CPrinterDevices::IsVirtualPrinter(m_device)) {
        if (m_runJobs > 0 && !m_runFile.isEmpty()) {
            file = m_runFile;
        } else {
            const QString suggested = SuggestedPrintFile();
            file = s_choosePrintFile ? s_choosePrintFile(suggested) : suggested;
            if (file.isEmpty())
                return FALSE;
        }
    }
    m_runFile = file;
    const QString jobFile =
        m_runJobs > 0 && !file.isEmpty() ? NumberedFile(file, m_runJobs + 1) : file;

    const int driverCopies = std::clamp(copies, 1, 32767);
    m_devMode.SetCopies(
        static_cast<short>(DriverMakesCopies(!jobFile.isEmpty()) ? driverCopies : 1));

    const QString thirdLine = jobFile.isEmpty() ? FormatStringId(IDS_PRINTING_ON_PORT, {m_port})
                                                : FormatStringId(IDS_PRINTING_TO_FILE, {jobFile});
    m_printWindow =
        s_openPrintWindow ? s_openPrintWindow(JobName(document), m_device, thirdLine) : nullptr;
    m_printWindowWanted = false;
    m_printWindowShown = false;
    if (m_printWindow)
        m_printWindow->m_printer = this;
    m_cancel = FALSE;

    if (!StartDocument(JobName(document), jobFile)) {
        m_printWindow.reset();
        AppMessageBox(QString::fromLatin1(kFailedToStartPrinting), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }

    m_labelPosition = 0;
    m_positionAtLastCopiesEdit = 0;
    m_cellsSinceEvents = 0;
    m_eventsRun = false;
    m_sinceEvents.start();
    m_copies = copies;
    m_jobOpen = TRUE;
    if (m_runJobs == 0)
        m_runFailed = false;
    ++m_runJobs;
    ThePrintLog().BeginRecord(document.GetPathName(), copies,
                              jobFile.isEmpty() ? CPrintLog::ToPrinter : CPrintLog::ToFile);
    return TRUE;
}

BOOL CPrinter::PrintSign(const CSignData& document, int copies, const QString& outputFile, int skip)
{
    if (!m_jobOpen) {
        if (!BeginJob(document, copies, outputFile)) {
            m_runFailed = true;
            return FALSE;
        }
    } else {
        m_copies = copies;
    }
    ShowPrintWindow();
    ThePageLabels().m_signPath = document.GetPathName();
    // The elements fed by variables print the values computed from the
    // sign's data, and show their samples again when the sign has printed.
    struct CVariableData
    {
        CVariableData() { Show(TRUE); }
        ~CVariableData() { Show(FALSE); }
        static void Show(BOOL printing)
        {
            if (SignHooks().showVariableData)
                SignHooks().showVariableData(printing);
        }
    } variableData;

    const auto fail = [this] {
        m_runFailed = true;
        HidePrintWindow();
        return FALSE;
    };
    const bool endJobWithPage = App().general.endJobWithPage != 0;

    for (int i = 0;; ++i) {
        if (!EnsurePrinter())
            return fail();
        // Whether the job in hand (or the next one, when the last sheet
        // ended its job) writes a file.
        const bool toFile =
            m_jobOpen ? !m_jobFile.isEmpty()
                      : !outputFile.isEmpty() || CPrinterDevices::IsVirtualPrinter(m_device);
        const bool driverCopies = DriverMakesCopies(toFile);
        if (i >= (driverCopies ? 1 : copies))
            break;

        if (endJobWithPage && !m_jobOpen) {
            if (!BeginJob(document, copies, outputFile)) {
                m_runFailed = true;
                return FALSE;
            }
            ShowPrintWindow();
        }

        const int perSheet = LabelsPerSheet();
        if (m_labelPosition % perSheet == 0) {
            if (!StartPage())
                return fail();
            CDC& dc = *m_jobDC;
            dc.SetWindowOrg(0, 0);
            dc.SetViewportOrg(0, 0);
            dc.SetTenthsMmMapping();
            const BOOL labelsDrawn = ThePageLabels().DrawPageLabels(
                &dc, m_printableArea, [this] { return EndPage() && StartPage() ? TRUE : FALSE; });
            if (!labelsDrawn)
                return fail();
            // The cells already used on the sheet in the printer: only the
            // run's first sheet is that sheet.
            if (!m_runSheetStarted)
                m_labelPosition += std::clamp(skip, 0, perSheet - 1);
            m_runSheetStarted = true;
        }

        PrepareLabelDC();
        const int saved = m_jobDC->SaveDC();
        // The sign stays in its cell, as the previews show it: what reaches
        // past the cell (a long text, a barcode wider than its label) is cut
        // at the edge instead of running into the next label.
        m_jobDC->IntersectClipRect(
            CRect(0, 0, ThePaper().GetSignWidth(), ThePaper().GetSignHeight()));
        TheElementList().Draw(m_jobDC.get(), m_jobDC->GetClipBox());
        m_jobDC->RestoreDC(saved);

        m_labelPosition += driverCopies ? copies : 1;
        if (m_labelPosition % perSheet == 0) {
            if (!EndPage())
                return fail();
            if (endJobWithPage && !CloseJob())
                return fail();
        }

        PumpEventsNowAndThen();
        if (m_cancel)
            return fail();
    }

    ThePrintLog().CountSign();
    if (m_jobOpen && m_printWindowHolds == 0)
        HidePrintWindow();
    return TRUE;
}

BOOL CPrinter::EndJob()
{
    BOOL result = TRUE;
    // A run that failed or was cancelled is neither logged nor followed by
    // the queue's job.
    if (m_jobOpen)
        result = CloseJob();
    else if (s_submitQueue && !m_runFailed)
        result = s_submitQueue();
    m_runFailed = false;
    m_runJobs = 0;
    m_runFile.clear();
    m_runSheetStarted = false;
    return result;
}

BOOL CPrinter::CloseJob()
{
    const bool sheetStarted = m_labelPosition % LabelsPerSheet() != 0;
    const bool pageFailed = sheetStarted && !EndPage();
    const bool discard = pageFailed || m_cancel;
    const BOOL ended = discard ? AbortDocument() : EndDocument();

    m_printWindow.reset();
    m_printWindowWanted = false;
    m_printWindowShown = false;
    ThePrintLog().WriteRecord(discard || !ended || m_runFailed ? TRUE : FALSE);
    CloseDocument();
    m_labelPosition = 0;
    m_jobOpen = FALSE;
    return ended && !pageFailed ? TRUE : FALSE;
}

BOOL CPrinter::IsSheetStarted()
{
    return m_jobOpen && m_labelPosition % LabelsPerSheet() != 0 ? TRUE : FALSE;
}

CPoint CPrinter::GetLabelOrigin()
{
    const CPaperStock* stock = ThePaper().Current();
    if (!stock)
        return CPoint(0, 0);
    return stock->LabelOrigin(m_labelPosition, IsLandscape()) - m_printableArea.TopLeft();
}

void CPrinter::PrepareLabelDC()
{
    if (!m_jobDC)
        return;
    CDC& dc = *m_jobDC;
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
    dc.SetTenthsMmMapping();
    // The device origin is the paper's corner, not the printable area's.
    dc.SetViewportOrg(dc.LPtoDP(GetLabelOrigin() + m_printableArea.TopLeft()));
}

void CPrinter::HoldPrintWindow()
{
    ++m_printWindowHolds;
}

void CPrinter::ReleasePrintWindow()
{
    m_printWindowHolds = std::max(0, m_printWindowHolds - 1);
    if (m_printWindowHolds == 0)
        HidePrintWindow();
}

void CPrinter::PumpEventsNowAndThen()
{
    // A short job finishes before its windows would have shown it; a long
    // one is shown going, and its Cancel is heard, a few times a second.
    const int cells = m_eventsRun ? kCellsBetweenEvents : kCellsBeforeEvents;
    const qint64 ms = m_eventsRun ? kMsBetweenEvents : kMsBeforeEvents;
    if (++m_cellsSinceEvents < cells && m_sinceEvents.elapsed() < ms)
        return;
    m_eventsRun = true;
    if (m_printWindowWanted && !m_printWindowShown && m_printWindow) {
        m_printWindow->Show();
        m_printWindowShown = true;
    }
    PumpEvents();
    m_cellsSinceEvents = 0;
    m_sinceEvents.start();
}

void CPrinter::ShowPrintWindow()
{
    // A job over before the windows next run never shows the window: shown
    // now, it would come and go unpainted, a flash and a round trip to the
    // window system each way.
    m_printWindowWanted = true;
}

void CPrinter::HidePrintWindow()
{
    m_printWindowWanted = false;
    if (m_printWindowShown && m_printWindow)
        m_printWindow->Hide();
    m_printWindowShown = false;
}

// --- the job's document --------------------------------------------------------

namespace {

// The PDF writer makes and frees buffers of a few megabytes for every page.
// Left to itself the C library maps each one afresh and hands it back when
// freed, so that every page pays for fresh memory page by page; from the
// first print job on, the heap keeps such buffers for the next page.
void KeepPageBuffers()
{
#ifdef __GLIBC__
    static const bool kept = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        return true;
    }();
    Q_UNUSED(kept);
#endif
}

} // namespace

BOOL CPrinter::StartDocument(const QString& docName, const QString& file)
{
    KeepPageBuffers();
    auto qprinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!SetUpQPrinter(*qprinter))
        return FALSE;
    if (!file.isEmpty()) {
        // Switching a printer's output to PDF may not carry its settings
        // over: they are put back.
        const QPageLayout layout = qprinter->pageLayout();
        const int resolution = qprinter->resolution();
        qprinter->setOutputFormat(QPrinter::PdfFormat);
        qprinter->setPageLayout(layout);
        qprinter->setResolution(resolution);
        qprinter->setOutputFileName(file);
    }
    qprinter->setFullPage(true);
    qprinter->setDocName(docName);
    qprinter->setCreator(CSignApp::GetProgramTitle());

    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(qprinter.get()))
        return FALSE;

    m_jobPrinter = std::move(qprinter);
    m_jobPainter = std::move(painter);
    m_jobDC = std::make_unique<CDC>(m_jobPainter.get(), true);
    const int dpi = m_jobPrinter->resolution();
    m_jobDC->SetDeviceCaps(dpi, dpi, CSize(m_jobPrinter->width(), m_jobPrinter->height()));
    m_jobFile = file;
    m_pagesStarted = 0;
    return TRUE;
}

BOOL CPrinter::StartPage()
{
    if (!m_jobPrinter)
        return FALSE;
    if (m_pagesStarted > 0 && !m_jobPrinter->newPage())
        return FALSE;
    ++m_pagesStarted;
    return TRUE;
}

BOOL CPrinter::EndPage()
{
    // Pages go out as they are drawn; there is nothing to flush.
    return m_jobPrinter ? TRUE : FALSE;
}

BOOL CPrinter::EndDocument()
{
    // Ending a document without a page would print one blank page; a PDF
    // file is removed instead.
    if (m_pagesStarted == 0)
        return AbortDocument();
    m_jobDC.reset();
    return m_jobPainter && m_jobPainter->end() ? TRUE : FALSE;
}

BOOL CPrinter::AbortDocument()
{
    // Neither the PDF writer nor the CUPS queue can take back what was drawn:
    // the painter is ended and the file removed.
    m_jobDC.reset();
    const bool ended = !m_jobPainter || !m_jobPainter->isActive() || m_jobPainter->end();
    if (!m_jobFile.isEmpty() && QFile::exists(m_jobFile) && !QFile::remove(m_jobFile))
        return FALSE;
    return ended ? TRUE : FALSE;
}

void CPrinter::CloseDocument()
{
    m_jobDC.reset();
    m_jobPainter.reset();
    m_jobPrinter.reset();
    m_jobFile.clear();
    m_pagesStarted = 0;
}
