#include "Grid.h"

#include "AppContext.h"
#include "DC.h"
#include "Preferences.h"
#include "Ruler.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

// A view at a fixed scale: lpPerPx design units per device pixel, no
// origin. Records what it was asked to repaint.
class ScaledView : public CViewSeam
{
public:
    explicit ScaledView(int lpPerPx) : m_k(lpPerPx) {}
    CPoint LPtoDP(CPoint p) const override { return CPoint(p.x / m_k, p.y / m_k); }
    CPoint DPtoLP(CPoint p) const override { return CPoint(p.x * m_k, p.y * m_k); }
    CSize LPtoDPSize(CSize s) const override { return CSize(s.cx / m_k, s.cy / m_k); }
    CSize DPtoLPSize(CSize s) const override { return CSize(s.cx * m_k, s.cy * m_k); }
    void InvalidateRect(const CRect& r, bool erase) override { invalidated.push_back({r, erase}); }

    struct Call
    {
        CRect rect;
        bool erase;
    };
    std::vector<Call> invalidated;

private:
    int m_k;
};

class GridTest : public ::testing::Test
{
protected:
    GridTest() { EnsureWidgetApp(); }

    CGrid& Grid() { return TheGrid(); }

    CTestHome home;
    std::optional<CAppContext> context{std::in_place};
};

TEST_F(GridTest, MadeGridIsTheSnapSeamOfTheContext)
{
    CGrid& grid = Grid();
    EXPECT_EQ(App().snap, &grid);
    EXPECT_EQ(&TheGrid(), &grid);
    context.reset();
    context.emplace();
    EXPECT_EQ(App().snap, nullptr);
}

TEST_F(GridTest, SettingsAreThoseOfTheProfileGroup)
{
    CGrid& grid = Grid();
    grid.SetShowGrid(true);
    grid.SetSnapToGrid(true);
    grid.SetSnapToGuides(false);
    grid.SetShowMargins(false);
    grid.SetInterval(25, 40);
    grid.SetUnits(1);
    const CGridSettings& s = CGridSettings::Current();
    EXPECT_TRUE(s.showGrid && s.snapToGrid && !s.snapToGuides && !s.showMargins);
    EXPECT_EQ(s.intervalX, 25);
    EXPECT_EQ(s.intervalY, 40);
    EXPECT_EQ(App().general.displayUnits, 1);

    // An interval below 1 is refused.
    grid.SetInterval(0, -5);
    EXPECT_EQ(grid.GetInterval(), CSize(25, 40));

    grid.Save();
    context.reset();
    context.emplace();
    TheGrid().Load();
    EXPECT_TRUE(TheGrid().IsShowGrid());
    EXPECT_FALSE(TheGrid().IsSnapToGuides());
    EXPECT_EQ(TheGrid().GetInterval(), CSize(25, 40));
    EXPECT_EQ(TheGrid().GetUnits(), 1);
}

TEST_F(GridTest, SnapPointRoundsHalvesAwayFromZero)
{
    struct Row
    {
        bool snap;
        int ix, iy;
        int x, y;
        int ex, ey;
    };
    const Row rows[] = {
        {true, 10, 10, 14, 15, 10, 20},     {true, 10, 10, -14, -16, -10, -20},
        {true, 10, 10, -15, -5, -20, -10},  {true, 10, 10, -4, 4, 0, 0},
        {true, 10, 10, -7, 7, -10, 10},     {true, 10, 10, 0, -10, 0, -10},
        {true, 25, 10, 37, 5, 25, 10},      {true, 25, 10, 38, -5, 50, -10},
        {true, 25, 10, -37, -25, -25, -30}, {true, 25, 10, -38, -26, -50, -30},
        {true, 1, 1, -123, 456, -123, 456}, {true, 3, 7, -4, -4, -3, -7},
        {true, 4, 4, -6, 6, -8, 8},         {false, 10, 10, 14, -16, 14, -16},
        {false, 25, 25, -7, 123, -7, 123},
    };
    CGrid& grid = Grid();
    for (const Row& r : rows) {
        grid.SetSnapToGrid(r.snap);
        grid.SetInterval(r.ix, r.iy);
        EXPECT_EQ(grid.SnapPoint(r.x, r.y), CPoint(r.ex, r.ey))
            << "snap " << r.snap << " interval " << r.ix << "," << r.iy << " point " << r.x << ","
            << r.y;
        // Through the seam the elements use.
        EXPECT_EQ(App().snap->SnapPoint(r.x, r.y), CPoint(r.ex, r.ey));
    }
}

TEST_F(GridTest, SnappingIsSymmetricAndStableAcrossZero)
{
    CGrid& grid = Grid();
    grid.SetSnapToGrid(true);
    for (int interval : {2, 10, 25}) {
        grid.SetInterval(interval, interval);
        for (int v = -120; v <= 120; ++v) {
            const CPoint p = grid.SnapPoint(v, -v);
            EXPECT_EQ(p.x, -p.y) << v;
            // A snapped point stays where it is: nothing creeps when an
            // element is moved again by nothing.
            EXPECT_EQ(grid.SnapPoint(p.x, p.y), p) << v;
            EXPECT_LE(std::abs(p.x - v) * 2, interval) << v;
        }
    }
}

TEST_F(GridTest, SnapRectToGuidesTriesTopThenBottomAndLeftThenRight)
{
    struct Row
    {
        const char* what;
        std::vector<CGuide> guides;
        int lpPerPx;
        CRect in;
        CRect out;
    };
    const CRect r(100, 200, 300, 400);
    const int H = CGuide::Horizontal;
    const int V = CGuide::Vertical;
    const std::vector<Row> rows = {
        {"top near", {{H, 215}}, 2, r, CRect(100, 215, 300, 415)},
        {"top at the tolerance", {{H, 180}}, 2, r, CRect(100, 180, 300, 380)},
        {"top beyond the tolerance", {{H, 179}}, 2, r, r},
        {"bottom near", {{H, 390}}, 2, r, CRect(100, 190, 300, 390)},
        {"top before bottom on one guide list",
         {{H, 395}, {H, 205}},
         2,
         r,
         CRect(100, 195, 300, 395)},
        {"first guide in the list wins", {{H, 205}, {H, 395}}, 2, r, CRect(100, 205, 300, 405)},
        // Top 3 pixels above one guide, bottom 2 below another: the first
        // listed guide takes the element.
        {"top 3 px, bottom 2 px, top guide first",
         {{H, 206}, {H, 396}},
         2,
         r,
         CRect(100, 206, 300, 406)},
        {"top 3 px, bottom 2 px, bottom guide first",
         {{H, 396}, {H, 206}},
         2,
         r,
         CRect(100, 196, 300, 396)},
        {"left near", {{V, 90}}, 2, r, CRect(90, 200, 290, 400)},
        {"right near", {{V, 310}}, 2, r, CRect(110, 200, 310, 400)},
        {"both directions", {{V, 310}, {H, 210}}, 2, r, CRect(110, 210, 310, 410)},
        {"vertical guides do not move down", {{V, 205}}, 2, r, r},
        {"tolerance through the view", {{H, 228}}, 3, r, CRect(100, 228, 300, 428)},
        {"tolerance through the view, beyond", {{H, 231}}, 3, r, r},
        {"negative positions",
         {{H, -5}, {V, -12}},
         1,
         CRect(-20, -10, 0, 10),
         CRect(-12, -5, 8, 15)},
    };
    CGrid& grid = Grid();
    grid.SetSnapToGuides(true);
    for (const Row& row : rows) {
        grid.RemoveAllGuides();
        for (const CGuide& g : row.guides)
            grid.InsertGuide(g.orientation, g.position);
        ScaledView view(row.lpPerPx);
        CRect rect = row.in;
        grid.SnapRectToGuides(&view, rect);
        EXPECT_EQ(rect, row.out) << row.what;
    }
}

TEST_F(GridTest, SnapRectToGuidesOffOrWithoutGuidesLeavesTheRect)
{
    CGrid& grid = Grid();
    const CRect r(0, 0, 50, 50);
    CRect rect = r;
    grid.SetSnapToGuides(true);
    grid.SnapRectToGuides(nullptr, rect);
    EXPECT_EQ(rect, r);
    grid.InsertGuide(CGuide::Horizontal, 5);
    grid.SetSnapToGuides(false);
    grid.SnapRectToGuides(nullptr, rect);
    EXPECT_EQ(rect, r);
    // Without a view the tolerance is 10 design units.
    grid.SetSnapToGuides(true);
    grid.SnapRectToGuides(nullptr, rect);
    EXPECT_EQ(rect, CRect(0, 5, 50, 55));
}

TEST_F(GridTest, GuideListOperations)
{
    CGrid& grid = Grid();
    ScaledView view(2);
    grid.SetSnapToGrid(true);
    grid.SetInterval(10, 10);

    ASSERT_TRUE(grid.AddGuide(&view, CGuide::Horizontal));
    EXPECT_EQ(grid.GuideCount(), 1);
    EXPECT_EQ(grid.CurrentGuide(), 0);
    EXPECT_EQ(grid.Guides()[0], (CGuide{CGuide::Horizontal, 0}));
    // Refused while one is being dragged.
    EXPECT_FALSE(grid.AddGuide(&view, CGuide::Vertical));
    EXPECT_EQ(grid.GuideCount(), 1);

    // Dragged guides snap, negative positions included.
    grid.MoveGuide(&view, 999, -14);
    EXPECT_EQ(grid.Guides()[0].position, -10);
    grid.MoveGuide(&view, 999, -15);
    EXPECT_EQ(grid.Guides()[0].position, -20);
    grid.MoveGuide(&view, 999, 44);
    EXPECT_EQ(grid.Guides()[0].position, 40);
    grid.ReleaseGuide();
    EXPECT_EQ(grid.CurrentGuide(), -1);
    grid.MoveGuide(&view, 0, 0); // nothing current: nothing moves
    EXPECT_EQ(grid.Guides()[0].position, 40);

    ASSERT_TRUE(grid.AddGuide(&view, CGuide::Vertical));
    grid.MoveGuide(&view, 101, 0);
    grid.ReleaseGuide();
    EXPECT_EQ(grid.Guides()[1], (CGuide{CGuide::Vertical, 100}));

    // Within 5 pixels (10 design units at this scale), across for vertical
    // guides, down for horizontal ones.
    EXPECT_EQ(grid.HitTestGuide(&view, 500, 50), CGuide::Horizontal);
    EXPECT_EQ(grid.HitTestGuide(&view, 500, 51), -1);
    EXPECT_EQ(grid.HitTestGuide(&view, 90, 500), CGuide::Vertical);
    EXPECT_EQ(grid.HitTestGuide(&view, 89, 500), -1);
    EXPECT_EQ(grid.CurrentGuide(), -1);
    // Near both: the first in the list.
    EXPECT_EQ(grid.HitTestGuide(&view, 100, 40), CGuide::Horizontal);

    EXPECT_EQ(grid.PickGuide(&view, 95, 500), CGuide::Vertical);
    EXPECT_EQ(grid.CurrentGuide(), 1);
    // Released over the other ruler: kept.
    EXPECT_FALSE(grid.DeleteGuide(&view, CGuide::Horizontal));
    EXPECT_EQ(grid.GuideCount(), 2);
    EXPECT_TRUE(grid.DeleteGuide(&view, CGuide::Vertical));
    EXPECT_EQ(grid.GuideCount(), 1);
    EXPECT_EQ(grid.CurrentGuide(), -1);
    EXPECT_FALSE(grid.DeleteGuide(&view, CGuide::Horizontal));

    grid.RemoveAllGuides();
    EXPECT_EQ(grid.GuideCount(), 0);
    EXPECT_EQ(grid.PickGuide(&view, 0, 0), -1);
}

TEST_F(GridTest, GuidesSurviveANewContextOnlyInMemory)
{
    Grid().InsertGuide(CGuide::Vertical, 30);
    Grid().Save();
    context.reset();
    context.emplace();
    TheGrid().Load();
    EXPECT_EQ(TheGrid().GuideCount(), 0);
}

TEST_F(GridTest, DrawIntervalDoublesUntilTwoScreenMillimetres)
{
    struct Row
    {
        int interval;
        int lpPerPx;
        double pxPerMm;
        int drawn;
    };
    const Row rows[] = {
        {10, 1, 4, 10},                                  // 8 design units minimum
        {10, 2, 4, 20},                                  // 16
        {10, 5, 4, 40},                                  // 40
        {10, 6, 4, 80},                                  // 48
        {25, 2, 4, 25}, {25, 4, 4, 50}, {3, 1, 3.8, 12}, // 2 x 3.8 + 0.5 = 8 pixels
    };
    CGrid& grid = Grid();
    for (const Row& r : rows) {
        grid.SetInterval(r.interval, r.interval);
        ScaledView view(r.lpPerPx);
        grid.RecalcGridSpacing(&view, r.pxPerMm, r.pxPerMm);
        EXPECT_EQ(grid.GetDrawInterval(), CSize(r.drawn, r.drawn))
            << r.interval << " at " << r.lpPerPx;
        // Snapping keeps the interval itself.
        grid.SetSnapToGrid(true);
        EXPECT_EQ(grid.SnapPoint(r.interval, 0).x, r.interval);
    }
}

// Black pixels of an image, as points.
std::vector<CPoint> BlackPixels(const QImage& image)
{
    std::vector<CPoint> points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == Qt::black)
                points.push_back(CPoint(x, y));
        }
    }
    return points;
}

TEST_F(GridTest, DrawGridSetsOneDotAtEachInterval)
{
    CGrid& grid = Grid();
    grid.SetInterval(10, 15);
    // At 254 dots per inch one design unit is one pixel.
    CImageDC dc(80, 80, 254, 254);
    dc.SetTenthsMmMapping();
    dc.FillSolidRect(0, 0, 80, 80, MakeRGB(255, 255, 255));

    grid.SetShowGrid(false);
    grid.DrawGrid(dc, CSize(45, 35));
    EXPECT_TRUE(BlackPixels(dc.Image()).empty());

    grid.SetShowGrid(true);
    grid.DrawGrid(dc, CSize(45, 35));
    std::vector<CPoint> expected;
    for (int y = 0; y < 35; y += 15) {
        for (int x = 0; x < 45; x += 10)
            expected.push_back(CPoint(x, y));
    }
    EXPECT_EQ(BlackPixels(dc.Image()), expected);
}

TEST_F(GridTest, DrawGridUsesTheDrawInterval)
{
    CGrid& grid = Grid();
    grid.SetShowGrid(true);
    grid.SetInterval(10, 10);
    ScaledView view(2);
    grid.RecalcGridSpacing(&view, 4, 4); // dots every 20
    CImageDC dc(60, 60, 254, 254);
    dc.SetTenthsMmMapping();
    dc.FillSolidRect(0, 0, 60, 60, MakeRGB(255, 255, 255));
    grid.DrawGrid(dc, CSize(50, 30));
    const std::vector<CPoint> expected = {{0, 0}, {20, 0}, {40, 0}, {0, 20}, {20, 20}, {40, 20}};
    EXPECT_EQ(BlackPixels(dc.Image()), expected);
}

TEST_F(GridTest, DrawGuidesAndMargins)
{
    CGrid& grid = Grid();
    CImageDC dc(60, 60, 254, 254);
    dc.SetTenthsMmMapping();
    dc.FillSolidRect(0, 0, 60, 60, MakeRGB(255, 255, 255));
    grid.InsertGuide(CGuide::Vertical, 20);
    grid.InsertGuide(CGuide::Horizontal, 30);
    grid.DrawGuides(dc, CRect(0, 0, 60, 60));
    const QImage& img = dc.Image();
    int onVertical = 0, onHorizontal = 0, elsewhere = 0;
    for (const CPoint& p : BlackPixels(img)) {
        if (p.x == 20)
            ++onVertical;
        else if (p.y == 30)
            ++onHorizontal;
        else
            ++elsewhere;
    }
    // Dotted: some pixels on each line, not all of them.
    EXPECT_GT(onVertical, 10);
    EXPECT_LT(onVertical, 60);
    EXPECT_GT(onHorizontal, 10);
    EXPECT_EQ(elsewhere, 0);

    CImageDC margins(60, 60, 254, 254);
    margins.SetTenthsMmMapping();
    margins.FillSolidRect(0, 0, 60, 60, MakeRGB(255, 255, 255));
    grid.SetShowMargins(false);
    grid.DrawMargins(margins, CRect(10, 10, 50, 50));
    auto grey = [&] {
        int n = 0;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 60; ++x)
                n += margins.Image().pixelColor(x, y) == QColor(128, 128, 128);
        }
        return n;
    };
    EXPECT_EQ(grey(), 0);
    grid.SetShowMargins(true);
    grid.DrawMargins(margins, CRect(10, 10, 50, 50));
    EXPECT_GT(grey(), 0);
    EXPECT_EQ(margins.Image().pixelColor(30, 30), Qt::white);
}

TEST_F(GridTest, RulerScaleByLabelExtent)
{
    struct Row
    {
        int units;
        int labelExtent;
        int major, n, divisions, midPeriod;
        double minorStep;
    };
    const Row rows[] = {
        {0, 60, 100, 1, 10, 5, 10},   {0, 99, 100, 1, 10, 5, 10},      {0, 150, 100, 2, 8, 4, 25},
        {0, 250, 100, 3, 6, 2, 50},   {0, 300, 100, 4, 8, 2, 50},      {0, 450, 100, 5, 5, 5, 100},
        {0, 550, 100, 6, 6, 3, 100},  {0, 600, 100, 7, 7, 7, 100},     {0, 799, 100, 8, 8, 2, 100},
        {0, 850, 100, 9, 9, 9, 100},  {0, 1500, 100, 16, 16, 16, 100}, {1, 60, 254, 1, 10, 5, 25.4},
        {1, 300, 254, 2, 8, 4, 63.5}, {1, 508, 254, 3, 6, 2, 127},
    };
    for (const Row& r : rows) {
        const CRulerScale s = CRuler::ChooseScale(r.units, r.labelExtent);
        EXPECT_EQ(s.major, r.major) << r.units << " " << r.labelExtent;
        EXPECT_EQ(s.n, r.n) << r.units << " " << r.labelExtent;
        EXPECT_EQ(s.divisions, r.divisions) << r.labelExtent;
        EXPECT_EQ(s.midPeriod, r.midPeriod) << r.labelExtent;
        EXPECT_DOUBLE_EQ(s.minorStep, r.minorStep) << r.labelExtent;
    }
}

struct TickRow
{
    int position;
    int kind;
    const char* label;
};

void ExpectTicks(const std::vector<CRulerTick>& ticks, const std::vector<TickRow>& expected)
{
    ASSERT_EQ(ticks.size(), expected.size());
    for (size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i].position, expected[i].position) << i;
        EXPECT_EQ(ticks[i].kind, expected[i].kind) << i;
        EXPECT_EQ(ticks[i].label, QString::fromLatin1(expected[i].label)) << i;
        EXPECT_EQ(ticks[i].red, QString::fromLatin1(expected[i].label) == "0") << i;
    }
}

constexpr int S = CRulerTick::Short;
constexpr int M = CRulerTick::Mid;
constexpr int L = CRulerTick::Labelled;

TEST_F(GridTest, RulerTicksInCentimetres)
{
    // Close in: every millimetre, a mid tick at 5, a label each centimetre.
    ExpectTicks(CRuler::Ticks(CRuler::ChooseScale(0, 60), -30, 110), {{-30, S, ""},
                                                                      {-20, S, ""},
                                                                      {-10, S, ""},
                                                                      {0, L, "0"},
                                                                      {10, S, ""},
                                                                      {20, S, ""},
                                                                      {30, S, ""},
                                                                      {40, S, ""},
                                                                      {50, M, ""},
                                                                      {60, S, ""},
                                                                      {70, S, ""},
                                                                      {80, S, ""},
                                                                      {90, S, ""},
                                                                      {100, L, "1"}});
    // Zoomed out so that a label needs 1.5 cm: labels every 2 cm, eight
    // minor ticks, a mid tick every fourth.
    ExpectTicks(CRuler::Ticks(CRuler::ChooseScale(0, 150), -200, 201), {{-200, L, "-2"},
                                                                        {-175, S, ""},
                                                                        {-150, S, ""},
                                                                        {-125, S, ""},
                                                                        {-100, M, ""},
                                                                        {-75, S, ""},
                                                                        {-50, S, ""},
                                                                        {-25, S, ""},
                                                                        {0, L, "0"},
                                                                        {25, S, ""},
                                                                        {50, S, ""},
                                                                        {75, S, ""},
                                                                        {100, M, ""},
                                                                        {125, S, ""},
                                                                        {150, S, ""},
                                                                        {175, S, ""},
                                                                        {200, L, "2"}});
}

TEST_F(GridTest, RulerTicksInInches)
{
    // Tenths of an inch, positions rounded half away from zero on both
    // sides of 0.
    ExpectTicks(CRuler::Ticks(CRuler::ChooseScale(1, 60), -60, 260), {{-51, S, ""},
                                                                      {-25, S, ""},
                                                                      {0, L, "0"},
                                                                      {25, S, ""},
                                                                      {51, S, ""},
                                                                      {76, S, ""},
                                                                      {102, S, ""},
                                                                      {127, M, ""},
                                                                      {152, S, ""},
                                                                      {178, S, ""},
                                                                      {203, S, ""},
                                                                      {229, S, ""},
                                                                      {254, L, "1"}});
    ExpectTicks(CRuler::Ticks(CRuler::ChooseScale(1, 300), 0, 509), {{0, L, "0"},
                                                                     {64, S, ""},
                                                                     {127, S, ""},
                                                                     {191, S, ""},
                                                                     {254, M, ""},
                                                                     {318, S, ""},
                                                                     {381, S, ""},
                                                                     {445, S, ""},
                                                                     {508, L, "2"}});
}

// The canvas side of the rulers: a fixed scale of 40 pixels per centimetre
// divided by the zoom, and guides added through the grid.
class FakeCanvas : public CRulerClient
{
public:
    bool BeginGuide(bool vertical, int) override
    {
        began.push_back(vertical);
        return TheGrid().AddGuide(nullptr, vertical ? CGuide::Vertical : CGuide::Horizontal);
    }
    void TrackGuide(bool, QPoint p) override { tracked.push_back(p); }
    void EndGuide(bool vertical, QPoint, int overRulerKind) override
    {
        endedOver.push_back(overRulerKind);
        if (overRulerKind == (vertical ? CRuler::VerticalRuler : CRuler::HorizontalRuler))
            TheGrid().DeleteGuide(nullptr, vertical ? CGuide::Vertical : CGuide::Horizontal);
        else
            TheGrid().ReleaseGuide();
    }
    CSize RulerWindowExt() const override { return CSize(100 * zoomOut, 100 * zoomOut); }
    CSize RulerViewportExt() const override { return CSize(40, 40); }
    CPoint RulerViewportOrg() const override { return origin; }

    int zoomOut = 1;
    CPoint origin{0, 0};
    std::vector<bool> began;
    std::vector<QPoint> tracked;
    std::vector<int> endedOver;
};

class RulerTest : public GridTest
{
protected:
    RulerTest()
    {
        canvas.resize(600, 400);
        EXPECT_TRUE(Grid().CreateRulers(&canvas, &client));
    }
    ~RulerTest() override { TheGrid().DestroyRulers(); }

    void Click(QWidget* w, QEvent::Type type, QPoint at)
    {
        QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }

    FakeCanvas client;
    QWidget canvas;
};

TEST_F(RulerTest, RulersLieAlongTheCanvas)
{
    CRuler* h = Grid().GetRuler(CRuler::HorizontalRuler);
    CRuler* v = Grid().GetRuler(CRuler::VerticalRuler);
    CRuler* c = Grid().GetRuler(CRuler::CornerBox);
    ASSERT_TRUE(h && v && c);
    const int rh = h->RulerHeight();
    const int rw = h->RulerWidth();
    EXPECT_GT(rh, 0);
    EXPECT_EQ(rw, rh); // square pixels: equal thickness
    EXPECT_EQ(h->geometry(), QRect(rw, 0, 600 - rw, rh));
    EXPECT_EQ(v->geometry(), QRect(0, rh, rw, 400 - rh));
    EXPECT_EQ(c->geometry(), QRect(0, 0, rw, rh));
    EXPECT_EQ(h->MidTick(), 2 * h->ShortTick());
    EXPECT_EQ(h->ShortTick(), int(h->TextAscent() / 3.0 + 0.5));

    EXPECT_EQ(Grid().RulerHeight(), rh);
    Grid().SetShowRuler(false);
    EXPECT_TRUE(h->IsHiddenRuler() && v->IsHiddenRuler() && c->IsHiddenRuler());
    EXPECT_EQ(Grid().RulerHeight(), 0);
    EXPECT_EQ(Grid().RulerWidth(), 0);
    Grid().SetShowRuler(true);
    EXPECT_EQ(Grid().RulerWidth(), rw);
}

TEST_F(RulerTest, LabelsNeverOverlapAtAnyZoom)
{
    for (int units : {0, 1}) {
        Grid().SetUnits(units);
        for (int zoomOut : {1, 4}) {
            client.zoomOut = zoomOut;
            Grid().RecalcGridSpacing(nullptr, 4, 4);
            CRuler* h = Grid().GetRuler(CRuler::HorizontalRuler);
            const CRulerScale& s = h->Scale();
            EXPECT_EQ(s.major, units ? 254 : 100);
            const std::vector<CRulerTick> ticks = h->VisibleTicks();
            std::vector<int> labelled;
            for (const CRulerTick& t : ticks) {
                if (t.kind == CRulerTick::Labelled)
                    labelled.push_back(h->ToPixel(t.position));
            }
            ASSERT_GE(labelled.size(), 2u) << units << " " << zoomOut;
            const int labelWidth = QFontMetrics(h->font()).horizontalAdvance("-000");
            for (size_t i = 1; i < labelled.size(); ++i)
                EXPECT_GE(labelled[i] - labelled[i - 1], labelWidth) << units << " " << zoomOut;
            // And no sparser than needed: one major unit less would overlap.
            if (s.n > 1) {
                EXPECT_LE((s.n - 1) * s.major * 40 / (100 * zoomOut), labelWidth);
            }
        }
    }
    // Zooming out four times makes the labelled step grow in centimetres.
    Grid().SetUnits(0);
    client.zoomOut = 1;
    Grid().RecalcGridSpacing(nullptr, 4, 4);
    const int near = Grid().GetRuler(CRuler::HorizontalRuler)->Scale().n;
    client.zoomOut = 4;
    Grid().RecalcGridSpacing(nullptr, 4, 4);
    EXPECT_GT(Grid().GetRuler(CRuler::HorizontalRuler)->Scale().n, near);
}

TEST_F(RulerTest, OriginFollowsTheCanvas)
{
    CRuler* h = Grid().GetRuler(CRuler::HorizontalRuler);
    CRuler* v = Grid().GetRuler(CRuler::VerticalRuler);
    client.origin = CPoint(70, 90);
    Grid().SyncRulers();
    // Design 0 sits at the canvas's viewport origin, in ruler pixels.
    EXPECT_EQ(h->ToPixel(0) + h->x(), 70);
    EXPECT_EQ(v->ToPixel(0) + v->y(), 90);
    EXPECT_EQ(h->ToPixel(100), h->ToPixel(0) + 40);
    EXPECT_EQ(h->ToDesign(h->ToPixel(-250)), -250);
    // Ticks to the left of the origin are negative.
    EXPECT_LT(h->VisibleTicks().front().position, 0);

    Grid().TrackPosition(200, 150);
    EXPECT_EQ(h->MarkerPosition(), 200 - h->x());
    EXPECT_EQ(v->MarkerPosition(), 150 - v->y());
}

TEST_F(RulerTest, CornerBoxTogglesTheUnit)
{
    int toggled = 0;
    Grid().onUnitsToggled = [&] { ++toggled; };
    CRuler* c = Grid().GetRuler(CRuler::CornerBox);
    Click(c, QEvent::MouseButtonPress, QPoint(2, 2));
    EXPECT_EQ(Grid().GetUnits(), 1);
    EXPECT_EQ(App().general.displayUnits, 1);
    EXPECT_EQ(Grid().GetRuler(CRuler::HorizontalRuler)->Units(), 1);
    EXPECT_EQ(Grid().GetRuler(CRuler::HorizontalRuler)->Scale().major, 254);
    Click(c, QEvent::MouseButtonPress, QPoint(2, 2));
    EXPECT_EQ(Grid().GetUnits(), 0);
    EXPECT_EQ(c->Units(), 0);
    EXPECT_EQ(toggled, 2);
}

TEST_F(RulerTest, GuideDraggedOutOfARulerAndBack)
{
    CRuler* h = Grid().GetRuler(CRuler::HorizontalRuler);
    CRuler* v = Grid().GetRuler(CRuler::VerticalRuler);

    // Out of the horizontal ruler onto the canvas: a horizontal guide stays.
    Click(h, QEvent::MouseButtonPress, QPoint(50, 5));
    ASSERT_EQ(client.began, std::vector<bool>{false});
    EXPECT_TRUE(h->HasGuideCursor());
    Click(h, QEvent::MouseMove, QPoint(50, 100));
    ASSERT_EQ(client.tracked.size(), 1u);
    EXPECT_EQ(client.tracked[0], h->mapToParent(QPoint(50, 100)));
    Click(h, QEvent::MouseButtonRelease, QPoint(50, 100));
    EXPECT_EQ(client.endedOver.back(), -1);
    EXPECT_EQ(Grid().GuideCount(), 1);
    EXPECT_FALSE(h->HasGuideCursor());

    // A vertical guide released over the horizontal ruler is kept.
    Click(v, QEvent::MouseButtonPress, QPoint(5, 50));
    EXPECT_EQ(Grid().Guides().back().orientation, CGuide::Vertical);
    const QPoint overHorizontal = v->mapFromParent(h->geometry().center());
    Click(v, QEvent::MouseButtonRelease, overHorizontal);
    EXPECT_EQ(client.endedOver.back(), CRuler::HorizontalRuler);
    EXPECT_EQ(Grid().GuideCount(), 2);

    // One released over its own ruler is deleted.
    Click(v, QEvent::MouseButtonPress, QPoint(5, 50));
    EXPECT_EQ(Grid().GuideCount(), 3);
    Click(v, QEvent::MouseButtonRelease, QPoint(5, 60));
    EXPECT_EQ(client.endedOver.back(), CRuler::VerticalRuler);
    EXPECT_EQ(Grid().GuideCount(), 2);
    EXPECT_EQ(Grid().CurrentGuide(), -1);
}

TEST_F(GridTest, TypedIntervalsInTenthsOfAMillimetre)
{
    struct Row
    {
        double typed;
        int units;
        int tenths;
    };
    const Row rows[] = {
        {2.5, 0, 25}, {0.1, 1, 25}, {1.0, 0, 10},  {1000.0, 0, 10000}, {2.3, 0, 23},
        {1.1, 0, 11}, {4.6, 0, 46}, {0.04, 1, 10}, {39.0, 1, 9906},    {1.0, 1, 254},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CGrid::IntervalFromDisplay(r.typed, r.units), r.tenths)
            << r.typed << " " << r.units;
}

TEST_F(GridTest, SheetValuesRoundTrip)
{
    CGrid& grid = Grid();
    grid.SetInterval(25, 100);
    grid.SetUnits(1);
    CGrid::SheetValues v = grid.GetSheetValues();
    EXPECT_DOUBLE_EQ(v.intervalX, 0.1);
    EXPECT_DOUBLE_EQ(v.intervalY, 0.39);
    EXPECT_EQ(v.units, 1);

    v.intervalX = 0.2;
    v.showGrid = true;
    v.snapToGuides = false;
    v.units = 0;
    v.showRuler = false;
    grid.ApplySheetValues(v, nullptr);
    EXPECT_EQ(grid.GetInterval(), CSize(51, 99)); // 0.2 inch is 5.1 mm
    EXPECT_TRUE(grid.IsShowGrid());
    EXPECT_FALSE(grid.IsSnapToGuides());
    EXPECT_EQ(grid.GetUnits(), 0);
    EXPECT_FALSE(grid.IsShowRuler());

    v = grid.GetSheetValues();
    EXPECT_DOUBLE_EQ(v.intervalX, 5.1);
    EXPECT_DOUBLE_EQ(v.intervalY, 9.9);
}

} // namespace
