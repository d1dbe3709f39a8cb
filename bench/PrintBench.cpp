// Benchmarks of the work a shop assistant waits for: printing a run of shelf
// labels, and saving and opening a sign.
#include "AppContext.h"
#include "BenchSupport.h"
#include "Box.h"
#include "ElementList.h"
#include "LabelRun.h"
#include "MessageBox.h"
#include "Paper.h"
#include "Printer.h"
#include "ShellParts.h"
#include "SignData.h"
#include "TestSupport.h"

#include <QFile>
#include <benchmark/benchmark.h>

#include <functional>

namespace {

// A run of state.range(0) labels on the sheet of 3 x 8, made by make and
// printed by print to a PDF file of the test's home in one job, in a context
// of its own each round. The counters: the PDF's bytes and the seconds per
// label ("2.9m" is 2.9 ms); printed: what else a round reports of its PDF.
template <class Make, class Print>
void PrintLabelRun(benchmark::State& state, const QString& fileName, Make make, Print print,
                   const std::function<void(const QString& out, int count)>& printed = {})
{
    EnsureGuiApp();
    CTestHome home;
    RegisterAllClasses();
    const int count = int(state.range(0));
    for (auto _ : state) {
        CAppContext context;
        CMessageResponder messages;
        ThePaper().Init("A4");
        bench::UseLabelSheet();
        CSignData sign;
        sign.m_title = "Shelf labels";
        const auto label = make();
        const QString out = home.FilePath(fileName);
        if (!print(sign, label, count, out))
            state.SkipWithError("printing failed");
        state.counters["bytes"] = double(QFile(out).size());
        if (printed)
            printed(out, count);
    }
    state.counters["per_label"] =
        benchmark::Counter(double(count) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A run of shelf labels (box, name, Code 128), the name and code changed for
// every label, printed to a PDF in one job; state.range(0) labels.
void BM_PrintLabels(benchmark::State& state)
{
    PrintLabelRun(state, QStringLiteral("labels.pdf"), bench::MakeLabel, bench::PrintLabels,
                  [&state](const QString& out, int count) {
                      state.counters["pages"] = double((count + 23) / 24);
                      // TABREL_BENCH_OUTPUT keeps the printed labels for a look.
                      const QString keep = qEnvironmentVariable("TABREL_BENCH_OUTPUT");
                      if (!keep.isEmpty()) {
                          QFile::remove(keep);
                          QFile::copy(out, keep);
                      }
                  });
}
BENCHMARK(BM_PrintLabels)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The shelf label (box, name, price, EAN-13), everything but the box changed
// for every label, printed to a PDF in one job; the run fails when the
// EAN-13s of its first and last page do not read back as their labels'.
void BM_PrintShelfLabels(benchmark::State& state)
{
    PrintLabelRun(state, QStringLiteral("shelf.pdf"), bench::MakeShelfLabel,
                  bench::PrintShelfLabels, [&state](const QString& out, int count) {
                      state.PauseTiming();
                      const bool decoded =
                          bench::LabelsDecode(out, count, bench::Symbols::Ean13, [](int i) {
                              return bench::WithEanCheck(bench::ShelfEan(i));
                          });
                      state.ResumeTiming();
                      if (!decoded)
                          state.SkipWithError("the printed EAN-13s do not read back");
                  });
}
BENCHMARK(BM_PrintShelfLabels)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SaveAndLoad200Elements(benchmark::State& state)
{
    EnsureGuiApp();
    CTestHome home;
    RegisterAllClasses();
    CAppContext context;
    CMessageResponder messages;
    ThePaper().Init("A4");
    static const char* const kinds[] = {"CBox", "CEllipse", "CLine"};
    for (int i = 0; i < 200; ++i) {
        CElement* e = TheElementList().CreateElement(kinds[i % 3]);
        e->SetBounds(nullptr,
                     CRect(10 * (i % 20), 10 * (i / 20), 10 * (i % 20) + 80, 10 * (i / 20) + 40));
    }
    const QString path = home.FilePath("big.sgn");
    for (auto _ : state) {
        CSignData sign;
        sign.OnSaveDocument(path);
        CSignData loaded;
        loaded.OnOpenDocument(path);
        // put the 200 elements back for the next round
        benchmark::DoNotOptimize(TheElementList().GetCount());
    }
}
BENCHMARK(BM_SaveAndLoad200Elements)->Unit(benchmark::kMillisecond);

} // namespace

// The application is a widget application from the start: the designer's
// frame is among the benchmarks.
int main(int argc, char** argv)
{
    bench::UseBenchScreen();
    EnsureWidgetApp();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
