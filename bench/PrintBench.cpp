// Benchmarks of the work a shop assistant waits for: printing a run of shelf
// labels, and saving and opening a sign.
#include "AppContext.h"
#include "Box.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "Paper.h"
#include "Printer.h"
#include "ShellParts.h"
#include "SignData.h"
#include "TestSupport.h"
#include "TextBase.h"

#include <QFile>
#include <benchmark/benchmark.h>

namespace {

// A price line: a text drawn at the top-left of its rectangle.
class CBenchText : public CElement
{
public:
    CRect m_rect;
    CTextBase m_text{nullptr, QStringLiteral("Apples 1.99 / kg")};

    void RecalcPosition(CView*) override { m_bounds = m_rect; }
    void Draw(CDC* dc, const CRect&) override
    {
        m_text.SetOrigin(m_rect.left, m_rect.top);
        m_text.Draw(dc);
    }
};

// An A4 sheet of 3 x 8 labels of 63.5 x 33.9 mm.
void UseLabelSheet()
{
    CPaperStock stock;
    ThePaper().GetStock(QString(), stock);
    stock.category = "Bench";
    stock.name = "3x8";
    stock.builtIn = 0;
    stock.columns = 3;
    stock.rows = 8;
    stock.labelWidth = 635;
    stock.labelHeight = 339;
    stock.horzPitch = 6600;
    stock.vertPitch = 3390;
    stock.leftMargin = 60;
    stock.topMargin = 129;
    ThePaper().SetStock(stock);
    ThePaper().SelectStock("3x8");
}

void BM_Print1000Labels(benchmark::State& state)
{
    EnsureGuiApp();
    CTestHome home;
    RegisterAllClasses();
    for (auto _ : state) {
        CAppContext context;
        CMessageResponder messages;
        ThePaper().Init("A4");
        UseLabelSheet();
        CSignData sign;
        sign.m_title = "Shelf label";
        auto* box = static_cast<CBox*>(TheElementList().CreateElement("CBox"));
        box->SetBounds(nullptr, CRect(20, 20, 615, 319));
        auto* text = new CBenchText;
        text->m_rect = CRect(60, 60, 600, 200);
        TheElementList().AddTail(text);
        const QString out = home.FilePath("labels.pdf");
        ThePrinter().PrintSign(sign, 1000, out, 0);
        ThePrinter().EndJob();
        state.counters["pages"] = double((1000 + 23) / 24);
        state.counters["bytes"] = double(QFile(out).size());
        // TABREL_BENCH_OUTPUT keeps the printed labels for a look.
        const QString keep = qEnvironmentVariable("TABREL_BENCH_OUTPUT");
        if (!keep.isEmpty()) {
            QFile::remove(keep);
            QFile::copy(out, keep);
        }
    }
}
BENCHMARK(BM_Print1000Labels)->Unit(benchmark::kMillisecond)->Iterations(3);

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

BENCHMARK_MAIN();
