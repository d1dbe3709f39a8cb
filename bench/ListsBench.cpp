// Long lists the dialogs and side files fill: the paper stock categories of
// a library of 60,000 stocks in as many categories, and a custom view file
// of 40,000 views read back.
#include "AppContext.h"
#include "DatabaseLink.h"
#include "FilterList.h"
#include "MessageBox.h"
#include "Paper.h"
#include "TestSupport.h"

#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

void BM_StockCategoryList(benchmark::State& state)
{
    EnsureGuiApp();
    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    CPaper& paper = ThePaper();
    const int count = int(state.range(0));
    for (int i = 0; i < count; ++i) {
        CPaperStock stock;
        stock.category = QStringLiteral("Category %1").arg(i);
        stock.name = QStringLiteral("Stock %1").arg(i);
        stock.pageWidth = stock.selectionWidth = 2100;
        stock.pageHeight = stock.selectionHeight = 2970;
        stock.labelWidth = 991;
        stock.labelHeight = 381;
        stock.columns = 2;
        stock.rows = 7;
        stock.horzPitch = 10160;
        stock.vertPitch = 3810;
        paper.SetStock(stock);
    }
    QStringList categories;
    for (auto _ : state) {
        paper.FillCategoryCombo(categories);
        benchmark::DoNotOptimize(categories);
    }
    state.counters["categories"] = double(categories.size());
}
BENCHMARK(BM_StockCategoryList)->Arg(60000)->Unit(benchmark::kMillisecond);

void BM_CustomViewFileLoad(benchmark::State& state)
{
    EnsureGuiApp();
    CTestHome home;
    const int count = int(state.range(0));
    {
        CAppContext context;
        LoadViewFile(); // none yet: it names the file the views are saved to
        for (int i = 0; i < count; ++i)
            TheCustomViewList().Set(QStringLiteral("View %1").arg(i),
                                    QStringLiteral("Price > %1 ORDER BY Name").arg(i));
        SaveViewFile();
    }
    qsizetype views = 0;
    for (auto _ : state) {
        CAppContext context;
        LoadViewFile();
        views = TheCustomViewList().Views().size();
    }
    state.counters["views"] = double(views);
}
BENCHMARK(BM_CustomViewFileLoad)->Arg(40000)->Unit(benchmark::kMillisecond);

} // namespace
