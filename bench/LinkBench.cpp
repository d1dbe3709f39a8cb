// Linking a sign to a large text file of records as a user does it, in the
// designer's real main frame: Database > Connect through the connection
// wizard (text file, names in the first row, Finish), a text taking a field,
// the sign saved; then File > Open of the saved sign (the link is made again
// from the file) and File > Print, which opens the print station at the
// first record. Reports the seconds of each step and the process's peak
// memory so far (the sizes run smallest first).
#include "AppContext.h"
#include "BenchSupport.h"
#include "ConnectionWizard.h"
#include "DatabaseLink.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "PrintCommands.h"
#include "ShellParts.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

double Seconds(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e9;
}

void BM_LinkRecords(benchmark::State& state)
{
    EnsureWidgetApp();
    CTestHome home;
    RegisterAllClasses();
    RegisterPanes();
    QTemporaryDir dir;
    const int count = int(state.range(0));
    const QString csv =
        bench::WriteRecords(dir.filePath(QStringLiteral("records%1.csv").arg(count)), count);
    const QString signPath = dir.filePath(QStringLiteral("linked.sgn"));
    for (auto _ : state) {
        CAppContext context;
        CMessageResponder messages;
        messages.SetDefaultAnswer(IDYES);
        CSignApp app;
        app.frameTemplate = CSignApp::DesignerFrameTemplate();
        CMainFrame* frame = app.InitInstance({"tabrel"})
                                ? qobject_cast<CMainFrame*>(app.GetMainWindow())
                                : nullptr;
        if (!frame) {
            state.SkipWithError("the designer did not start");
            break;
        }
        frame->resize(1920, 1200);
        frame->show();
        QString chosen = csv;
        FrameHooks().chooseFile = [&chosen](QWidget*, const CFileChoice&) { return chosen; };

        // Database > Connect: a text file, names in the first row, Finish.
        QElapsedTimer clock;
        clock.start();
        CAnswer<CConnectionWizard> wizard([](CConnectionWizard* w) {
            const auto press = [w](QWizard::WizardButton which) {
                QTest::mouseClick(w->button(which), Qt::LeftButton);
            };
            const auto on = [w](const char* name) {
                return w->currentPage()->findChild<QWidget*>(QString::fromLatin1(name));
            };
            qobject_cast<QListWidget*>(on("id1089"))->setCurrentRow(kDatabaseTypeText);
            press(QWizard::NextButton);
            QTest::mouseClick(qobject_cast<QPushButton*>(on("idBrowse")), Qt::LeftButton);
            press(QWizard::NextButton);
            qobject_cast<QCheckBox*>(on("id1098"))->setChecked(true);
            press(QWizard::NextButton);
            press(QWizard::FinishButton);
        });
        frame->UpdateActionsNow();
        frame->Action(ID_DATABASE_CONNECT)->trigger();
        const double link = Seconds(clock);
        if (!wizard.Answered() || !TheDatabaseLink().IsConnected()) {
            state.SkipWithError("the wizard did not link the records");
            frame->Document().SetModifiedFlag(false);
            FrameHooks().chooseFile = nullptr;
            app.ExitInstance();
            break;
        }
        auto* name = static_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
        name->BeginCreate(nullptr, 40, 30);
        name->SetDataSource(SOURCE_DATABASE, QStringLiteral("Name"));
        chosen = signPath;
        frame->UpdateActionsNow();
        frame->ExecuteCommand(ID_FILE_SAVE_AS);
        frame->Document().SetModifiedFlag(false);
        frame->ExecuteCommand(ID_FILE_NEW);

        // File > Open of the saved sign: the link is made again.
        clock.restart();
        frame->ExecuteCommand(ID_FILE_OPEN);
        const double open = Seconds(clock);
        const bool opened = TheDatabaseLink().IsConnected();

        // File > Print: the print station at the first record.
        clock.restart();
        frame->UpdateActionsNow();
        frame->ExecuteCommand(ID_FILE_PRINT);
        const double station = Seconds(clock);
        CPrintCommands* commands = CPrintCommands::Of(frame);
        const bool stationOpen = commands && commands->IsStationOpen() &&
                                 TheDatabaseLink().GetRecordCount() == count;
        if (stationOpen)
            frame->ExecuteCommand(ID_DATA_CANCEL);

        if (!opened || !stationOpen)
            state.SkipWithError("the saved sign did not open linked");
        state.SetIterationTime(link);
        state.counters["link_s"] = link;
        state.counters["open_s"] = open;
        state.counters["station_s"] = station;
        state.counters["peak_mb"] = bench::PeakMb();
        frame->Document().SetModifiedFlag(false);
        FrameHooks().chooseFile = nullptr;
        app.ExitInstance();
    }
}
BENCHMARK(BM_LinkRecords)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

} // namespace
