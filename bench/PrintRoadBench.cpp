// The road users drive to print a linked sign: the designer's real main
// frame at 1920 x 1200 (maximised where a window manager places it), a sign
// of 3 x 8 shelf labels (LabelRun.h: box, name, Code 128) linked to a text
// file of records, File > Print, the print bar's destination File, Print All
// and Return, which ejects the last sheet; the same with the data-entry
// pane's Print All button instead of the menu; and the print front end's
// road: the saved sign picked in its list, Data Entry, destination File,
// Print All and Return. Beside each, in the same minute, the
// engine on the same sign and records: the record driver and the print loop
// without the frame. Reports both times, their ratio (the frame's cost over
// the engine's), the process's peak memory so far, and whether the first
// and the last page's barcodes read back as their records.
//
// Under Xvfb with a window manager (`make bench-x11`) the frame is shown
// maximised and every window goes through the X server.
#include "AppContext.h"
#include "BrowseInfoPane.h"
#include "BrowseView.h"
#include "BenchSupport.h"
#include "DataSourceMap.h"
#include "DatabaseLink.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "PdfSupport.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "PrintFrame.h"
#include "RecordNavigator.h"
#include "RecordPrintDriver.h"
#include "ShellParts.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <benchmark/benchmark.h>

#include <functional>
#include <utility>

namespace {

// The label sign of LabelRun.h in the current context, its name and code
// taken from the fields of the linked records.
bool LinkLabels(const QString& csv)
{
    bench::UseLabelSheet();
    const bench::LabelElements label = bench::MakeLabel();
    label.name->SetDataSource(SOURCE_DATABASE, "Name");
    label.code->SetDataSource(SOURCE_DATABASE, "Code");
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeText);
    link.m_textHeader = TRUE;
    if (!link.Connect(csv, TRUE) || !link.OpenTable(QString()))
        return false;
    link.m_linkKind = 0;
    TheDataSourceMap().Rebuild();
    return true;
}

// The engine: the record driver and the print loop, no frame, no windows.
// Seconds from the first record to the finished PDF; negative on failure.
double PrintWithEngine(const QString& csv, int count, const QString& pdf)
{
    CAppContext context;
    CMessageResponder messages;
    messages.SetDefaultAnswer(IDYES); // "Print 5000 signs ?"
    // The frame's Printing window stays out of the engine's run.
    const auto window = std::exchange(CPrinter::s_openPrintWindow, nullptr);
    ThePaper().Init("A4");
    CSignData sign;
    sign.m_title = "Linked shelf labels";
    double seconds = -1;
    if (LinkLabels(csv)) {
        QElapsedTimer clock;
        clock.start();
        bench::CSignDriver signs(sign);
        CRecordPrintDriver records(signs);
        records.Begin();
        int printed = 0;
        const BOOL ok = records.PrintAllRecords([&] {
            if (records.PrintEnteredData(1, 1, 1, pdf, 0))
                ++printed;
        });
        records.EndPrintRun();
        if (ok && printed == count)
            seconds = double(clock.nsecsElapsed()) / 1e9;
    }
    TheDatabaseLink().Disconnect();
    CPrinter::s_openPrintWindow = window;
    return seconds;
}

template <class W> W* Control(QWidget* parent, int id)
{
    return parent ? parent->findChild<W*>(QStringLiteral("id%1").arg(id)) : nullptr;
}

// The designer's frame as a user drives it. Seconds from File > Print to
// the PDF finished by Return; negative on failure.
// The parts of the designer's road: opening the print station, Print All,
// and Return ejecting the last sheet.
struct RoadParts
{
    double station = 0;
    double printAll = 0;
    double eject = 0;
    QSize frame; // the frame as it stood on the screen
};

// Shows the frame at 1920 x 1200 (offscreen, on the bench screen of that
// size), maximised where a window manager places it, and waits until it is
// on the screen: false when it never is. The window manager may expose the
// frame before it has maximised it: the road waits for the whole screen
// too, for up to five seconds (frame_w and frame_h report what it got).
bool ShowFrameAt1920(QWidget* frame)
{
    const bool windowManaged = QGuiApplication::platformName() == QLatin1String("xcb");
    frame->resize(1920, 1200);
    if (windowManaged)
        frame->showMaximized();
    else
        frame->show();
    frame->activateWindow();
    if (!QTest::qWaitForWindowExposed(frame))
        return false;
    if (windowManaged) {
        const bool maximised = QTest::qWaitFor(
            [frame] {
                return frame->frameGeometry().width() >= frame->screen()->availableGeometry().width();
            },
            5000);
        if (!maximised)
            qWarning("The window manager did not maximise the frame");
        QCoreApplication::processEvents();
    }
    return true;
}

// Sets the print bar's destination to File.
void PrintToFile(CPrintBatchDlg* batch)
{
    auto* destination = Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION);
    destination->setCurrentIndex(1);
    emit destination->activated(1);
    QCoreApplication::processEvents();
}

// Print All given through printAll (false when it could not be), then
// Return, which ejects the last sheet: the PDF is whole. The times of both
// go into parts. The seconds on the clock after Return when Print All was
// given and the run came out whole, else -1; a station still open is left.
double PrintAllThenReturn(CPrintBatchDlg* batch, const QElapsedTimer& clock, RoadParts& parts,
                          const std::function<bool()>& printAll,
                          const std::function<bool()>& cameOutWhole,
                          const std::function<bool()>& stationOpen)
{
    const double beforePrintAll = double(clock.nsecsElapsed()) / 1e9;
    const bool pressed = printAll();
    const double afterPrintAll = double(clock.nsecsElapsed()) / 1e9;
    Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN)->click();
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    parts.printAll = afterPrintAll - beforePrintAll;
    parts.eject = elapsed - afterPrintAll;
    const double seconds = pressed && cameOutWhole() ? elapsed : -1;
    if (stationOpen())
        Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN)->click();
    return seconds;
}

// Where Print All is given: the designer's Print All command, or the Print
// All button of the data-entry pane's record navigator.
enum class PrintAllFrom { Menu, Pane };

// Presses the data-entry pane's Print All button, as the user clicks it.
bool ClickPanePrintAll(QWidget* frame)
{
    auto* navigator = frame->findChild<CRecordNavigator*>();
    auto* button = navigator ? navigator->findChild<QAbstractButton*>(
                                   QStringLiteral("id%1").arg(CRecordNavigator::IDC_PRINT_ALL))
                             : nullptr;
    if (!button || !button->isEnabled())
        return false;
    button->click();
    return true;
}

double PrintWithDesigner(const QString& csv, int count, const QString& pdf, RoadParts& parts,
                         PrintAllFrom from)
{
    CAppContext context;
    CMessageResponder messages;
    messages.SetDefaultAnswer(IDYES);
    CSignApp app;
    app.frameTemplate = CSignApp::DesignerFrameTemplate();
    CMainFrame* frame =
        app.InitInstance({"tabrel"}) ? qobject_cast<CMainFrame*>(app.GetMainWindow()) : nullptr;
    double seconds = -1;
    if (frame) {
        const bool exposed = ShowFrameAt1920(frame);
        parts.frame = frame->size();
        FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
        if (exposed && LinkLabels(csv)) {
            frame->Canvas()->update();
            QCoreApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            frame->UpdateActionsNow();
            frame->Action(ID_FILE_PRINT)->trigger();
            parts.station = double(clock.nsecsElapsed()) / 1e9;
            CPrintCommands* commands = CPrintCommands::Of(frame);
            CPrintBatchDlg* batch = commands ? commands->BatchDialog() : nullptr;
            if (batch) {
                PrintToFile(batch);
                frame->UpdateActionsNow();
                seconds = PrintAllThenReturn(
                    batch, clock, parts,
                    [&] {
                        if (from == PrintAllFrom::Pane)
                            return ClickPanePrintAll(frame);
                        frame->Action(ID_RECORD_PRINT_ALL)->trigger();
                        return true;
                    },
                    [&] { return messages.Count() == 1 && PdfPageCount(pdf) == (count + 23) / 24; },
                    [commands] { return commands->IsStationOpen(); });
            }
        }
        frame->Document().SetModifiedFlag(false);
        FrameHooks().chooseFile = nullptr;
    }
    app.ExitInstance();
    TheDatabaseLink().Disconnect();
    return seconds;
}

// The sign of LabelRun.h linked to the records, saved as a file of the
// folder, as the designer leaves it for the print front end.
bool SaveLinkedLabels(CSignData& document, const QString& csv, const QString& path)
{
    document.DeleteContents();
    bool saved = LinkLabels(csv);
    document.m_title = QStringLiteral("Linked shelf labels");
    saved = saved && document.OnSaveDocument(path);
    document.DeleteContents();
    document.SetPathName(QString());
    TheDatabaseLink().Disconnect();
    return saved;
}

// Delivers events until the condition holds, for at most ten seconds. It
// does not sleep between looks (QTest::qWaitFor sleeps 10 ms a turn, which
// would be timed as the road's): it waits for the next event, and a timer
// ticks so that the condition is looked at again even when none comes.
bool WaitFor(const std::function<bool()>& condition)
{
    QTimer tick;
    tick.start(50);
    QDeadlineTimer deadline(10000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The print front end as a user drives it: the saved sign clicked in the
// list, Data Entry, destination File, Print All and Return. Seconds from
// the click on Data Entry to the PDF finished by Return; negative on failure.
double PrintWithFrontEnd(const QString& csv, int count, const QString& pdf, RoadParts& parts)
{
    CAppContext context;
    CMessageResponder messages;
    messages.SetDefaultAnswer(IDYES);
    CSignApp app;
    app.frameTemplate = CPrintFrame::Template();
    auto* frame = app.InitInstance({"tabrel-print"}) ? qobject_cast<CPrintFrame*>(app.GetMainWindow())
                                                     : nullptr;
    double seconds = -1;
    const QString folder = QFileInfo(csv).absolutePath();
    const QString sign = QDir(folder).filePath(QStringLiteral("labels.sgn"));
    if (frame && SaveLinkedLabels(frame->Document(), csv, sign)) {
        const bool exposed = ShowFrameAt1920(frame);
        parts.frame = frame->size();
        FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
        CBrowseView* view = frame->View();
        QListView* list = view->IconList();
        bool picked = false;
        if (exposed && view->SelectPath(folder)) {
            const QAbstractItemModel* model = list->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                const QModelIndex index = model->index(row, 0);
                if (index.data().toString() != QLatin1String("labels.sgn"))
                    continue;
                list->scrollTo(index);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  list->visualRect(index).center());
                picked = WaitFor([] { return TheDatabaseLink().IsConnected(); });
                break;
            }
        }
        QPushButton* dataEntry = view->InfoPane()->PrintButton();
        if (picked && dataEntry->isEnabled()) {
            QCoreApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            QTest::mouseClick(dataEntry, Qt::LeftButton);
            const bool open = WaitFor([view] { return view->IsStationOpen(); });
            parts.station = double(clock.nsecsElapsed()) / 1e9;
            CPrintBatchDlg* batch = open ? view->BatchDialog() : nullptr;
            if (batch) {
                PrintToFile(batch);
                seconds = PrintAllThenReturn(
                    batch, clock, parts,
                    [frame] { return frame->ExecuteCommand(ID_RECORD_PRINT_ALL); },
                    [&] { return messages.Count() == 1 && PdfPageCount(pdf) == (count + 23) / 24; },
                    [view] { return view->IsStationOpen(); });
            }
        }
        FrameHooks().chooseFile = nullptr;
    }
    app.ExitInstance();
    TheDatabaseLink().Disconnect();
    return seconds;
}

// The roads the benchmark drives.
enum Road { kDesignerMenu, kDesignerPane, kFrontEnd };

double PrintOnRoad(Road road, const QString& csv, int count, const QString& pdf, RoadParts& parts)
{
    switch (road) {
    case kDesignerMenu:
        return PrintWithDesigner(csv, count, pdf, parts, PrintAllFrom::Menu);
    case kDesignerPane:
        return PrintWithDesigner(csv, count, pdf, parts, PrintAllFrom::Pane);
    case kFrontEnd:
        return PrintWithFrontEnd(csv, count, pdf, parts);
    }
    return -1;
}

void PrintRoad(benchmark::State& state, Road road)
{
    EnsureWidgetApp();
    CTestHome home;
    RegisterAllClasses();
    RegisterPanes();
    QTemporaryDir dir;
    const int count = int(state.range(0));
    const QString csv =
        bench::WriteRecords(dir.filePath(QStringLiteral("records%1.csv").arg(count)), count);
    const QString enginePdf = dir.filePath(QStringLiteral("engine.pdf"));
    const QString designerPdf = dir.filePath(QStringLiteral("designer.pdf"));
    for (auto _ : state) {
        state.PauseTiming();
        const double engine = PrintWithEngine(csv, count, enginePdf);
        state.ResumeTiming();
        RoadParts parts;
        const double designer = PrintOnRoad(road, csv, count, designerPdf, parts);
        state.PauseTiming();
        if (engine < 0 || designer < 0) {
            state.SkipWithError("a run did not print every record");
            break;
        }
        state.SetIterationTime(designer);
        state.counters["engine_s"] = engine;
        state.counters["designer_s"] = designer;
        state.counters["ratio"] = designer / engine;
        state.counters["designer_ms_per_label"] = designer * 1000 / count;
        state.counters["station_s"] = parts.station;
        state.counters["print_all_s"] = parts.printAll;
        state.counters["eject_s"] = parts.eject;
        state.counters["frame_w"] = parts.frame.width();
        state.counters["frame_h"] = parts.frame.height();
        state.counters["peak_mb"] = bench::PeakMb();
        const auto decodes = [count](const QString& pdf) {
            return bench::LabelsDecode(pdf, count, bench::Symbols::Code128, bench::LabelCode);
        };
        state.counters["decoded"] = decodes(enginePdf) && decodes(designerPdf) ? 1 : 0;
        state.ResumeTiming();
    }
}
// File > Print and the Print All command of the designer's frame.
void BM_PrintRoad(benchmark::State& state)
{
    PrintRoad(state, kDesignerMenu);
}
// File > Print and the data-entry pane's Print All button.
void BM_PrintRoadPane(benchmark::State& state)
{
    PrintRoad(state, kDesignerPane);
}
// The print front end: the sign picked in its list, Data Entry, Print All.
void BM_PrintRoadFrontEnd(benchmark::State& state)
{
    PrintRoad(state, kFrontEnd);
}

BENCHMARK(BM_PrintRoad)
    ->Arg(50)
    ->Arg(500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();
BENCHMARK(BM_PrintRoadPane)
    ->Arg(50)
    ->Arg(500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();
BENCHMARK(BM_PrintRoadFrontEnd)
    ->Arg(50)
    ->Arg(500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

} // namespace
