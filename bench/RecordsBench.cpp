// A label run fed by a database: the 3 x 8 sheet of 70 x 37 mm labels of
// LabelRun.h (box, name, Code 128), the name and the code taken from the
// fields of a comma-separated text file of records through the sign's
// database link and the data-path map, one sign per record with Print All.
// Reports labels per second, the PDF's size, the process's peak memory and
// how much the resident memory grew between the 1,000th record and the end
// (flat when the run keeps nothing per record).
#include "AppContext.h"
#include "BenchSupport.h"
#include "DataSourceMap.h"
#include "DatabaseLink.h"
#include "MessageBox.h"
#include "PdfSupport.h"
#include "RecordPrintDriver.h"
#include "ShellParts.h"
#include "TestSupport.h"
#include "VariableList.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using bench::PeakMb;
using bench::ResidentMb;

// The records as UTF-8 with accented names (as a spreadsheet saves them).
QString WriteAccentedRecords(const QTemporaryDir& dir, int count)
{
    const QString path = dir.filePath(QStringLiteral("accented%1.csv").arg(count));
    return WriteUtf8Records(path, count) ? path : QString();
}

void PrintLinkedRecords(benchmark::State& state, bool accented)
{
    EnsureGuiApp();
    CTestHome home;
    QTemporaryDir dir;
    RegisterAllClasses();
    const int count = int(state.range(0));
    const QString csv =
        accented
            ? WriteAccentedRecords(dir, count)
            : bench::WriteRecords(dir.filePath(QStringLiteral("records%1.csv").arg(count)), count);
    for (auto _ : state) {
        CAppContext context;
        CMessageResponder messages;
        messages.SetDefaultAnswer(IDYES); // "Print 5000 signs ?"
        ThePaper().Init("A4");
        bench::UseLabelSheet();
        CSignData sign;
        sign.m_title = "Linked shelf labels";
        const bench::LabelElements label = bench::MakeLabel();
        label.name->SetDataSource(SOURCE_DATABASE, "Name");
        label.code->SetDataSource(SOURCE_DATABASE, "Code");

        CDatabaseLink& link = TheDatabaseLink();
        link.SetDatabaseType(kDatabaseTypeText);
        link.m_textHeader = TRUE;
        if (!link.Connect(csv, TRUE) || !link.OpenTable(QString())) {
            state.SkipWithError("the records could not be linked");
            break;
        }
        link.m_linkKind = 0;
        TheDataSourceMap().Rebuild();

        const QString out = home.FilePath("records.pdf");
        bench::CSignDriver signs(sign);
        CRecordPrintDriver records(signs);
        records.Begin();
        int printed = 0;
        double atThousand = 0;
        const BOOL ok = records.PrintAllRecords([&] {
            if (!records.PrintEnteredData(1, 1, 1, out, 0))
                state.SkipWithError("printing failed");
            if (++printed == std::min(count, 1000))
                atThousand = ResidentMb();
        });
        records.EndPrintRun();
        if (!ok || printed != count)
            state.SkipWithError("not every record printed");
        state.counters["pdf_bytes"] = double(QFile(out).size());
        if (accented) {
            // A few of the names, read back from the PDF, as they stand in
            // the file.
            const QString text = PdfText(out);
            for (const int i : {1, count / 3, count / 2 + 7, count})
                if (!text.contains(AccentedName(i)))
                    state.SkipWithError("an accented name did not print as it stands");
        }
        state.counters["peak_mb"] = PeakMb();
        state.counters["growth_after_1000_mb"] = ResidentMb() - atThousand;
        const QString keep = qEnvironmentVariable("TABREL_BENCH_OUTPUT");
        if (!keep.isEmpty()) {
            QFile::remove(keep);
            QFile::copy(out, keep);
        }
    }
    state.counters["labels_per_s"] =
        benchmark::Counter(double(count) * double(state.iterations()), benchmark::Counter::kIsRate);
}
void BM_PrintLinkedRecords(benchmark::State& state)
{
    PrintLinkedRecords(state, false);
}

// The same run from a UTF-8 file of accented names.
void BM_PrintLinkedUtf8Records(benchmark::State& state)
{
    PrintLinkedRecords(state, true);
}

BENCHMARK(BM_PrintLinkedUtf8Records)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

BENCHMARK(BM_PrintLinkedRecords)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
