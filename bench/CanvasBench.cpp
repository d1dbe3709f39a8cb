// Benchmarks of the design canvas: repainting a busy sign, and one step of
// dragging an element across it.
#include "AppContext.h"
#include "BenchSupport.h"
#include "Box.h"
#include "DesignView.h"
#include "ElementList.h"
#include "Line.h"
#include "MessageBox.h"
#include "ModelClasses.h"
#include "SignData.h"
#include "TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

// The canvas is a widget: the application object must be a QApplication,
// made before any benchmark makes a plain QGuiApplication.
const bool g_widgetApp = [] {
    bench::UseBenchScreen();
    if (qEnvironmentVariableIsEmpty("TABREL_PX_PER_MM"))
        qputenv("TABREL_PX_PER_MM", "4");
    EnsureWidgetApp();
    return true;
}();

// 200 elements in a grid over an A4 sign: boxes, ellipses, lines and texts.
void AddMixedElements(CView* view)
{
    const char* kinds[] = {"CBox", "CEllipse", "CLine", "CText"};
    for (int i = 0; i < 200; ++i) {
        const int x = 50 + 100 * (i % 20);
        const int y = 50 + 280 * (i / 20);
        CElement* e = TheElementList().CreateElement(QString::fromLatin1(kinds[i % 4]));
        if (i % 4 == 3) {
            e->BeginCreate(view, x, y);
            e->SetSampleData(view, QStringLiteral("Apples"));
        } else {
            e->BeginCreate(view, x, y);
            e->TrackCreate(view, x + 80, y + 200, FALSE);
            e->EndCreate(view, 0);
        }
    }
}

struct CCanvasFixture
{
    CCanvasFixture()
    {
        RegisterModelElementClasses();
        view.resize(1000, 1300);
        view.FullSize();
        AddMixedElements(&view);
        image = QImage(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    }
    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    CSignData document;
    CDesignView view{nullptr, &document};
    QImage image;
};

void BM_CanvasFullRepaint200Elements(benchmark::State& state)
{
    CCanvasFixture f;
    for (auto _ : state) {
        QPainter painter(&f.image);
        f.view.Render(painter, f.image.rect());
    }
}
BENCHMARK(BM_CanvasFullRepaint200Elements)->Unit(benchmark::kMillisecond);

// One mouse move of a selected element: the tracking step and the repaint
// of the area it left and the area it entered.
void BM_CanvasDragStep(benchmark::State& state)
{
    CCanvasFixture f;
    CSelection& selection = f.view.Selection();
    CElement* element = TheElementList().GetAt(42);
    selection.AddElement(element);
    const CPoint start = CSelection::PositionRect(element).CenterPoint();
    selection.BeginMove(start.x, start.y);
    int step = 0;
    for (auto _ : state) {
        const CRect before = selection.GetBoundingRect();
        const int dx = (step++ % 2) ? -3 : 3;
        selection.TrackMove(start.x + dx, start.y + dx);
        CRect dirty = CRect::Union(before, selection.GetBoundingRect());
        dirty = CRect(f.view.LPtoDP(dirty.TopLeft()), f.view.LPtoDP(dirty.BottomRight()));
        dirty.InflateRect(2, 2, 3, 3);
        QPainter painter(&f.image);
        const QRect clip(dirty.left, dirty.top, dirty.Width(), dirty.Height());
        painter.setClipRect(clip);
        f.view.Render(painter, clip);
    }
    selection.EndMove();
}
BENCHMARK(BM_CanvasDragStep)->Unit(benchmark::kMicrosecond);

} // namespace
