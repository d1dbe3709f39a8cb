// Golden-pixel tests of the device context: mapping, figures, text placement,
// font heights, clipping and saved states, at fixed resolutions.
#include "DC.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <vector>

// Readable failure messages for the geometry types.
static void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << " " << r.width() << "x" << r.height() << ")";
}
static void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "CRect(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
static void PrintTo(const CPoint& p, std::ostream* os)
{
    *os << "CPoint(" << p.x << ", " << p.y << ")";
}

namespace {

// Fonts and painting need a GUI application; the test program has no main
// of its own, so the first test that draws makes one.
bool EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return app != nullptr;
}

class DCTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!EnsureGuiApp())
            GTEST_SKIP() << "needs a QGuiApplication";
    }
};

constexpr COLORREF kBlack = MakeRGB(0, 0, 0);
constexpr COLORREF kRed = MakeRGB(255, 0, 0);
constexpr COLORREF kBlue = MakeRGB(0, 0, 255);

bool IsWhite(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

bool IsInk(const QImage& image, int x, int y)
{
    return !IsWhite(image, x, y);
}

// Dark enough to be the body of a glyph rather than its smoothed edge.
bool IsDark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

template <typename Pred> QRect Bounds(const QImage& image, Pred pred)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (pred(image, x, y))
                r |= QRect(x, y, 1, 1);
        }
    }
    return r;
}

QRect InkBounds(const QImage& image)
{
    return Bounds(image, IsInk);
}

QRect DarkBounds(const QImage& image)
{
    return Bounds(image, IsDark);
}

int CountInk(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += IsInk(image, x, y) ? 1 : 0;
    }
    return n;
}

// Device rectangle covering left..right-1, top..bottom-1.
QRect Pixels(int l, int t, int r, int b)
{
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

LogFontFields Font(const QString& face, int height)
{
    LogFontFields lf;
    lf.lfFaceName = face;
    lf.lfHeight = height;
    lf.lfWeight = 400;
    return lf;
}

// --- mapping -----------------------------------------------------------------------

TEST(DCMappingTest, RoundsHalfAwayFromZeroOnBothSidesOfTheOrigin)
{
    // Two logical units per pixel: every odd logical coordinate lands on a
    // half pixel. No painter: the maths alone.
    CDC dc;
    dc.SetWindowExt(2, 2);
    dc.SetViewportExt(1, 1);
    struct Case
    {
        int logical;
        int device;
    };
    for (const Case& c : {Case{1, 1}, Case{-1, -1}, Case{3, 2}, Case{-3, -2}, Case{4, 2},
                          Case{-4, -2}, Case{0, 0}}) {
        EXPECT_EQ(dc.LPtoDP(CPoint(c.logical, c.logical)), CPoint(c.device, c.device)) << c.logical;
    }

    // With origins the rounding applies to the offset from the window origin.
    dc.SetWindowOrg(10, -10);
    dc.SetViewportOrg(100, 50);
    EXPECT_EQ(dc.LPtoDP(CPoint(11, -9)), CPoint(101, 51));
    EXPECT_EQ(dc.LPtoDP(CPoint(9, -11)), CPoint(99, 49));
    EXPECT_EQ(dc.DPtoLP(CPoint(101, 51)), CPoint(12, -8));

    // Sizes scale without origins and keep their sign.
    EXPECT_EQ(dc.LPtoDP(CSize(3, -3)), CSize(2, -2));
    EXPECT_EQ(dc.DPtoLP(CSize(5, -5)), CSize(10, -10));

    // A zero extent is refused.
    EXPECT_EQ(dc.SetWindowExt(0, 5), CSize(2, 2));
    EXPECT_EQ(dc.GetWindowExt(), CSize(2, 2));
}

TEST(DCMappingTest, TenthsOfAMillimetreRoundTrip)
{
    // At 600 dpi a logical unit is more than a pixel, so logical points come
    // back unchanged; at 4 px/mm a pixel is more than a logical unit, so
    // device points do. Both with origins, on both sides of zero.
    CDC printer;
    printer.SetTenthsMmMapping(600, 600);
    printer.SetWindowOrg(-37, 125);
    printer.SetViewportOrg(13, -7);
    CDC screen;
    screen.SetTenthsMmMapping(101.6, 101.6);
    screen.SetWindowOrg(55, -20);
    screen.SetViewportOrg(-3, 9);
    for (int v = -600; v <= 600; v += 7) {
        const CPoint p(v, -v / 3);
        ASSERT_EQ(printer.DPtoLP(printer.LPtoDP(p)), p) << v;
        ASSERT_EQ(screen.LPtoDP(screen.DPtoLP(p)), p) << v;
    }

    CDC dc;
    dc.SetTenthsMmMapping(101.6, 101.6);
    EXPECT_EQ(dc.LPtoDP(CPoint(10, 10)), CPoint(4, 4)); // 1 mm at 4 px/mm
    EXPECT_EQ(dc.LPtoDP(CPoint(254, -254)), CPoint(102, -102));
    EXPECT_EQ(dc.LPtoDP(CRect(0, 0, 250, 125)), CRect(0, 0, 100, 50));
    dc.SetTenthsMmMapping(600, 300);
    EXPECT_EQ(dc.LPtoDP(CSize(254, 254)), CSize(600, 300));
}

// --- figures -----------------------------------------------------------------------

TEST_F(DCTest, FilledRectanglesExcludeTheirRightAndBottomEdges)
{
    CImageDC dc(40, 40);
    dc.FillSolidRect(CRect(5, 6, 15, 20), kRed);
    const QImage& img = dc.Image();
    EXPECT_EQ(img.pixel(5, 6), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(14, 19), qRgb(255, 0, 0));
    EXPECT_TRUE(IsWhite(img, 15, 10));
    EXPECT_TRUE(IsWhite(img, 10, 20));
    EXPECT_TRUE(IsWhite(img, 4, 10));
    EXPECT_TRUE(IsWhite(img, 10, 5));
    EXPECT_EQ(InkBounds(img), Pixels(5, 6, 15, 20));
}

TEST_F(DCTest, FiguresStayWithinTheirRectangle)
{
    // Each figure, outline and fill together, covers exactly the pixels of
    // its rectangle (corners of round figures aside), under a 1:1 and a
    // doubling mapping.
    struct Case
    {
        const char* name;
        CPen pen;
        CBrush brush;
        void (*draw)(CDC&, const CRect&);
    };
    const auto rect = [](CDC& dc, const CRect& r) { dc.Rectangle(r); };
    const auto ellipse = [](CDC& dc, const CRect& r) { dc.Ellipse(r); };
    const auto roundRect = [](CDC& dc, const CRect& r) { dc.RoundRect(r, CPoint(6, 6)); };
    const auto fill = [](CDC& dc, const CRect& r) { dc.FillRect(r, CBrush::Solid(kBlue)); };
    const Case cases[] = {
        {"rectangle, pen 0", CPen(PS_SOLID, 0, kBlack), CBrush::Solid(kBlue), rect},
        {"rectangle, no pen", CPen::Null(), CBrush::Solid(kBlue), rect},
        {"rectangle, hollow", CPen(PS_SOLID, 0, kBlack), CBrush::Null(), rect},
        {"rectangle, inside frame 3", CPen(PS_INSIDEFRAME, 3, kBlack), CBrush::Solid(kBlue), rect},
        {"ellipse, pen 0", CPen(PS_SOLID, 0, kBlack), CBrush::Solid(kBlue), ellipse},
        {"ellipse, no pen", CPen::Null(), CBrush::Solid(kBlue), ellipse},
        {"ellipse, inside frame 4", CPen(PS_INSIDEFRAME, 4, kBlack), CBrush::Null(), ellipse},
        {"round rect, pen 0", CPen(PS_SOLID, 0, kBlack), CBrush::Solid(kBlue), roundRect},
        {"round rect, inside frame 2", CPen(PS_INSIDEFRAME, 2, kBlack), CBrush::Solid(kBlue),
         roundRect},
        {"fill rect", CPen::Null(), CBrush::Null(), fill},
    };
    for (const Case& c : cases) {
        for (const int scale : {1, 2}) {
            CImageDC dc(80, 80);
            dc.SetViewportExt(scale, scale);
            dc.SelectPen(c.pen);
            dc.SelectBrush(c.brush);
            c.draw(dc, CRect(5, 6, 25, 31));
            EXPECT_EQ(InkBounds(dc.Image()), Pixels(5 * scale, 6 * scale, 25 * scale, 31 * scale))
                << c.name << " at scale " << scale;
        }
    }
}

TEST_F(DCTest, InsideFramePenGrowsInwardFromTheRectangle)
{
    CImageDC dc(40, 40);
    dc.SelectPen(CPen(PS_INSIDEFRAME, 4, kBlack));
    dc.SelectBrush(CBrush::Null());
    dc.Rectangle(10, 10, 30, 30);
    const QImage& img = dc.Image();
    EXPECT_EQ(InkBounds(img), Pixels(10, 10, 30, 30));
    // A band four pixels wide on every side, square at the corners.
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(IsInk(img, 10 + i, 20)) << i;
        EXPECT_TRUE(IsInk(img, 29 - i, 20)) << i;
        EXPECT_TRUE(IsInk(img, 20, 10 + i)) << i;
        EXPECT_TRUE(IsInk(img, 20, 29 - i)) << i;
    }
    EXPECT_TRUE(IsInk(img, 10, 10));
    EXPECT_TRUE(IsInk(img, 29, 29));
    EXPECT_TRUE(IsWhite(img, 14, 20));
    EXPECT_TRUE(IsWhite(img, 25, 20));
    EXPECT_TRUE(IsWhite(img, 20, 14));
    EXPECT_TRUE(IsWhite(img, 20, 25));

    // A plain pen of the same width straddles the outline instead.
    CImageDC plain(40, 40);
    plain.SelectPen(CPen(PS_SOLID, 4, kBlack));
    plain.SelectBrush(CBrush::Null());
    plain.Rectangle(10, 10, 30, 30);
    EXPECT_LT(InkBounds(plain.Image()).left(), 10);
    EXPECT_GT(InkBounds(plain.Image()).right(), 29);

    // Pen widths are logical: at two pixels per unit the band is eight wide.
    CImageDC scaled(80, 80);
    scaled.SetViewportExt(2, 2);
    scaled.SelectPen(CPen(PS_INSIDEFRAME, 4, kBlack));
    scaled.SelectBrush(CBrush::Null());
    scaled.Rectangle(10, 10, 30, 30);
    EXPECT_TRUE(IsInk(scaled.Image(), 27, 40));
    EXPECT_TRUE(IsWhite(scaled.Image(), 28, 40));
}

TEST_F(DCTest, LinesLeaveOutTheirLastPixel)
{
    CImageDC dc(40, 40);
    dc.MoveTo(5, 5);
    dc.LineTo(15, 5);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(15, 5));
    const CPoint zigzag[] = {{5, 10}, {15, 10}, {15, 20}, {25, 20}};
    dc.Polyline(zigzag);
    const QImage& img = dc.Image();
    EXPECT_TRUE(IsInk(img, 5, 5));
    EXPECT_TRUE(IsInk(img, 14, 5));
    EXPECT_TRUE(IsWhite(img, 15, 5));
    EXPECT_TRUE(IsInk(img, 15, 10)); // inner vertices are drawn
    EXPECT_TRUE(IsInk(img, 15, 20));
    EXPECT_TRUE(IsInk(img, 24, 20));
    EXPECT_TRUE(IsWhite(img, 25, 20));
    EXPECT_TRUE(IsWhite(img, 5, 6));
    EXPECT_TRUE(IsWhite(img, 5, 4));

    // A wide pen is centred on the line.
    CImageDC wide(40, 40);
    wide.SelectPen(CPen(PS_SOLID, 3, kBlack));
    wide.MoveTo(10, 20);
    wide.LineTo(30, 20);
    EXPECT_TRUE(IsInk(wide.Image(), 20, 19));
    EXPECT_TRUE(IsInk(wide.Image(), 20, 21));
    EXPECT_TRUE(IsWhite(wide.Image(), 20, 18));
    EXPECT_TRUE(IsWhite(wide.Image(), 20, 22));
}

TEST_F(DCTest, StyledPensLeaveGapsFilledOnlyWhenOpaque)
{
    for (const int style : {PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT}) {
        CImageDC dc(80, 10);
        dc.SelectPen(CPen(style, 0, kBlack));
        dc.MoveTo(0, 5);
        dc.LineTo(80, 5);
        int black = 0, white = 0;
        for (int x = 0; x < 80; ++x)
            (IsWhite(dc.Image(), x, 5) ? white : black) += 1;
        EXPECT_GT(black, 0) << style;
        EXPECT_GT(white, 0) << style;

        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(kRed);
        dc.MoveTo(0, 7);
        dc.LineTo(80, 7);
        for (int x = 0; x < 80; ++x) {
            ASSERT_TRUE(dc.Image().pixel(x, 7) == qRgb(0, 0, 0) ||
                        dc.Image().pixel(x, 7) == qRgb(255, 0, 0))
                << style << " at " << x;
        }
    }
}

TEST_F(DCTest, PolygonFillRuleDecidesThePentagramCentre)
{
    // Five points of a star visited every second point: the pentagon in the
    // middle is enclosed twice.
    std::vector<CPoint> star;
    for (int i = 0; i < 5; ++i) {
        const double a = -std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        star.emplace_back(50 + int(std::lround(40 * std::cos(a))),
                          50 + int(std::lround(40 * std::sin(a))));
    }
    for (const int mode : {ALTERNATE, WINDING}) {
        CImageDC dc(100, 100);
        dc.SelectPen(CPen::Null());
        dc.SelectBrush(CBrush::Solid(kBlack));
        if (mode == WINDING)
            dc.SetPolyFillMode(WINDING);
        dc.Polygon(star);
        EXPECT_EQ(IsWhite(dc.Image(), 50, 52), mode == ALTERNATE) << mode;
        EXPECT_TRUE(IsInk(dc.Image(), 50, 15)) << mode; // the top arm
    }
    CImageDC dc(100, 100);
    EXPECT_EQ(dc.GetPolyFillMode(), ALTERNATE);
}

TEST_F(DCTest, PolygonFillExcludesRightAndBottomButTheOutlineDoesNot)
{
    const CPoint square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    CImageDC fillOnly(40, 40);
    fillOnly.SelectPen(CPen::Null());
    fillOnly.SelectBrush(CBrush::Solid(kBlack));
    fillOnly.Polygon(square);
    EXPECT_EQ(InkBounds(fillOnly.Image()), Pixels(10, 10, 20, 20));

    CImageDC outlined(40, 40);
    outlined.SelectBrush(CBrush::Null());
    outlined.Polygon(square);
    EXPECT_EQ(InkBounds(outlined.Image()), Pixels(10, 10, 21, 21));
    EXPECT_TRUE(IsWhite(outlined.Image(), 15, 15));
}

TEST_F(DCTest, RoundedCornersLeaveTheCornerPixelWhite)
{
    CImageDC dc(60, 60);
    dc.SelectBrush(CBrush::Solid(kBlack));
    dc.RoundRect(10, 10, 50, 50, 20, 20);
    const QImage& img = dc.Image();
    for (const QPoint corner : {QPoint(10, 10), QPoint(49, 10), QPoint(10, 49), QPoint(49, 49),
                                QPoint(11, 11), QPoint(12, 11)})
        EXPECT_TRUE(IsWhite(img, corner.x(), corner.y())) << corner.x() << "," << corner.y();
    // The straight parts reach the rectangle.
    EXPECT_TRUE(IsInk(img, 30, 10));
    EXPECT_TRUE(IsInk(img, 10, 30));
    EXPECT_TRUE(IsInk(img, 49, 30));
    EXPECT_TRUE(IsInk(img, 30, 49));
    // A corner diameter of 20 rounds off about 3 pixels along the diagonal.
    EXPECT_TRUE(IsInk(img, 14, 14));
}

TEST_F(DCTest, PieTakesTheCounterClockwiseSweep)
{
    // From the east radial to the north radial: the upper right quarter.
    CImageDC dc(60, 60);
    dc.SelectPen(CPen::Null());
    dc.SelectBrush(CBrush::Solid(kBlack));
    dc.Pie(CRect(10, 10, 50, 50), CPoint(60, 30), CPoint(30, 0));
    EXPECT_TRUE(IsInk(dc.Image(), 40, 20));
    EXPECT_TRUE(IsWhite(dc.Image(), 20, 20));
    EXPECT_TRUE(IsWhite(dc.Image(), 20, 40));
    EXPECT_TRUE(IsWhite(dc.Image(), 40, 40));
}

TEST_F(DCTest, HatchBrushesFollowTheirDirection)
{
    struct Case
    {
        int hatch;
        int dx, dy; // ink continues along this step
    };
    for (const Case& c : {Case{HS_HORIZONTAL, 1, 0}, Case{HS_VERTICAL, 0, 1},
                          Case{HS_FDIAGONAL, 1, 1}, Case{HS_BDIAGONAL, 1, -1}}) {
        CImageDC dc(40, 40);
        dc.FillRect(CRect(0, 0, 40, 40), CBrush::Hatched(c.hatch, kBlack));
        const QImage& img = dc.Image();
        int ink = 0;
        for (int y = 8; y < 32; ++y) {
            for (int x = 8; x < 32; ++x) {
                if (IsInk(img, x, y)) {
                    ++ink;
                    ASSERT_TRUE(IsInk(img, x + c.dx, y + c.dy)) << c.hatch;
                }
            }
        }
        EXPECT_GT(ink, 24) << c.hatch;
        EXPECT_LT(ink, 24 * 24 / 2) << c.hatch;
    }
    // Cross hatches carry both lines; an opaque background fills the rest.
    CImageDC cross(40, 40);
    cross.SetBkMode(OPAQUE);
    cross.SetBkColor(kRed);
    cross.FillRect(CRect(0, 0, 40, 40), CBrush::Hatched(HS_CROSS, kBlack));
    EXPECT_EQ(CountInk(cross.Image()), 40 * 40);
}

// --- text ----------------------------------------------------------------------------

TEST_F(DCTest, TextIsPlacedByTheTopOfItsCell)
{
    CImageDC dc(300, 200);
    dc.SelectFont(Font("Liberation Sans", -100)); // an em of 100 pixels
    const CTextMetrics tm = dc.GetTextMetrics();
    const int y = 40;
    dc.TextOut(20, y, "H");
    const QRect dark = DarkBounds(dc.Image());
    ASSERT_FALSE(dark.isEmpty());
    EXPECT_GT(dark.top(), y + tm.tmInternalLeading);
    // The H stands on the baseline, ascent below the cell top.
    EXPECT_LE(dark.bottom(), y + tm.tmAscent);
    EXPECT_GE(dark.bottom(), y + tm.tmAscent - 2);
    // Its cap height is about 0.69 em.
    EXPECT_NEAR(dark.height(), 69, 2);
    EXPECT_GE(dark.left(), 20);
}

TEST_F(DCTest, TextAlignmentMovesTheReferencePoint)
{
    const int x = 150, y = 100;
    struct Case
    {
        unsigned align;
        // Expected ink bounds, from the cell and the extent.
        bool inkLeftOfX, inkRightOfX, baselineAtY, descentAboveY;
    };
    for (const Case& c : {Case{TA_LEFT | TA_TOP, false, true, false, false},
                          Case{TA_RIGHT | TA_TOP, true, false, false, false},
                          Case{TA_CENTER | TA_BASELINE, true, true, true, false},
                          Case{TA_LEFT | TA_BOTTOM, false, true, false, true}}) {
        CImageDC dc(300, 200);
        dc.SelectFont(Font("Liberation Sans", -50));
        dc.SetTextAlign(c.align);
        const CTextMetrics tm = dc.GetTextMetrics();
        const int width = dc.GetTextExtent("HHH").cx;
        dc.TextOut(x, y, "HHH");
        const QRect ink = DarkBounds(dc.Image());
        ASSERT_FALSE(ink.isEmpty()) << c.align;
        if (c.inkLeftOfX && c.inkRightOfX) {
            EXPECT_NEAR((ink.left() + ink.right()) / 2.0, x, 2) << c.align;
        } else if (c.inkLeftOfX) {
            EXPECT_LT(ink.right(), x) << c.align;
            EXPECT_GE(ink.left(), x - width) << c.align;
        } else {
            EXPECT_GE(ink.left(), x) << c.align;
            EXPECT_LT(ink.right(), x + width) << c.align;
        }
        if (c.baselineAtY)
            EXPECT_NEAR(ink.bottom(), y - 1, 1) << c.align;
        else if (c.descentAboveY)
            EXPECT_NEAR(ink.bottom(), y - 1 - tm.tmDescent, 1) << c.align;
        else
            EXPECT_NEAR(ink.bottom(), y - 1 + tm.tmAscent, 1) << c.align;
    }
}

TEST_F(DCTest, OpaqueTextFillsExactlyItsCell)
{
    CImageDC dc(300, 200);
    dc.SetTenthsMmMapping(254, 254); // one logical unit per pixel
    dc.SelectFont(Font("Arial", -60));
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(kRed);
    const CSize extent = dc.GetTextExtent("Tabrel");
    dc.TextOut(30, 50, "Tabrel");
    const QRect cell = Bounds(dc.Image(), [](const QImage& img, int x, int y) {
        return img.pixel(x, y) == qRgb(255, 0, 0);
    });
    EXPECT_NEAR(cell.left(), 30, 1);
    EXPECT_NEAR(cell.top(), 50, 1);
    EXPECT_NEAR(cell.width(), extent.cx, 1);
    EXPECT_NEAR(cell.height(), extent.cy, 1);
    EXPECT_EQ(extent.cy, dc.GetTextMetrics().tmHeight);
}

TEST_F(DCTest, EscapementTurnsTextCounterClockwise)
{
    const int x = 100, y = 250;
    CImageDC flat(300, 300);
    flat.SelectFont(Font("Liberation Sans", -40));
    flat.TextOut(x, y, "HHHHH");
    const QRect along = DarkBounds(flat.Image());
    EXPECT_GT(along.width(), 2 * along.height());

    CImageDC dc(300, 300);
    LogFontFields up = Font("Liberation Sans", -40);
    up.lfEscapement = 900;
    dc.SelectFont(up);
    dc.TextOut(x, y, "HHHHH");
    const QRect ink = DarkBounds(dc.Image());
    // Reading upward from the reference point, the cell to its right.
    EXPECT_GT(ink.height(), 2 * ink.width());
    EXPECT_LE(ink.bottom(), y);
    EXPECT_GE(ink.top(), y - dc.GetTextExtent("HHHHH").cx - 1);
    EXPECT_GE(ink.left(), x);
    EXPECT_LE(ink.right(), x + dc.GetTextMetrics().tmAscent);
    EXPECT_NEAR(ink.height(), along.width(), 2);
}

// A font asking for characters a thousand times wider than high stretched
// the glyph outlines beyond what the rasterizer takes, and drawing crashed:
// the width is kept within a few heights, and the text is drawn.
TEST_F(DCTest, AFontWiderThanAFewHeightsIsNarrowedAndDrawn)
{
    for (int height : {1, -1, 0, 40}) {
        SCOPED_TRACE(height);
        CImageDC dc(200, 200, 600, 600);
        dc.SetTenthsMmMapping();
        LogFontFields lf = Font("Liberation Sans", height);
        lf.lfWidth = 1000;
        dc.SelectFont(lf);
        const LONG em = height == 0 ? 42 : std::abs(height); // 12 points when none is given
        EXPECT_LE(dc.GetTextMetrics().tmAveCharWidth, 8 * em + 1);
        dc.TextOut(0, 0, "Wide");
        lf.lfWidth = -1000;
        dc.SelectFont(lf);
        dc.TextOut(0, 50, "Wide");
    }
}

TEST_F(DCTest, FontHeightIsTheCellAboveZeroAndTheEmBelow)
{
    // Liberation Sans has the Windows ascent and descent of Arial: 1854 and
    // 434 font units to an em of 2048.
    CDC dc;
    dc.SelectFont(Font("Arial", -2048));
    CTextMetrics tm = dc.GetTextMetrics();
    EXPECT_EQ(tm.tmAscent, 1854);
    EXPECT_EQ(tm.tmDescent, 434);
    EXPECT_EQ(tm.tmInternalLeading, 2288 - 2048);
    EXPECT_EQ(dc.GetTextFace(), "Liberation Sans");

    struct Case
    {
        const char* face;
        const char* resolved;
    };
    for (const Case& c :
         {Case{"Arial", "Liberation Sans"}, Case{"Times New Roman", "Liberation Serif"},
          Case{"courier new", "Liberation Mono"}}) {
        for (const int height : {12, 100, 357}) {
            dc.SelectFont(Font(c.face, height));
            EXPECT_EQ(dc.GetTextFace(), c.resolved);
            tm = dc.GetTextMetrics();
            EXPECT_NEAR(tm.tmHeight, height, 1) << c.face << " " << height;
            EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
            EXPECT_GT(tm.tmInternalLeading, 0) << c.face << " " << height;

            dc.SelectFont(Font(c.face, -height));
            tm = dc.GetTextMetrics();
            EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, height, 1) << c.face << " " << -height;
            EXPECT_GT(tm.tmHeight, height);
        }
    }
}

TEST_F(DCTest, TextMeasuresTheSameOnEveryDevice)
{
    // Unhinted design advances without kerning: H 1479, A 1366, V 1366,
    // i 455 font units.
    CDC units;
    units.SelectFont(Font("Liberation Sans", -2048));
    EXPECT_EQ(units.GetTextExtent("HAVi").cx, 1479 + 1366 + 1366 + 455);

    int widths[3] = {};
    const double resolutions[] = {101.6, 300, 600};
    for (int i = 0; i < 3; ++i) {
        CImageDC dc(10, 10, resolutions[i], resolutions[i]);
        dc.SetTenthsMmMapping();
        dc.SelectFont(Font("Times New Roman", -47));
        widths[i] = dc.GetTextExtent("The quick brown fox, 1234").cx;
    }
    EXPECT_EQ(widths[0], widths[1]);
    EXPECT_EQ(widths[0], widths[2]);

    // What is drawn matches what is measured, at a resolution where a pixel
    // is less than a unit and at one where it is more.
    for (const double dpi : {101.6, 600.0}) {
        CImageDC dc(2000, 300, dpi, dpi);
        dc.SetTenthsMmMapping();
        dc.SelectFont(Font("Liberation Sans", -100));
        const int width = dc.GetTextExtent("HIH").cx;
        dc.TextOut(0, 0, "HIH");
        const QRect ink = DarkBounds(dc.Image());
        const CRect logicalInk =
            dc.DPtoLP(CRect(ink.left(), ink.top(), ink.right() + 1, ink.bottom() + 1));
        // H has side bearings of about 0.08 em.
        EXPECT_NEAR(logicalInk.left, 8, 3) << dpi;
        EXPECT_NEAR(logicalInk.right, width - 8, 3) << dpi;
    }
}

TEST_F(DCTest, AdvanceArrayPlacesEachCharacter)
{
    CImageDC dc(400, 100);
    dc.SelectFont(Font("Liberation Sans", -60));
    const int dx[] = {100, 100};
    dc.ExtTextOut(10, 10, 0, nullptr, "III", dx);
    // Three strokes starting 100 pixels apart.
    std::vector<int> starts;
    const QImage& img = dc.Image();
    for (int x = 0; x < img.width(); ++x) {
        bool dark = false;
        for (int y = 0; y < img.height() && !dark; ++y)
            dark = IsDark(img, x, y);
        const bool before = x > 0 && [&] {
            for (int y = 0; y < img.height(); ++y) {
                if (IsDark(img, x - 1, y))
                    return true;
            }
            return false;
        }();
        if (dark && !before)
            starts.push_back(x);
    }
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[1] - starts[0], 100);
    EXPECT_EQ(starts[2] - starts[1], 100);

    // Clipped to a rectangle that holds only the first character.
    CImageDC clipped(400, 100);
    clipped.SelectFont(Font("Liberation Sans", -60));
    const CRect box(0, 0, 60, 100);
    clipped.ExtTextOut(10, 10, ETO_CLIPPED, &box, "III", dx);
    EXPECT_LT(InkBounds(clipped.Image()).right(), 60);
    EXPECT_GT(CountInk(clipped.Image()), 0);
}

TEST_F(DCTest, UpdateCurrentPositionStringsTextTogether)
{
    CImageDC dc(400, 100);
    dc.SelectFont(Font("Liberation Sans", -30));
    dc.SetTextAlign(TA_UPDATECP);
    dc.MoveTo(10, 20);
    dc.TextOut(0, 0, "Tab");
    EXPECT_NEAR(dc.GetCurrentPosition().x, 10 + dc.GetTextExtent("Tab").cx, 1);
    EXPECT_EQ(dc.GetCurrentPosition().y, 20);
    dc.TextOut(0, 0, "rel");

    CImageDC once(400, 100);
    once.SelectFont(Font("Liberation Sans", -30));
    once.TextOut(10, 20, "Tabrel");
    EXPECT_EQ(DarkBounds(dc.Image()), DarkBounds(once.Image()));
}

TEST_F(DCTest, UnderlineAndStrikeOutRunTheLengthOfTheText)
{
    // Rows dark across at least nine tenths of the advance of "mmmm", as
    // offsets from the baseline (0 is the first row below it).
    const int em = 50;
    const auto fullRows = [](const LogFontFields& lf) {
        CImageDC dc(400, 120);
        dc.SelectFont(lf);
        const int x = 20, y = 10;
        dc.TextOut(x, y, "mmmm");
        const int width = dc.GetTextExtent("mmmm").cx;
        const int baseline = y + dc.GetTextMetrics().tmAscent;
        std::vector<int> rows;
        for (int row = 0; row < dc.Image().height(); ++row) {
            int dark = 0;
            for (int col = x; col < x + width; ++col)
                dark += IsDark(dc.Image(), col, row) ? 1 : 0;
            if (dark * 10 >= width * 9)
                rows.push_back(row - baseline);
        }
        return rows;
    };
    for (const char* face : {"Liberation Sans", "Times New Roman"}) {
        LogFontFields lf = Font(face, -em);
        EXPECT_TRUE(fullRows(lf).empty()) << face;

        lf.lfUnderline = 1;
        const std::vector<int> under = fullRows(lf);
        ASSERT_FALSE(under.empty()) << face;
        EXPECT_GE(under.front(), 0) << face;
        EXPECT_LT(under.back(), em / 5) << face;

        lf.lfUnderline = 0;
        lf.lfStrikeOut = 1;
        const std::vector<int> through = fullRows(lf);
        ASSERT_FALSE(through.empty()) << face;
        EXPECT_GT(through.front(), -em / 2) << face; // within the x-height
        EXPECT_LT(through.back(), 0) << face;
    }

    // Bold strokes carry clearly more ink.
    const auto inkOf = [](const LogFontFields& lf) {
        CImageDC dc(300, 100);
        dc.SelectFont(lf);
        dc.TextOut(10, 10, "Tabrel");
        return CountInk(dc.Image());
    };
    LogFontFields lf = Font("Liberation Sans", -em);
    const int regular = inkOf(lf);
    lf.lfWeight = 700;
    EXPECT_GT(inkOf(lf), regular * 5 / 4);
}

// --- clipping and saved state -------------------------------------------------------------

TEST_F(DCTest, ClippingKeepsDrawingInside)
{
    CImageDC dc(40, 40);
    dc.IntersectClipRect(CRect(10, 10, 30, 30));
    dc.IntersectClipRect(CRect(0, 15, 40, 40));
    dc.FillSolidRect(CRect(0, 0, 40, 40), kBlack);
    EXPECT_EQ(InkBounds(dc.Image()), Pixels(10, 15, 30, 30));
    EXPECT_EQ(dc.GetClipBox(), CRect(10, 15, 30, 30));
    EXPECT_FALSE(dc.RectVisible(CRect(0, 0, 10, 40)));
    EXPECT_TRUE(dc.RectVisible(CRect(0, 0, 11, 16)));

    CImageDC holed(40, 40);
    holed.ExcludeClipRect(CRect(10, 10, 20, 20));
    holed.FillSolidRect(CRect(0, 0, 40, 40), kBlack);
    EXPECT_TRUE(IsWhite(holed.Image(), 10, 10));
    EXPECT_TRUE(IsWhite(holed.Image(), 19, 19));
    EXPECT_TRUE(IsInk(holed.Image(), 20, 20));
    holed.SelectClipNone();
    holed.FillSolidRect(CRect(0, 0, 40, 40), kBlack);
    EXPECT_EQ(CountInk(holed.Image()), 40 * 40);

    // Clip rectangles are logical.
    CImageDC scaled(40, 40);
    scaled.SetViewportExt(2, 2);
    scaled.SelectClipRect(CRect(5, 5, 10, 10));
    scaled.FillSolidRect(CRect(0, 0, 20, 20), kBlack);
    EXPECT_EQ(InkBounds(scaled.Image()), Pixels(10, 10, 20, 20));
}

TEST_F(DCTest, RestoreDCBringsBackPenBrushClipAndMapping)
{
    CImageDC dc(40, 40);
    const CPen pen0 = dc.GetCurrentPen();
    const CBrush brush0 = dc.GetCurrentBrush();
    const int level = dc.SaveDC();
    EXPECT_EQ(level, 1);
    dc.SelectPen(CPen(PS_DASH, 3, kRed));
    dc.SelectBrush(CBrush::Hatched(HS_CROSS, kBlue));
    dc.IntersectClipRect(CRect(0, 0, 5, 5));
    dc.SetViewportOrg(7, 7);
    dc.SetTextColor(kRed);
    EXPECT_EQ(dc.SaveDC(), 2);
    dc.SelectPen(CPen::Null());
    EXPECT_TRUE(dc.RestoreDC(-1));
    EXPECT_EQ(dc.GetCurrentPen(), CPen(PS_DASH, 3, kRed));

    EXPECT_TRUE(dc.RestoreDC(level));
    EXPECT_EQ(dc.GetCurrentPen(), pen0);
    EXPECT_EQ(dc.GetCurrentBrush(), brush0);
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(0, 0));
    EXPECT_EQ(dc.GetTextColor(), kBlack);
    EXPECT_FALSE(dc.HasClip());
    EXPECT_FALSE(dc.RestoreDC(1)); // already gone
    EXPECT_FALSE(dc.RestoreDC(-1));
    dc.FillSolidRect(CRect(0, 0, 40, 40), kBlack);
    EXPECT_EQ(CountInk(dc.Image()), 40 * 40);
}

// Whoever draws on the painter itself may narrow its clip (the design view's
// printable part does): restoring the saved state still brings the saved
// clip back, even where it is the very clip the device context last set.
TEST_F(DCTest, RestoreDCUndoesAClipSetOnThePainterItself)
{
    CImageDC dc(40, 40);
    dc.IntersectClipRect(CRect(0, 0, 40, 40));
    const int saved = dc.SaveDC();
    dc.IntersectClipRect(CRect(0, 0, 40, 40));
    dc.GetPainter()->setClipRegion(QRegion(0, 0, 10, 10), Qt::IntersectClip);
    dc.FillSolidRect(CRect(0, 0, 40, 40), kBlack);
    EXPECT_EQ(CountInk(dc.Image()), 10 * 10);
    EXPECT_TRUE(dc.RestoreDC(saved));
    dc.FillSolidRect(CRect(0, 0, 40, 40), kBlack);
    EXPECT_EQ(CountInk(dc.Image()), 40 * 40);
}

TEST_F(DCTest, LeavesThePainterAsItFoundIt)
{
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::green, 5));
    painter.setClipRect(QRect(0, 0, 20, 40));
    {
        CDC dc(&painter);
        EXPECT_FALSE(dc.IsPrinting());
        dc.SelectPen(CPen(PS_SOLID, 0, kRed));
        dc.SelectClipRect(CRect(0, 0, 40, 10));
        dc.FillSolidRect(CRect(0, 0, 40, 40), kBlack);
    }
    // The painter's own clip held throughout.
    EXPECT_EQ(InkBounds(image), Pixels(0, 0, 20, 10));
    EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
    EXPECT_EQ(painter.pen().width(), 5);
    EXPECT_EQ(painter.clipRegion(), QRegion(0, 0, 20, 40));
}

// --- pictures and inversion -------------------------------------------------------------

TEST_F(DCTest, ImagesStretchOverTheirRectangle)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(0, 1, qRgb(0, 0, 255));
    picture.setPixel(1, 1, qRgb(0, 0, 0));

    CImageDC dc(40, 40);
    dc.DrawImage(picture, CRect(10, 10, 30, 30));
    const QImage& img = dc.Image();
    EXPECT_EQ(InkBounds(img), Pixels(10, 10, 30, 30));
    EXPECT_EQ(img.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(19, 19), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(20, 10), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(10, 20), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(29, 29), qRgb(0, 0, 0));

    // A mapping with y up turns the picture over.
    CImageDC up(40, 40);
    up.SetViewportExt(1, -1);
    up.SetViewportOrg(0, 40);
    up.DrawImage(picture, CRect(10, 10, 30, 30));
    EXPECT_EQ(InkBounds(up.Image()), Pixels(10, 10, 30, 30));
    EXPECT_EQ(up.Image().pixel(10, 29), qRgb(255, 0, 0));
    EXPECT_EQ(up.Image().pixel(10, 10), qRgb(0, 0, 255));
}

TEST_F(DCTest, FocusRectAndInversionUndoThemselves)
{
    CImageDC dc(40, 40);
    dc.FillSolidRect(CRect(5, 5, 25, 25), kBlue);
    const QImage before = dc.Image().copy();
    dc.DrawFocusRect(CRect(10, 10, 31, 20));
    EXPECT_NE(dc.Image(), before);
    EXPECT_EQ(dc.Image().pixel(20, 15), qRgb(0, 0, 255)); // inside untouched
    EXPECT_TRUE(IsInk(dc.Image(), 30, 10));
    EXPECT_TRUE(IsWhite(dc.Image(), 30, 11));
    dc.DrawFocusRect(CRect(10, 10, 31, 20));
    EXPECT_EQ(dc.Image(), before);

    dc.InvertRect(CRect(0, 0, 10, 10));
    EXPECT_EQ(dc.Image().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(dc.Image().pixel(5, 5), qRgb(255, 255, 0));
    dc.InvertRect(CRect(0, 0, 10, 10));
    EXPECT_EQ(dc.Image(), before);
}

} // namespace

// The faces the programs name for barcode texts and bullets draw with a real
// face of their kind: OCR-B for "Tabrel OCRB", the face the programs carry
// for "Tabrel bullets", where the quotation mark's code draws a round bullet.
TEST_F(DCTest, TheProgramsOwnFaceNamesDrawWithTheirFaces)
{
    struct Case
    {
        const char* requested;
        const char* drawnWith;
    };
    const Case cases[] = {{"Tabrel OCRB", "OCR B"}, {"Tabrel bullets", "Tabrel bullets"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        CImageDC dc(100, 100);
        dc.SetTenthsMmMapping(254, 254);
        dc.SelectFont(Font(QString::fromLatin1(c.requested), -60));
        EXPECT_EQ(dc.GetTextFace(), QString::fromLatin1(c.drawnWith));
    }

    // OCR-B's plain style, neither outlined nor inverted: half way up, an
    // "I" is one solid upright stroke.
    {
        CImageDC dc(400, 400);
        dc.SetTenthsMmMapping(254, 254);
        dc.SelectFont(Font(QStringLiteral("Tabrel OCRB"), -300));
        dc.TextOut(20, 20, QStringLiteral("I"));
        const QImage& image = dc.Image();
        const QRect letter = DarkBounds(image);
        ASSERT_FALSE(letter.isEmpty());
        EXPECT_LT(letter.width(), letter.height());
        const int y = letter.center().y();
        QRect stem;
        for (int x = 0; x < image.width(); ++x) {
            if (IsDark(image, x, y))
                stem |= QRect(x, y, 1, 1);
        }
        EXPECT_TRUE(IsDark(image, stem.center().x(), y));
        int dark = 0;
        for (int x = stem.left(); x <= stem.right(); ++x)
            dark += IsDark(image, x, y) ? 1 : 0;
        EXPECT_EQ(dark, stem.width()) << "a hollow stem";
        EXPECT_LT(stem.width() * 3, letter.height());
    }

    // Drawn large, the bullet is one round blot: as wide as it is high,
    // filled at its middle, and covering about as much of its square as a
    // disc does (a quotation mark is two ticks with a gap between them).
    CImageDC dc(400, 400);
    dc.SetTenthsMmMapping(254, 254);
    dc.SelectFont(Font(QStringLiteral("Tabrel bullets"), -300));
    dc.TextOut(20, 20, QStringLiteral("\""));
    const QImage& image = dc.Image();
    const QRect blot = DarkBounds(image);
    ASSERT_FALSE(blot.isEmpty());
    EXPECT_NEAR(double(blot.width()) / blot.height(), 1.0, 0.05);
    EXPECT_TRUE(IsDark(image, blot.center().x(), blot.center().y()));
    int dark = 0;
    for (int y = blot.top(); y <= blot.bottom(); ++y) {
        for (int x = blot.left(); x <= blot.right(); ++x)
            dark += IsDark(image, x, y) ? 1 : 0;
    }
    EXPECT_NEAR(double(dark) / (blot.width() * blot.height()), std::numbers::pi / 4, 0.04);
}
