#include "PriceField.h"

#include "AppContext.h"
#include "Archive.h"
#include "DC.h"
#include "Damage.h"
#include "ElementList.h"
#include "Growth.h"
#include "Helpers.h"
#include "MessageBox.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PriceFormatList.h"
#include "PriceSample.h"
#include "Printer.h"
#include "SignData.h"
#include "TestSupport.h"
#include "TextExport.h"
#include "UndoHistory.h"
#include "VariableParts.h"

#include <QImage>
#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <random>
#include <string>

namespace {

using P = CPriceFormat;

class PriceFieldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        RegisterPriceElement();
    }

    // A format with the given symbol texts; ratios 1 and baseline unless
    // changed afterwards.
    CPriceFormat* AddFormat(const QString& name, const QString& symbol,
                            const QString& separator = ".", const QString& secondary = QString())
    {
        CPriceFormat f;
        f.m_name = name;
        f.SetPartText(P::PART_PRIMARY_SYMBOL, symbol);
        f.SetPartText(P::PART_DECIMAL_SEPARATOR, separator);
        f.SetPartText(P::PART_SECONDARY_SYMBOL, secondary);
        for (int i = 0; i < P::PART_COUNT; ++i)
            f.SetPartAlignment(i, P::ALIGN_BASELINE);
        return ThePriceFormatList().AddFormat(f);
    }

    // A price in 20 mm Arial (Liberation Sans) at (1000, 1000).
    std::unique_ptr<CPriceField> MakePrice(const CPriceFormat* format, const QString& value)
    {
        auto price = std::make_unique<CPriceField>();
        LogFontFields lf = CLogFont::DefaultLogFont();
        lf.lfHeight = 200;
        price->SetFont(nullptr, CLogFont(lf));
        price->SetFormat(nullptr, format);
        price->BeginCreate(nullptr, 1000, 1000);
        price->SetSampleData(nullptr, value);
        return price;
    }

    static QStringList Texts(const CPriceField& price)
    {
        QStringList texts;
        for (int i = 0; i < CPriceField::kPartCount; ++i)
            texts << price.Part(i).GetText();
        return texts;
    }

    CAppContext context;
    CMessageResponder messages;
};

// --- splitting ---------------------------------------------------------------

TEST_F(PriceFieldTest, SplitPriceTakesUnitsAndTwoHundredthsDigits)
{
    // The system's monetary point: "." in the C locale.
    const std::string savedLocale = std::setlocale(LC_MONETARY, nullptr);
    std::setlocale(LC_MONETARY, "C");
    struct Case
    {
        const char* text;
        const char* separator;
        const char* units;
        const char* hundredths;
    };
    const Case cases[] = {
        {"12.5", ".", "12", "50"},       // one digit gets a 0 after it
        {"1,234.99", ".", "1234", "99"}, // other characters are dropped
        {"7", ".", "7", ""},
        {"12.345", ".", "12", "34"}, // only two hundredths digits
        {"12,34", ",", "12", "34"},
        {"$ 3.99 each", ".", "3", "99"},
        {"12.34", "", "12", "34"},  // no format separator: the system's
        {"12.34", ",", "12", "34"}, // not found: the system's
        {"12,34", ";", "1234", ""}, // neither found: all units
        {"abc", ".", "", ""},
        {".5", ".", "", "50"},
        {"3.a7b8c9", ".", "3", "78"},
        {"10 EUR 20", "EUR", "10", "20"}, // a separator of several characters
    };
    for (const Case& c : cases) {
        QString units = "junk";
        QString hundredths = "junk";
        CPriceField::SplitPrice(c.text, c.separator, units, hundredths);
        EXPECT_EQ(units, c.units) << c.text << " / " << c.separator;
        EXPECT_EQ(hundredths, c.hundredths) << c.text << " / " << c.separator;
    }
    // A number far longer than any price keeps a bounded number of digits.
    QString units;
    QString hundredths;
    CPriceField::SplitPrice(QString(100000, u'9') + ".5", ".", units, hundredths);
    EXPECT_EQ(units.size(), CPriceField::kMaxUnitsDigits);
    EXPECT_EQ(hundredths, "50");
    std::setlocale(LC_MONETARY, savedLocale.c_str());
}

// --- the parts shown ---------------------------------------------------------

TEST_F(PriceFieldTest, PartsShownFollowTheFormat)
{
    struct Case
    {
        const char* what;
        const char* value;
        std::function<void(CPriceFormat&)> change;
        QStringList parts; // 0 symbol, 1 units, 2 separator, 3 hundredths, 4 secondary symbol
    };
    const Case cases[] = {
        {"plain", "12.34", nullptr, {"$", "12", ".", "34", ""}},
        {"no hundredths given", "12", nullptr, {"$", "12", ".", "00", ""}},
        {"never shown",
         "12.34",
         [](CPriceFormat& f) { f.m_secondaryNeverShow = TRUE; },
         {"$", "12", "", "", ""}},
        {"only if not zero, zero",
         "12.00",
         [](CPriceFormat& f) { f.m_showZeroSecondary = FALSE; },
         {"$", "12", "", "", ""}},
        {"only if not zero, not zero",
         "12.05",
         [](CPriceFormat& f) { f.m_showZeroSecondary = FALSE; },
         {"$", "12", ".", "05", ""}},
        {"always shown",
         "12",
         [](CPriceFormat& f) { f.m_secondaryAlwaysShow = TRUE; },
         {"$", "12", ".", "00", ""}},
        {"grouped",
         "1234567.5",
         [](CPriceFormat& f) { f.m_thousandsSeparator = ","; },
         {"$", "1,234,567", ".", "50", ""}},
        {"grouped, three digits",
         "123.5",
         [](CPriceFormat& f) { f.m_thousandsSeparator = ","; },
         {"$", "123", ".", "50", ""}},
        {"grouped, four digits",
         "1234",
         [](CPriceFormat& f) { f.m_thousandsSeparator = "'"; },
         {"$", "1'234", ".", "00", ""}},
        {"below one unit with a secondary symbol",
         "0.99",
         [](CPriceFormat& f) { f.SetPartText(P::PART_SECONDARY_SYMBOL, "p"); },
         {"", "", "", "99", "p"}},
        {"leading zero of the secondary amount dropped",
         ".05",
         [](CPriceFormat& f) { f.SetPartText(P::PART_SECONDARY_SYMBOL, "p"); },
         {"", "", "", "5", "p"}},
        {"units with a secondary symbol",
         "3.20",
         [](CPriceFormat& f) { f.SetPartText(P::PART_SECONDARY_SYMBOL, "p"); },
         {"$", "3", ".", "20", ""}},
        {"below one unit, primary amount shown", "0.42", nullptr, {"$", "0", ".", "42", ""}},
        {"below one unit, primary amount hidden",
         "0.42",
         [](CPriceFormat& f) { f.m_showPrimaryAmount = FALSE; },
         {"", "", ".", "42", ""}},
    };
    for (const Case& c : cases) {
        CPriceFormat* format = AddFormat("Case", "$");
        if (c.change)
            c.change(*format);
        auto price = MakePrice(format, c.value);
        EXPECT_EQ(Texts(*price), c.parts) << c.what;
    }
}

TEST_F(PriceFieldTest, TextAndSampleData)
{
    CPriceFormat* format = AddFormat("Comma", "", ",");
    auto price = MakePrice(format, "1234,5");
    EXPECT_EQ(price->GetText(), "1234,50");
    EXPECT_EQ(price->GetSampleData(), "1234,50");
    EXPECT_EQ(price->m_units, "1234");
    EXPECT_EQ(price->m_hundredths, "50");
    EXPECT_FALSE(price->IsEmpty());
    price->SetSampleData(nullptr, "0,00");
    EXPECT_TRUE(price->IsEmpty());
    price->SetSampleData(nullptr, "7");
    EXPECT_EQ(price->GetSampleData(), "7");
    EXPECT_EQ(price->GetText(), "7,00");
    // What another element or a variable reads of it is the whole price,
    // whatever prefix and suffix the data rules hold.
    price->m_prefix = "EUR ";
    price->m_suffix = " each";
    EXPECT_EQ(price->GetEnteredData(), "7,00");
}

// --- sizes and places --------------------------------------------------------

TEST_F(PriceFieldTest, PartHeightsFollowTheRatios)
{
    CPriceFormat* format = AddFormat("Ratios", "$");
    format->SetPartRatio(P::PART_PRIMARY_SYMBOL, 0.5);
    format->SetPartRatio(P::PART_SECONDARY_AMOUNT, 0.6); // the separator follows it
    format->SetPartRatio(P::PART_SECONDARY_SYMBOL, 0.3);
    auto price = MakePrice(format, "12.34");
    const int h = price->Part(1).GetFont().GetHeight();
    EXPECT_EQ(h, 200);
    struct Case
    {
        int part;
        int height;
    };
    const Case cases[] = {{0, 100}, {1, 200}, {2, 120}, {3, 120}};
    for (const Case& c : cases)
        EXPECT_EQ(price->Part(c.part).GetFont().GetHeight(), c.height) << c.part;
    EXPECT_EQ(price->m_layoutRect.Height(), h);

    // Below one unit with a secondary symbol the hundredths take the full height.
    format->SetPartText(P::PART_SECONDARY_SYMBOL, "p");
    price->SetSampleData(nullptr, "0.99");
    EXPECT_EQ(price->Part(3).GetFont().GetHeight(), 200);
    EXPECT_EQ(price->Part(4).GetFont().GetHeight(), 60);
}

TEST_F(PriceFieldTest, PartsFollowEachOtherAndTheLayoutIsTheirWidth)
{
    CPriceFormat* format = AddFormat("Row", "$");
    auto price = MakePrice(format, "12.34");
    int sum = 0;
    for (int i = 0; i < CPriceField::kPartCount; ++i) {
        EXPECT_EQ(price->Part(i).GetOrigin().x, 1000 + (sum + 5) / 10) << i;
        sum += price->Part(i).GetTextWidth();
    }
    EXPECT_EQ(price->m_layoutRect, CRect(1000, 1000, 1000 + (sum + 5) / 10, 1200));

    // Symbol after the amount: the amounts start at the position.
    format->m_symbolAfterAmount = TRUE;
    price->Refresh();
    EXPECT_EQ(price->Part(1).GetOrigin().x, 1000);
    const int amounts = price->Part(1).GetTextWidth() + price->Part(2).GetTextWidth() +
                        price->Part(3).GetTextWidth();
    EXPECT_EQ(price->Part(0).GetOrigin().x, 1000 + (amounts + 5) / 10);
}

TEST_F(PriceFieldTest, PartsAlignAgainstThePrimaryAmount)
{
    // The ink of a text in its part's font, drawn upright at (0, 0).
    const auto ink = [](const CTextBase& part, const QString& text) {
        CRect r;
        part.MeasureText(r, &text);
        return r;
    };
    struct Case
    {
        int alignment;
        const char* what;
    };
    const Case cases[] = {{P::ALIGN_TOP, "top"},
                          {P::ALIGN_CENTRE, "centre"},
                          {P::ALIGN_BOTTOM, "bottom"},
                          {P::ALIGN_BASELINE, "baseline"}};
    for (const Case& c : cases) {
        CPriceFormat* format = AddFormat("Aligned", "$");
        format->SetPartRatio(P::PART_PRIMARY_SYMBOL, 0.4);
        format->SetPartRatio(P::PART_SECONDARY_AMOUNT, 0.5);
        format->SetPartAlignment(P::PART_PRIMARY_SYMBOL, c.alignment);
        format->SetPartAlignment(P::PART_SECONDARY_AMOUNT, c.alignment);
        auto price = MakePrice(format, "12.34");
        const CTextBase& primary = price->Part(1);
        const CRect reference = ink(primary, "0");
        const int top = primary.GetOrigin().y;
        EXPECT_EQ(top, 1000) << c.what;
        struct Checked
        {
            int part;
            QString measured;
        };
        for (const Checked& k : {Checked{0, "$"}, Checked{3, "0"}, Checked{2, "0"}}) {
            const CTextBase& part = price->Part(k.part);
            const CRect r = ink(part, k.measured);
            const int y = part.GetOrigin().y;
            switch (c.alignment) {
            case P::ALIGN_TOP:
                EXPECT_EQ(y + r.top, top + reference.top) << c.what << k.part;
                break;
            case P::ALIGN_CENTRE:
                EXPECT_NEAR(y + (r.top + r.bottom) / 2.0,
                            top + (reference.top + reference.bottom) / 2.0, 1.0)
                    << c.what << k.part;
                break;
            case P::ALIGN_BOTTOM:
                EXPECT_EQ(y + r.bottom, top + reference.bottom) << c.what << k.part;
                break;
            default:
                EXPECT_EQ(y + part.GetFont().GetTextMetrics().tmAscent,
                          top + primary.GetFont().GetTextMetrics().tmAscent)
                    << c.what << k.part;
                break;
            }
        }
    }
}

TEST_F(PriceFieldTest, LongSymbolsAndTheLargestFontStayQuickAndAligned)
{
    // A symbol of thousands of characters at the largest height a font may
    // have: laid out in time linear in its length, and still aligned by its
    // ink.
    int made = 0;
    const auto layOut = [&](int length) -> qint64 {
        CPriceFormat* format =
            AddFormat(QStringLiteral("Huge%1").arg(++made), QString(length, u'W') + "$y");
        format->SetPartAlignment(P::PART_PRIMARY_SYMBOL, P::ALIGN_TOP);
        const CCpuTimer timer;
        auto price = MakePrice(format, "8.88");
        LogFontFields lf = CLogFont::DefaultLogFont();
        lf.lfHeight = CLogFont::kMaxHeight;
        price->SetFont(nullptr, CLogFont(lf));
        return timer.Nanoseconds();
    };
    EXPECT_LT(Growth(layOut, 3000), kLinearGrowthBound);

    CPriceFormat* format = AddFormat("Huge", QString(3000, u'W') + "$y");
    format->SetPartAlignment(P::PART_PRIMARY_SYMBOL, P::ALIGN_TOP);
    auto price = MakePrice(format, "8.88");
    LogFontFields lf = CLogFont::DefaultLogFont();
    lf.lfHeight = CLogFont::kMaxHeight;
    price->SetFont(nullptr, CLogFont(lf));
    EXPECT_EQ(price->Part(1).GetFont().GetHeight(), CLogFont::kMaxHeight);
    // The tops of "$" and of "0" meet within a few tenths.
    CRect symbolInk;
    CRect zeroInk;
    const QString dollar = "$";
    const QString zero = "0";
    price->Part(0).MeasureText(symbolInk, &dollar);
    price->Part(1).MeasureText(zeroInk, &zero);
    EXPECT_NEAR(price->Part(0).GetOrigin().y + symbolInk.top,
                price->Part(1).GetOrigin().y + zeroInk.top, 10);
}

TEST_F(PriceFieldTest, JustificationAndCopyFitPlaceTheLayoutInTheFrame)
{
    CPriceFormat* format = AddFormat("Frame", "$");
    struct Case
    {
        BOOL copyFit;
        int horz;
        int vert;
    };
    const Case cases[] = {{FALSE, 0, 0}, {FALSE, 1, 0}, {FALSE, 2, 0}, {FALSE, 1, 2},
                          {TRUE, 0, 0},  {TRUE, 1, 1},  {TRUE, 2, 2}};
    for (const Case& c : cases) {
        auto price = MakePrice(format, "12.34");
        price->m_copyFit = c.copyFit;
        price->m_horzJustify = c.horz;
        price->m_vertJustify = c.vert;
        price->m_formatRect = CRect(1000, 1000, 4000, 2000); // 300 x 100 mm
        price->RecalcLayout(nullptr);
        const CRect frame = price->GetPlacedFormatRect();
        const CRect layout = price->m_layoutRect;
        const auto what = [&c] {
            return testing::Message() << "fit " << c.copyFit << " h " << c.horz << " v " << c.vert;
        };
        if (c.copyFit) {
            // As large as fits: one side meets the frame.
            EXPECT_LE(layout.Width(), frame.Width() + 1) << what();
            EXPECT_LE(layout.Height(), frame.Height()) << what();
            EXPECT_GT(layout.Height(), 200) << what();
            const int vertical[3] = {frame.top,
                                     frame.top + (frame.Height() - layout.Height() + 1) / 2,
                                     frame.bottom - layout.Height()};
            EXPECT_EQ(layout.top, vertical[c.vert]) << what();
        } else {
            EXPECT_EQ(layout.Height(), 200) << what();
            EXPECT_EQ(layout.top, 1000) << what(); // no vertical justification without copy-fit
        }
        switch (c.horz) {
        case 0:
            EXPECT_EQ(layout.left, frame.left) << what();
            break;
        case 1:
            EXPECT_NEAR((layout.left + layout.right) / 2.0, (frame.left + frame.right) / 2.0, 1.0)
                << what();
            break;
        default:
            EXPECT_EQ(layout.right, frame.right) << what();
            break;
        }
        // The bounds hold the frame once it counts.
        if (c.copyFit || c.horz != 0) {
            EXPECT_LE(price->m_bounds.left, frame.left) << what();
            EXPECT_GE(price->m_bounds.right, frame.right) << what();
        }
    }
}

TEST_F(PriceFieldTest, TurningPlacesThePartsAboutThePosition)
{
    CPriceFormat* format = AddFormat("Turn", "$");
    auto price = MakePrice(format, "12.34");
    const CRect upright = price->m_bounds;
    std::vector<CPoint> origins;
    for (int i = 0; i < CPriceField::kPartCount; ++i)
        origins.push_back(price->Part(i).GetOrigin());
    price->SetAngle(nullptr, 90);
    for (int i = 0; i < CPriceField::kPartCount; ++i) {
        CPoint expected = origins[size_t(i)];
        RotatePoint(expected, 1000, 1000, 90);
        EXPECT_EQ(price->Part(i).GetOrigin(), expected) << i;
        EXPECT_EQ(price->Part(i).GetFont().GetLogFont().lfEscapement, 2700) << i;
    }
    // Sideways: as tall as it was wide, to the left of the position.
    EXPECT_EQ(price->m_bounds.Height(), upright.Width());
    EXPECT_EQ(price->m_bounds.right, 1000);
    price->SetAngle(nullptr, 450);
    EXPECT_EQ(price->GetAngle(), 90);
    price->SetAngle(nullptr, -45);
    EXPECT_EQ(price->GetAngle(), 315);

    // The Rotate command's step, either way round.
    struct Step
    {
        double radians;
        int from;
        int to;
    };
    const double quarter = 1.5707963267948966;
    const Step steps[] = {{quarter, 0, 90},
                          {quarter, 300, 30},
                          {-quarter, 0, 270},
                          {-quarter, 90, 0},
                          {-quarter / 2, 10, 325}};
    const double saved = App().general.rotationAngle;
    for (const Step& c : steps) {
        App().general.rotationAngle = c.radians;
        price->SetAngle(nullptr, c.from);
        price->Rotate(nullptr);
        EXPECT_EQ(price->GetAngle(), c.to) << c.radians << " from " << c.from;
    }
    App().general.rotationAngle = saved;
}

TEST_F(PriceFieldTest, HandlesResizingAndBounds)
{
    CPriceFormat* format = AddFormat("Sizes", "$");
    // Which side handles a price offers.
    struct HandleCase
    {
        BOOL copyFit;
        int horz;
        int angle;
        bool leftRight;
        bool topBottom;
    };
    const HandleCase handles[] = {
        {FALSE, 0, 0, false, false}, {FALSE, 1, 0, true, false},   {FALSE, 2, 180, true, false},
        {FALSE, 1, 90, false, true}, {FALSE, 2, 270, false, true}, {FALSE, 1, 45, false, false},
        {TRUE, 0, 0, true, true},    {TRUE, 0, 45, true, true},
    };
    for (const HandleCase& c : handles) {
        auto price = MakePrice(format, "1.00");
        price->m_copyFit = c.copyFit;
        price->m_horzJustify = c.horz;
        price->SetAngle(nullptr, c.angle);
        const auto what = testing::Message() << c.copyFit << " " << c.horz << " " << c.angle;
        for (int corner :
             {HANDLE_TOP_LEFT, HANDLE_TOP_RIGHT, HANDLE_BOTTOM_RIGHT, HANDLE_BOTTOM_LEFT})
            EXPECT_TRUE(price->IsHandleEnabled(corner)) << what;
        EXPECT_EQ(price->IsHandleEnabled(HANDLE_LEFT) != 0, c.leftRight) << what;
        EXPECT_EQ(price->IsHandleEnabled(HANDLE_RIGHT) != 0, c.leftRight) << what;
        EXPECT_EQ(price->IsHandleEnabled(HANDLE_TOP) != 0, c.topBottom) << what;
        EXPECT_EQ(price->IsHandleEnabled(HANDLE_BOTTOM) != 0, c.topBottom) << what;
    }

    // A resize to twice the size: without copy-fit the fonts grow with it;
    // a move keeps sizes and takes the price along.
    auto price = MakePrice(format, "12.34");
    price->m_formatRect = CRect(1000, 1000, 1500, 1300);
    price->RecalcLayout(nullptr);
    const CRect start = price->m_bounds;
    price->m_startRect = start;
    price->m_trackRect = CRect(start.left, start.top, start.left + 2 * start.Width(),
                               start.top + 2 * start.Height());
    price->ApplyTrackRect(nullptr);
    EXPECT_EQ(price->Part(1).GetFont().GetHeight(), 400);
    EXPECT_EQ(price->m_formatRect.Width(), 1000);
    EXPECT_EQ(price->m_formatRect.Height(), 600);
    EXPECT_EQ(price->m_position, CPoint(1000, 1000));
    const CRect grown = price->m_bounds;
    price->m_startRect = grown;
    price->m_trackRect =
        CRect(grown.left + 300, grown.top - 100, grown.right + 300, grown.bottom - 100);
    price->ApplyTrackRect(nullptr);
    EXPECT_EQ(price->m_position, CPoint(1300, 900));
    EXPECT_EQ(price->Part(1).GetFont().GetHeight(), 400);

    // Bounds given by a layout command: copy-fit into them, the angle a
    // quarter turn, the start at the turned corner.
    struct BoundsCase
    {
        int angle;
        CPoint position;
        int frameWidth;
        int frameHeight;
    };
    const BoundsCase bounds[] = {{0, {100, 200}, 800, 300},
                                 {100, {900, 200}, 300, 800},
                                 {180, {900, 500}, 800, 300},
                                 {300, {100, 500}, 300, 800}};
    for (const BoundsCase& c : bounds) {
        auto p = MakePrice(format, "12.34");
        p->SetAngle(nullptr, c.angle);
        p->SetBounds(nullptr, CRect(100, 200, 900, 500));
        EXPECT_TRUE(p->m_copyFit) << c.angle;
        EXPECT_EQ(p->GetAngle(), c.angle / 90 * 90) << c.angle;
        EXPECT_EQ(p->m_position, c.position) << c.angle;
        EXPECT_EQ(p->m_formatRect.Width(), c.frameWidth) << c.angle;
        EXPECT_EQ(p->m_formatRect.Height(), c.frameHeight) << c.angle;
        // The price lies inside the rectangle it was given.
        EXPECT_GE(p->m_bounds.left, 99) << c.angle;
        EXPECT_LE(p->m_bounds.right, 901) << c.angle;
        EXPECT_GE(p->m_bounds.top, 199) << c.angle;
        EXPECT_LE(p->m_bounds.bottom, 501) << c.angle;
    }
}

TEST_F(PriceFieldTest, CrossOutStrokesRunCornerToCorner)
{
    CPriceFormat* format = AddFormat("Was", "$");
    auto price = MakePrice(format, "12.34");
    price->m_crossOut = TRUE;
    price->SetCrossOutLine(nullptr, 20, LINE_END_SQUARE);
    const CRect r = price->m_layoutRect;
    EXPECT_EQ(price->Stroke(0).m_start, CPoint(r.left + 10, r.bottom - 10));
    EXPECT_EQ(price->Stroke(0).m_end, CPoint(r.right - 10, r.top + 10));
    EXPECT_EQ(price->Stroke(1).m_start, CPoint(r.left + 10, r.top + 10));
    EXPECT_EQ(price->Stroke(1).m_end, CPoint(r.right - 10, r.bottom - 10));
    EXPECT_EQ(price->Stroke(1).m_thickness, 20);

    // Drawn: the upward pattern inks the bottom-left corner area, not the
    // top-left one.
    const auto inkNear = [&](int pattern, CPoint p) {
        price->m_crossOutPattern = pattern;
        CImageDC dc(r.right + 50, r.bottom + 50, 254, 254);
        price->Draw(&dc, CRect(0, 0, r.right + 50, r.bottom + 50));
        int ink = 0;
        for (int y = p.y - 5; y <= p.y + 5; ++y)
            for (int x = p.x - 5; x <= p.x + 5; ++x)
                ink += qGray(dc.Image().pixel(x, y)) < 128;
        return ink;
    };
    const CPoint bottomLeft(r.left + 14, r.bottom - 14);
    const CPoint topLeft(r.left + 14, r.top + 14);
    EXPECT_GT(inkNear(CROSS_OUT_UPWARD, bottomLeft), 0);
    EXPECT_EQ(inkNear(CROSS_OUT_UPWARD, topLeft), 0);
    EXPECT_EQ(inkNear(CROSS_OUT_DOWNWARD, bottomLeft), 0);
    EXPECT_GT(inkNear(CROSS_OUT_DOWNWARD, topLeft), 0);
    EXPECT_GT(inkNear(CROSS_OUT_BOTH, topLeft), 0);
    EXPECT_GT(inkNear(CROSS_OUT_BOTH, bottomLeft), 0);
}

TEST_F(PriceFieldTest, APriceFedByDataDrawsNothingWhenEmpty)
{
    CPriceFormat* format = AddFormat("Fed", "$");
    auto price = MakePrice(format, "12.34");
    price->m_dataSource = SOURCE_KEYBOARD;
    const auto ink = [&price] {
        CImageDC dc(4000, 2000, 254, 254);
        dc.SetTextAntialiasing(false);
        price->Draw(&dc, CRect(0, 0, 4000, 2000));
        int count = 0;
        for (int y = 0; y < 2000; y += 2)
            for (int x = 0; x < 4000; x += 2)
                count += qGray(dc.Image().pixel(x, y)) < 128;
        return count;
    };
    EXPECT_GT(ink(), 0);
    for (const char* empty : {"", "0", "0.00"}) {
        price->SetDataText(empty, SOURCE_KEYBOARD, QString(), TRUE);
        EXPECT_TRUE(price->IsEmpty()) << empty;
        EXPECT_EQ(ink(), 0) << empty;
    }
    // The data shown goes, the design sample comes back.
    price->SetDataText("99.95", SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_EQ(price->Part(1).GetText(), "99");
    EXPECT_EQ(price->m_units, "12");
    price->EndDataEntry();
    EXPECT_EQ(price->Part(1).GetText(), "12");
}

// --- archive and export ------------------------------------------------------

TEST_F(PriceFieldTest, ArchiveRoundTripIsByteExact)
{
    CPriceFormat* format = AddFormat("Sale", "EUR", ",", "");
    format->SetPartRatio(P::PART_SECONDARY_AMOUNT, 0.5);
    auto price = MakePrice(format, "19,99");
    price->m_name = "Price1";
    price->m_colouredBackground = TRUE;
    price->m_backgroundColour = MakeRGB(255, 255, 0);
    price->m_crossOut = TRUE;
    price->m_crossOutPattern = CROSS_OUT_BOTH;
    price->m_horzJustify = 2;
    price->m_formatRect = CRect(1000, 1000, 3000, 1500);
    price->SetAngle(nullptr, 30);

    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        price->Serialize(ar);
    }
    CPriceField loaded;
    {
        CArchive ar(&bytes, CArchive::load);
        loaded.Serialize(ar);
        EXPECT_EQ(ar.BytesRemaining(), 0);
    }
    EXPECT_EQ(loaded.m_name, "Price1");
    EXPECT_EQ(loaded.GetFormatName(), "Sale");
    EXPECT_EQ(loaded.GetAngle(), 30);
    EXPECT_EQ(loaded.m_units, "19");
    EXPECT_EQ(loaded.m_hundredths, "99");
    EXPECT_EQ(loaded.m_crossOutPattern, CROSS_OUT_BOTH);
    EXPECT_EQ(loaded.m_horzJustify, 2);
    EXPECT_EQ(loaded.m_backgroundColour, MakeRGB(255, 255, 0));
    EXPECT_EQ(loaded.m_layoutRect, price->m_layoutRect);
    EXPECT_EQ(Texts(loaded), Texts(*price));
    QByteArray again;
    {
        CArchive ar(&again, CArchive::store);
        loaded.Serialize(ar);
    }
    EXPECT_EQ(again, bytes);

    // The tail of the record: justification, copy-fit, the format rectangle
    // (16 bytes) and the format's name as a counted string.
    const QByteArray tail = QByteArray::fromHex("02000000"
                                                "00000000"
                                                "00000000"
                                                "e8030000"
                                                "e8030000"
                                                "b80b0000"
                                                "dc050000"
                                                "0453616c65");
    EXPECT_TRUE(bytes.endsWith(tail));

    // A format the list does not know gives the standard format.
    ThePriceFormatList().DeleteFormat(format);
    CPriceField orphan;
    {
        CArchive ar(&bytes, CArchive::load);
        orphan.Serialize(ar);
    }
    EXPECT_EQ(orphan.GetFormatName(), CPriceFormatList::StandardFormatName());
}

TEST_F(PriceFieldTest, SignsBeforeVersion260HaveNoAngle)
{
    CPriceFormat* format = AddFormat("Old", "$");
    auto price = MakePrice(format, "5.25");
    // An old record, written field by field without the angle.
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        price->CElement::Serialize(ar);
        ar << CPoint(300, 400);
        for (int i = 0; i < CPriceField::kPartCount; ++i)
            const_cast<CTextBase&>(price->Part(i)).Serialize(ar);
        ar << DWORD(1) << DWORD(0x00FF00) << DWORD(1) << DWORD(1); // no angle
        CLine stroke;
        stroke.Serialize(ar);
        stroke.Serialize(ar);
        ar << QString("5") << QString("25") << DWORD(0) << DWORD(0) << DWORD(0) << CRect(0, 0, 0, 0)
           << QString("Old");
    }
    const int saved = App().fileVersion;
    App().fileVersion = 250;
    CPriceField loaded;
    {
        CArchive ar(&bytes, CArchive::load);
        loaded.Serialize(ar);
        EXPECT_EQ(ar.BytesRemaining(), 0);
    }
    App().fileVersion = saved;
    EXPECT_EQ(loaded.GetAngle(), 0);
    EXPECT_EQ(loaded.m_position, CPoint(300, 400));
    EXPECT_TRUE(loaded.m_crossOut);
    EXPECT_EQ(loaded.m_crossOutPattern, 1);
    EXPECT_EQ(loaded.GetText(), "5.25");
}

TEST_F(PriceFieldTest, DamagedRecordsAreRefusedOrBroughtIntoRange)
{
    CPriceFormat* format = AddFormat("Hostile", "$");
    auto price = MakePrice(format, "12.34");
    price->m_crossOut = TRUE;
    QByteArray seed;
    {
        CArchive ar(&seed, CArchive::store);
        price->Serialize(ar);
    }
    std::mt19937 rng(19);
    int read = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray damaged = DamagedCopy(seed, rng);
        CPriceField loaded;
        try {
            CArchive ar(&damaged, CArchive::load);
            loaded.Serialize(ar);
        } catch (const CArchiveException&) {
            continue;
        }
        ++read;
        EXPECT_GE(loaded.GetAngle(), 0);
        EXPECT_LT(loaded.GetAngle(), 360);
        EXPECT_GE(loaded.m_crossOutPattern, 0);
        EXPECT_LE(loaded.m_crossOutPattern, 2);
        EXPECT_LE(loaded.m_hundredths.size(), 2);
        EXPECT_LE(loaded.m_units.size(), CPriceField::kMaxUnitsDigits);
        for (int i = 0; i < CPriceField::kPartCount; ++i)
            EXPECT_TRUE(loaded.Part(i).OwnsFont());
        for (int j = 0; j < 2; ++j)
            EXPECT_GE(loaded.Stroke(j).m_thickness, 0);
    }
    EXPECT_GT(read, 0);
}

TEST_F(PriceFieldTest, TextExport)
{
    CPriceFormat* format = AddFormat("Export", "$");
    auto price = MakePrice(format, "3.5");
    price->m_name = "Shelf";
    price->m_crossOut = TRUE;
    price->m_crossOutPattern = CROSS_OUT_BOTH;
    price->SetCrossOutLine(nullptr, 15, LINE_END_ROUND);
    price->SetCrossOutColour(nullptr, MakeRGB(255, 0, 0));
    price->m_formatRect = CRect(0, 0, 800, 300);
    price->m_horzJustify = 1;
    price->RecalcLayout(nullptr);
    QByteArray out;
    {
        CTextExportFile file(&out);
        price->WriteXml(file);
    }
    const QString text = QString::fromLatin1(out);
    EXPECT_TRUE(text.startsWith("  <price>\r\n\r\n    <name=\"Shelf\"/>\r\n")) << out.constData();
    for (const char* line : {
             "    <position units=\"TMM\" x=\"1000\" y=\"1000\"/>\r\n",
             "    <angle=\"0\"/>\r\n",
             "    <copy-fit=\"0\"/>\r\n",
             "    <format-rectangle units=\"TMM\" width=\"800\" height=\"300\"/>\r\n",
             "    <justification horizontal=\"1\" vertical=\"0\"/>\r\n",
             "    <cross-out>\r\n\r\n        <pattern=\"2\"/>\r\n"
             "        <thickness units=\"TMM\" value=\"15\"/>\r\n"
             "        <end-style=\"1\"/>\r\n        <colour=\"#FF0000\"/>\r\n\r\n"
             "    </cross-out>\r\n",
             "        <primary-symbol symbol=\"$\" ratio=\"100\" alignment=\"3\"",
             "    <sample-data>3.50</sample-data>\r\n\r\n  </price>\r\n\r\n",
         }) {
        EXPECT_TRUE(text.contains(line)) << line << "\n" << out.constData();
    }
}

// --- copies ------------------------------------------------------------------

TEST_F(PriceFieldTest, UndoCopiesAndSamplesStandApart)
{
    CPriceFormat* format = AddFormat("Copy", "$");
    auto price = MakePrice(format, "12.34");
    std::unique_ptr<CElement> copy(CloneElement(price.get()));
    ASSERT_NE(copy, nullptr);
    auto* priceCopy = dynamic_cast<CPriceField*>(copy.get());
    ASSERT_NE(priceCopy, nullptr);
    price->SetSampleData(nullptr, "99.99");
    price->SetAngle(nullptr, 90);
    EXPECT_EQ(priceCopy->m_units, "12");
    EXPECT_EQ(priceCopy->GetAngle(), 0);
    EXPECT_EQ(priceCopy->Part(1).GetText(), "12");

    // The sample fills its box, upright and without the cross-out.
    price->m_crossOut = TRUE;
    CPriceSample sample(*price);
    sample.SetWindowRect(CRect(0, 0, 400, 100));
    sample.ShowPrice("42.00");
    EXPECT_EQ(sample.GetAngle(), 0);
    EXPECT_FALSE(sample.m_crossOut);
    EXPECT_EQ(price->GetAngle(), 90);
    EXPECT_LE(sample.m_layoutRect.Height(), 100);
    EXPECT_GT(sample.m_layoutRect.Height(), 50);
    sample.HighlightPart(3);
    EXPECT_EQ(sample.Part(3).GetColour(), MakeRGB(255, 0, 0));
    EXPECT_EQ(sample.Part(1).GetColour(), MakeRGB(0, 0, 0));
}

} // namespace

// --- a price sign on paper -----------------------------------------------------

namespace {

class PriceSignTest : public PriceFieldTest
{
protected:
    void SetUp() override
    {
        PriceFieldTest::SetUp();
        savedHooks = SignHooks();
        RegisterVariableSignParts();
        ThePaper().Init("A4");
    }
    void TearDown() override { SignHooks() = savedHooks; }

    QString Path(const QString& name) const { return home.FilePath(name); }

    CTestHome home;
    CSignHooks savedHooks;
};

// Dark pixels of a rendered page inside a rectangle in tenths of a millimetre.
int InkIn(const QImage& page, const CRect& tmm, int dpi)
{
    int ink = 0;
    const double px = dpi / 254.0;
    for (int y = int(tmm.top * px); y < int(tmm.bottom * px) && y < page.height(); ++y)
        for (int x = int(tmm.left * px); x < int(tmm.right * px) && x < page.width(); ++x)
            ink += qGray(page.pixel(x, y)) < 128;
    return ink;
}

// The first row with ink inside the columns of a rectangle, in tenths of a
// millimetre; -1 when there is none.
int FirstInkedRow(const QImage& page, const CRect& tmm, int dpi)
{
    const double px = dpi / 254.0;
    for (int y = int(tmm.top * px); y < int(tmm.bottom * px) && y < page.height(); ++y)
        for (int x = int(tmm.left * px); x < int(tmm.right * px) && x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                return int(y / px);
    return -1;
}

} // namespace

TEST_F(PriceSignTest, APriceSignIsSavedReopenedAndPrintedWithItsPartsInPlace)
{
    // A format whose symbol is half the height and tops with the units, and
    // whose hundredths are half height on the baseline.
    CPriceFormat* format = AddFormat("Shelf", "$");
    format->SetPartRatio(P::PART_PRIMARY_SYMBOL, 0.5);
    format->SetPartAlignment(P::PART_PRIMARY_SYMBOL, P::ALIGN_TOP);
    format->SetPartRatio(P::PART_SECONDARY_AMOUNT, 0.5);
    format->SetPartAlignment(P::PART_SECONDARY_AMOUNT, P::ALIGN_BASELINE);
    auto* price = static_cast<CPriceField*>(TheElementList().CreateElement("CPriceField"));
    ASSERT_NE(price, nullptr);
    price->SetFormat(nullptr, format);
    price->SetSampleData(nullptr, "12.34");
    price->SetBounds(nullptr, CRect(200, 300, 1800, 900)); // copy-fit into 160 x 60 mm
    CSignData doc;
    doc.m_title = "Price";
    ASSERT_TRUE(doc.OnSaveDocument(Path("price.sgn")));

    // Opened where the library has a different "Shelf": the library's wins,
    // so drop it first and the sign brings its own.
    ThePriceFormatList().DeleteFormat(format);
    CSignData loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(Path("price.sgn")));
    ASSERT_EQ(TheElementList().GetCount(), 1);
    auto* reread = dynamic_cast<CPriceField*>(TheElementList().GetAt(0));
    ASSERT_NE(reread, nullptr);
    ASSERT_NE(ThePriceFormatList().FindFormat("Shelf"), nullptr);
    EXPECT_EQ(reread->GetFormatName(), "Shelf");
    EXPECT_EQ(reread->GetText(), "12.34");
    const CRect layout = reread->m_layoutRect;
    EXPECT_GT(layout.Height(), 400); // grown to fill the frame

    const QString pdf = Path("price.pdf");
    ASSERT_TRUE(ThePrinter().PrintSign(loaded, 1, pdf, 0));
    ASSERT_TRUE(ThePrinter().EndJob());
    const int dpi = 100;
    const QImage page = RenderPdfPage(pdf, 1, dpi);
    ASSERT_FALSE(page.isNull());

    // Each part's ink lies in its own box: from its origin, its advance wide.
    const auto box = [&](int part) {
        const CTextBase& t = reread->Part(part);
        const CPoint o = t.GetOrigin();
        return CRect(o.x, o.y, o.x + t.GetTextWidth() / 10, o.y + t.GetFont().GetHeight());
    };
    for (int part : {0, 1, 2, 3})
        EXPECT_GT(InkIn(page, box(part), dpi), 0) << part;
    // Nothing outside the layout.
    CRect around = layout;
    around.InflateRect(20, 20, 20, 20);
    const int all = InkIn(page, CRect(0, 0, 2100, 2970), dpi);
    EXPECT_EQ(InkIn(page, around, dpi), all);
    // The symbol tops with the units; the half-height hundredths stand on
    // the units' baseline, so their ink starts well below the units' top.
    const int symbolTop = FirstInkedRow(page, box(0), dpi);
    const int unitsTop = FirstInkedRow(page, box(1), dpi);
    EXPECT_NEAR(symbolTop, unitsTop, 5);
    const int hundredthsTop = FirstInkedRow(page, box(3), dpi);
    EXPECT_GT(hundredthsTop, unitsTop + layout.Height() / 5);
    // The symbol's box is half as tall as the units': no ink in its lower half.
    const CRect lowerSymbol(box(0).left, box(0).bottom + 5, box(0).right, box(1).bottom);
    EXPECT_EQ(InkIn(page, lowerSymbol, dpi), 0);
}
