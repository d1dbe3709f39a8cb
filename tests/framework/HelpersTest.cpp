#include "Helpers.h"
#include "Seams.h"

#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(HtmlEscapeTest, EntitiesAndLineBreakRuns)
{
    struct Case
    {
        QString in;
        QString out;
    };
    const Case cases[] = {
        {"plain text", "plain text"},
        {"a < b & \"c\" > d", "a &lt; b &amp; &quot;c&quot; &gt; d"},
        {"one\r\n\r\ntwo", "one<br>two"},
        {"one\ntwo\rthree", "one<br>two<br>three"},
        {"one\n\r\r\ntwo", "one<br>two"},
        {"\r\nlead and trail\n", "<br>lead and trail<br>"},
        {"tab\tand\vform\ffeed stay", "tab\tand\vform\ffeed stay"},
        {"&amp;", "&amp;amp;"},
        {QString(), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlEscape(c.in), c.out) << c.in.toStdString();
}

TEST(ColourToHtmlTest, RedGreenBlueOrderUpperCase)
{
    EXPECT_EQ(ColourToHtml(MakeRGB(255, 0, 0)), "#FF0000");
    EXPECT_EQ(ColourToHtml(MakeRGB(0, 0, 255)), "#0000FF");
    EXPECT_EQ(ColourToHtml(MakeRGB(0x0A, 0xBC, 0x03)), "#0ABC03");
    EXPECT_EQ(ColourToHtml(0), "#000000");
}

TEST(LineBreakTest, Expand)
{
    EXPECT_EQ(ExpandLineBreaks("a\nb"), "a\r\nb");
    // A CR is put before every LF, even one that already has one.
    EXPECT_EQ(ExpandLineBreaks("a\r\nb\n"), "a\r\r\nb\r\n");
    EXPECT_EQ(ExpandLineBreaks("no breaks"), "no breaks");
}

TEST(LineBreakTest, Normalize)
{
    struct Case
    {
        QString in;
        QString out;
    };
    const Case cases[] = {
        {"a\r\n\r\nb", "a\n\nb"},
        {"a\r\nb", "a\nb"},
        {"a\n\rb", "a\nb"},
        {"a\rb", "a\nb"},
        {"a\vb\fc", "a\nb\nc"},
        // The character after a break is dropped when it is a break too.
        {"a\n\nb", "a\nb"},
        {"a\n\n\nb", "a\n\nb"},
        {"\r\n", "\n"},
        {"plain", "plain"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormalizeLineBreaks(c.in), c.out) << c.in.toStdString();
}

TEST(UnitsTest, MmToInchesTruncatesTowardZero)
{
    const std::pair<double, double> cases[] = {
        {25.4, 1.00}, {1.0, 0.04}, {-1.0, -0.03}, {0.0, 0.0}, {254.0, 10.0}, {12.7, 0.50},
    };
    for (const auto& [mm, inches] : cases) {
        double v = mm;
        MmToInches(v);
        EXPECT_NEAR(v, inches, 1e-9) << mm;
    }
}

TEST(UnitsTest, InchesToMm)
{
    const std::pair<double, double> cases[] = {
        {1.0, 25.4}, {0.01, 0.3}, {0.0, 0.0}, {0.5, 12.7}, {-1.0, -25.3},
    };
    for (const auto& [inches, mm] : cases) {
        double v = inches;
        InchesToMm(v);
        EXPECT_NEAR(v, mm, 1e-9) << inches;
    }
}

TEST(UnitsTest, StoredLengthSurvivesInchRoundTrip)
{
    // A length typed in inches and shown again must come back the same.
    for (double inches : {0.25, 1.0, 2.5, 3.75, 11.69}) {
        double v = inches;
        InchesToMm(v);
        MmToInches(v);
        EXPECT_NEAR(v, inches, 0.0051) << inches;
    }
}

TEST(RotateTest, PointByWholeDegrees)
{
    struct Case
    {
        CPoint in;
        int cx, cy, degrees;
        CPoint out;
    };
    const Case cases[] = {
        {{10, 0}, 0, 0, 90, {0, 10}},
        {{10, 0}, 0, 0, 180, {-10, 0}},
        {{10, 0}, 0, 0, 270, {0, -10}},
        {{10, 0}, 0, 0, -90, {0, -10}},
        {{10, 0}, 0, 0, 0, {10, 0}},
        {{10, 0}, 0, 0, 360, {10, 0}},
        {{110, 50}, 100, 50, 90, {100, 60}},
        {{100, 50}, 100, 50, 37, {100, 50}},
        // Offsets of -2.83: half away from zero gives -3, not -2.
        {{0, 4}, 0, 0, 45, {-3, 3}},
        {{-17, -5}, 3, 2, 180, {23, 9}},
    };
    for (const Case& c : cases) {
        CPoint p = c.in;
        RotatePoint(p, c.cx, c.cy, c.degrees);
        EXPECT_EQ(p, c.out) << c.in.x << "," << c.in.y << " by " << c.degrees;
    }
}

TEST(RotateTest, QuarterTurnsDoNotCreep)
{
    CPoint p(137, -59);
    for (int i = 0; i < 40; ++i)
        RotatePoint(p, 20, 30, 90);
    EXPECT_EQ(p, CPoint(137, -59));
    for (int i = 0; i < 12; ++i)
        RotatePoint(p, 20, 30, 270);
    EXPECT_EQ(p, CPoint(137, -59));
}

TEST(RotateTest, PointByRadians)
{
    CPoint p(10, 0);
    RotatePointRadians(p, 0, 0, -1.5707963267948966);
    EXPECT_EQ(p, CPoint(0, -10));
    p = CPoint(0, 20);
    RotatePointRadians(p, 0, 10, 3.141592653589793);
    EXPECT_EQ(p, CPoint(0, 0));
}

TEST(RotateTest, RectCorners)
{
    struct Case
    {
        int degrees;
        CPoint corners[4];
    };
    // Rectangle (100, 200) to (110, 220): w = 10, h = 20.
    const Case cases[] = {
        {0, {{100, 200}, {110, 200}, {110, 220}, {100, 220}}},
        {90, {{100, 200}, {100, 210}, {80, 210}, {80, 200}}},
        {45, {{100, 200}, {107, 207}, {93, 221}, {86, 214}}},
        // 200 degrees is taken as -160: w c = -9.40, w s = -3.42,
        // h s = -6.84, h c = -18.79, all rounded away from zero.
        {200, {{100, 200}, {91, 197}, {98, 178}, {107, 181}}},
        {270, {{100, 200}, {100, 190}, {120, 190}, {120, 200}}},
    };
    for (const Case& c : cases) {
        CPoint out[4];
        RotateRectCorners(100, 200, 110, 220, out, c.degrees);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(out[i], c.corners[i]) << c.degrees << " degrees, corner " << i;
    }
}

// A view at 4 pixels per unit whose origin sits at device (7, -3).
class FakeView : public CViewSeam
{
public:
    CPoint LPtoDP(CPoint p) const override { return {p.x * 4 + 7, p.y * 4 - 3}; }
    CPoint DPtoLP(CPoint p) const override { return {(p.x - 7) / 4, (p.y + 3) / 4}; }
    CSize LPtoDPSize(CSize s) const override { return {s.cx * 4, s.cy * 4}; }
    CSize DPtoLPSize(CSize s) const override { return {s.cx / 4, s.cy / 4}; }
    void InvalidateRect(const CRect&, bool) override {}
};

TEST(ViewCoordinatesTest, ThroughTheView)
{
    FakeView view;
    EXPECT_EQ(WindowLPtoDP(&view, {10, 20}), CPoint(47, 77));
    EXPECT_EQ(WindowDPtoLP(&view, {47, 77}), CPoint(10, 20));
    EXPECT_EQ(WindowLPtoDPSize(&view, {10, 20}), CSize(40, 80));
    EXPECT_EQ(WindowDPtoLPSize(&view, {40, 80}), CSize(10, 20));
    EXPECT_EQ(WindowLPtoDPRect(&view, {10, 20}, {15, 30}), CRect(46, 76, 69, 119));
}

TEST(ViewCoordinatesTest, NullViewLeavesValues)
{
    EXPECT_EQ(WindowLPtoDP(nullptr, {10, 20}), CPoint(10, 20));
    EXPECT_EQ(WindowDPtoLP(nullptr, {-10, 20}), CPoint(-10, 20));
    EXPECT_EQ(WindowLPtoDPSize(nullptr, {10, 20}), CSize(10, 20));
    EXPECT_EQ(WindowDPtoLPSize(nullptr, {10, 20}), CSize(10, 20));
    EXPECT_EQ(WindowLPtoDPRect(nullptr, {10, 20}, {15, 30}), CRect(10, 20, 15, 30));
}

TEST(LocaleStringTest, ItemsOfTheSystemLocale)
{
    const QLocale locale = QLocale::system();
    EXPECT_EQ(GetLocaleString(LOCALE_SDECIMAL), locale.decimalPoint());
    EXPECT_FALSE(GetLocaleString(LOCALE_SMONDECIMALSEP).isEmpty());
    EXPECT_EQ(GetLocaleString(LOCALE_SCURRENCY), locale.currencySymbol());
    const QString placement = GetLocaleString(LOCALE_ICURRENCY);
    if (!locale.currencySymbol().isEmpty()) {
        ASSERT_EQ(placement.size(), 1);
        EXPECT_TRUE(placement[0] >= u'0' && placement[0] <= u'3');
    }
    EXPECT_FALSE(GetLocaleString(LOCALE_SSHORTDATE).isEmpty());
    EXPECT_FALSE(GetLocaleString(LOCALE_STIMEFORMAT).isEmpty());
    EXPECT_TRUE(GetLocaleString(9999).isEmpty());
}

TEST(LocaleStringTest, MonetarySeparatorsComeFromTheMonetaryLocale)
{
    GetLocaleString(LOCALE_SMONDECIMALSEP); // the user's monetary locale is taken once
    const std::string saved = std::setlocale(LC_MONETARY, nullptr);
    struct Case
    {
        const char* locale;
        const char* decimal;
        const char* thousands;
    };
    // The C and POSIX locales have no monetary decimal point; "." stands in.
    const Case cases[] = {{"C", ".", ""}, {"POSIX", ".", ""}};
    for (const Case& c : cases) {
        ASSERT_NE(std::setlocale(LC_MONETARY, c.locale), nullptr) << c.locale;
        EXPECT_EQ(GetLocaleString(LOCALE_SMONDECIMALSEP), c.decimal) << c.locale;
        EXPECT_EQ(GetLocaleString(LOCALE_SMONTHOUSANDSEP), c.thousands) << c.locale;
    }
    std::setlocale(LC_MONETARY, saved.c_str());
    // Whatever the user's locale is, the items are its monetary ones.
    const std::lconv* conv = std::localeconv();
    const QString decimal = QString::fromLocal8Bit(conv->mon_decimal_point);
    EXPECT_EQ(GetLocaleString(LOCALE_SMONDECIMALSEP), decimal.isEmpty() ? "." : decimal);
    EXPECT_EQ(GetLocaleString(LOCALE_SMONTHOUSANDSEP),
              QString::fromLocal8Bit(conv->mon_thousands_sep));
}

} // namespace
