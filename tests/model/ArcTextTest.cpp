// Arc text: the layout of characters along the circle, creation from a
// dragged square, the rendered picture, the record, the undo copy and the
// text export.
#include "ArcText.h"
#include "AppContext.h"
#include "DC.h"
#include "Damage.h"
#include "ElementList.h"
#include "LogFont.h"
#include "TestElements.h"
#include "TestSupport.h"
#include "TextBase.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <ostream>
#include <random>

static void PrintTo(const CPoint& p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace {

QByteArray Store(CObject& object)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    object.Serialize(ar);
    return bytes;
}

class ArcTextTest : public RealElementTest
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        RealElementTest::SetUp();
    }

    // An arc text made by dragging out a square with the given corners.
    static std::unique_ptr<CArcText> Drawn(CPoint from, CPoint to)
    {
        auto arc = std::make_unique<CArcText>();
        arc->BeginCreate(nullptr, from.x, from.y);
        arc->TrackCreate(nullptr, to.x, to.y, FALSE);
        arc->EndCreate(nullptr, 0);
        return arc;
    }
};

// --- layout ------------------------------------------------------------------

struct LayoutCase
{
    const char* what;
    std::vector<int> widths;
    int radius;
    int height;
    int start;
    int alignment;
    int direction;
    int laidRadius;
    int firstAngle;
    int sweep;
    std::vector<CPoint> points;
    std::vector<int> rotations;
};

TEST(ArcTextLayout, CharactersStandOnTheCircleAsTheSettingsSay)
{
    // clang-format off
    const LayoutCase cases[] = {
        {"begins 2 degrees before the top, clockwise",
         {20, 20}, 200, 40, 270, ARC_ALIGN_START, ARC_CLOCKWISE, 200, 270, 0,
         {{-7, -200}, {18, -199}}, {358, 365}},
        {"a glyph that would stand exactly upright is turned one degree more",
         {20, 20}, 200, 40, 272, ARC_ALIGN_START, ARC_CLOCKWISE, 200, 272, 0,
         {{0, -200}, {25, -198}}, {361, 367}},
        {"centred on the start angle, clockwise",
         {40, 40}, 200, 40, 270, ARC_ALIGN_CENTRE, ARC_CLOCKWISE, 200, 256, 28,
         {{-55, -192}, {-7, -200}}, {344, 358}},
        {"centred on the start angle, anticlockwise on the inner circle",
         {40, 40}, 200, 40, 270, ARC_ALIGN_CENTRE, ARC_ANTICLOCKWISE, 200, 284, 28,
         {{33, -157}, {-6, -160}}, {552, 538}},
        {"ending at the start angle, clockwise",
         {40, 40}, 200, 40, 270, ARC_ALIGN_END, ARC_CLOCKWISE, 200, 242, 28,
         {{-100, -173}, {-55, -192}}, {330, 344}},
        {"ending at the bottom, anticlockwise",
         {40, 40}, 200, 40, 90, ARC_ALIGN_END, ARC_ANTICLOCKWISE, 200, 118, 28,
         {{-70, 144}, {-33, 157}}, {386, 372}},
        {"a radius equal to the font height is laid out one unit larger",
         {30}, 40, 40, 0, ARC_ALIGN_START, ARC_CLOCKWISE, 41, 0, 0, {{41, -1}}, {88}},
        {"a radius of nothing is laid out one unit above the font height",
         {30, 30}, 0, 40, 0, ARC_ALIGN_START, ARC_ANTICLOCKWISE, 41, 0, 0,
         {{1, 0}, {0, -1}}, {268, 181}},
        {"a radius below the font height, centred, sweeps a finite angle",
         {30, 30}, 10, 40, 0, ARC_ALIGN_CENTRE, ARC_CLOCKWISE, 41, -88, 176,
         {{0, -41}, {41, -1}}, {1, 88}},
    };
    // clang-format on
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        const QString text = QString(qsizetype(c.widths.size()), QLatin1Char('W'));
        const CArcLayout layout =
            CArcText::Layout(text, c.widths, c.radius, c.height, c.start, c.alignment, c.direction);
        EXPECT_EQ(layout.radius, c.laidRadius);
        EXPECT_EQ(layout.startAngle, c.firstAngle);
        EXPECT_EQ(layout.sweepDegrees, c.sweep);
        ASSERT_EQ(layout.glyphs.size(), c.points.size());
        for (size_t i = 0; i < c.points.size(); ++i) {
            EXPECT_EQ(layout.glyphs[i].point, c.points[i]) << "glyph " << i;
            EXPECT_EQ(layout.glyphs[i].rotation, c.rotations[i]) << "glyph " << i;
        }
    }
}

// --- creation and resizing -----------------------------------------------------

TEST_F(ArcTextTest, DraggedRectangleBecomesASquareSizedToItsCircle)
{
    struct
    {
        CPoint from, to;
        CRect square;
        int radius;
        int fontHeight; // radius / 5, rounded
    } const cases[] = {
        {{100, 100}, {500, 500}, {100, 100, 500, 500}, 200, 40},
        {{100, 100}, {400, 200}, {100, 100, 400, 400}, 150, 30},
        {{100, 100}, {150, 400}, {100, 100, 400, 400}, 150, 30},
        {{500, 500}, {300, 450}, {300, 450, 500, 650}, 100, 20},
    };
    for (const auto& c : cases) {
        const auto arc = Drawn(c.from, c.to);
        EXPECT_EQ(arc->m_square, c.square);
        EXPECT_EQ(arc->m_bounds, c.square);
        EXPECT_EQ(arc->m_radius, c.radius);
        EXPECT_EQ(arc->m_centreX, (c.square.left + c.square.right) / 2);
        EXPECT_EQ(arc->m_centreY, (c.square.top + c.square.bottom) / 2);
        EXPECT_EQ(arc->m_font.GetHeight(), arc->m_font.SnapHeight(c.fontHeight));
        EXPECT_FALSE(arc->Picture().isNull());
    }
}

TEST_F(ArcTextTest, ResizingScalesTheFontWithTheRadiusAndMovingKeepsIt)
{
    auto arc = Drawn({0, 0}, {400, 400});
    ASSERT_EQ(arc->m_font.GetHeight(), 40);
    arc->m_startRect = arc->m_square;
    arc->m_trackRect = CRect(100, 100, 500, 500);
    arc->ApplyTrackRect(nullptr);
    EXPECT_EQ(arc->m_radius, 200);
    EXPECT_EQ(arc->m_centreX, 300);
    EXPECT_EQ(arc->m_font.GetHeight(), 40);

    arc->m_startRect = arc->m_square;
    arc->m_trackRect = CRect(100, 100, 300, 300);
    arc->ApplyTrackRect(nullptr);
    EXPECT_EQ(arc->m_radius, 100);
    EXPECT_EQ(arc->m_font.GetHeight(), 20);
    EXPECT_EQ(arc->m_square, CRect(100, 100, 300, 300));
}

// --- rendering ---------------------------------------------------------------

// Every inked pixel of the picture lies between the circle and the inner
// circle one font height inside it (with a little room for the glyphs'
// side bearings and smoothing), and the ink starts at the top of the circle
// and runs clockwise.
TEST_F(ArcTextTest, PictureAtThePrinterResolutionHasItsInkOnTheCircle)
{
    auto arc = Drawn({0, 0}, {600, 600});
    arc->m_alignment = ARC_ALIGN_START;
    arc->SetSampleData(nullptr, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    const QImage& picture = arc->Picture();
    // 60 mm at 600 dpi.
    EXPECT_EQ(picture.width(), 1417);
    EXPECT_EQ(picture.height(), 1417);
    EXPECT_DOUBLE_EQ(arc->PictureDpi(), 600.0);

    const double pxPerTenth = 600.0 / 254.0;
    const double outer = arc->m_radius * pxPerTenth;
    const double inner = (arc->m_radius - arc->m_font.GetHeight()) * pxPerTenth;
    const double cx = picture.width() / 2.0;
    const double cy = picture.height() / 2.0;
    int ink = 0;
    int stray = 0;
    int beforeStart = 0;
    int quadrant[4] = {};
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qGray(picture.pixel(x, y)) > 128)
                continue;
            ++ink;
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double r = std::hypot(dx, dy);
            if (r > outer + 6 || r < inner - 6)
                ++stray;
            quadrant[(dx >= 0 ? 0 : 1) + (dy >= 0 ? 2 : 0)] += 1;
            // Clockwise degrees from the positive x axis, y down.
            double angle = std::atan2(dy, dx) * 180.0 / 3.141592653589793;
            if (angle < 0)
                angle += 360;
            if (angle > 160 && angle < 250)
                ++beforeStart;
        }
    }
    EXPECT_GT(ink, 5000);
    EXPECT_EQ(stray, 0);
    // 26 capitals of a 6 mm font run about 210 degrees clockwise from the
    // top: through the right half and across the bottom, and not back up
    // the left side to the top.
    EXPECT_GT(quadrant[0], ink / 10); // upper right
    EXPECT_GT(quadrant[2], ink / 10); // lower right
    EXPECT_GT(quadrant[3], 0);        // lower left
    EXPECT_EQ(beforeStart, 0);
}

TEST_F(ArcTextTest, ANewPrinterGetsAPictureAtItsOwnResolution)
{
    auto arc = Drawn({0, 0}, {254, 254});
    ASSERT_EQ(arc->Picture().width(), 600);
    CDC printer;
    printer.SetDeviceCaps(300, 300, CSize(2480, 3508));
    App().printerDC = [&printer] { return &printer; };
    arc->OnPrinterChanged(nullptr);
    EXPECT_DOUBLE_EQ(arc->PictureDpi(), 300.0);
    EXPECT_EQ(arc->Picture().width(), 300);
    App().printerDC = nullptr;
}

TEST_F(ArcTextTest, AVeryLargeSquareRendersWithinThePictureCap)
{
    auto arc = Drawn({0, 0}, {15000, 15000});
    const QImage& picture = arc->Picture();
    ASSERT_FALSE(picture.isNull());
    EXPECT_LE(qint64(picture.width()) * picture.height(), CArcText::kMaxPicturePixels);
    EXPECT_GT(picture.width(), 1900);
    EXPECT_LT(arc->PictureDpi(), 600.0);
}

TEST_F(ArcTextTest, WithoutAPictureTheCircleIsDrawnDotted)
{
    CArcText arc;
    arc.m_square = CRect(10, 10, 90, 90);
    arc.RecalcPosition(nullptr);
    ASSERT_TRUE(arc.Picture().isNull());
    const QImage image = Render(arc, 100, 100);
    EXPECT_FALSE(IsWhite(image, 50, 10));
    EXPECT_TRUE(IsWhite(image, 50, 50));
}

// --- records -----------------------------------------------------------------

TEST_F(ArcTextTest, RecordRoundTripIsByteExactAndRendersAgain)
{
    auto arc = Drawn({100, 200}, {500, 600});
    arc->m_name = "Badge";
    arc->m_startAngle = 90;
    arc->m_alignment = ARC_ALIGN_END;
    arc->m_direction = ARC_ANTICLOCKWISE;
    arc->m_colour = MakeRGB(200, 10, 20);
    arc->m_forceSpellCheck = 1;
    arc->SetSampleData(nullptr, QStringLiteral("Fresh bread daily"));
    arc->m_displayedText = QStringLiteral("Typed value");

    const QByteArray bytes = Store(*arc);
    CArchive ar(const_cast<QByteArray*>(&bytes), CArchive::load);
    CArcText loaded;
    loaded.Serialize(ar);
    EXPECT_EQ(ar.BytesRemaining(), 0);
    EXPECT_EQ(Store(loaded), bytes);
    EXPECT_EQ(loaded.m_name, "Badge");
    EXPECT_EQ(loaded.m_square, arc->m_square);
    EXPECT_EQ(loaded.m_radius, 200);
    EXPECT_EQ(loaded.m_centreX, 300);
    EXPECT_EQ(loaded.m_centreY, 400);
    EXPECT_EQ(loaded.m_startAngle, 90);
    EXPECT_EQ(loaded.m_alignment, ARC_ALIGN_END);
    EXPECT_EQ(loaded.m_direction, ARC_ANTICLOCKWISE);
    EXPECT_EQ(loaded.m_sampleText, "Fresh bread daily");
    EXPECT_EQ(loaded.m_displayedText, "Typed value");
    EXPECT_EQ(loaded.m_colour, MakeRGB(200, 10, 20));
    EXPECT_EQ(loaded.m_forceSpellCheck, 1);
    EXPECT_EQ(loaded.m_font.GetLogFont(), arc->m_font.GetLogFont());
    EXPECT_EQ(loaded.m_bounds, arc->m_square);
    ASSERT_FALSE(loaded.Picture().isNull());
    EXPECT_EQ(loaded.Picture().size(), arc->Picture().size());
}

TEST_F(ArcTextTest, HostileValuesAreBroughtIntoRange)
{
    struct
    {
        const char* what;
        int radius, start, alignment, direction;
        CRect square;
        int wantRadius, wantStart, wantAlignment, wantDirection;
    } const cases[] = {
        {"negative radius and angle", -50, -90, 1, 0, {0, 0, 100, 100}, 0, 270, 1, 0},
        {"huge numbers",
         INT_MAX,
         INT_MAX,
         INT_MAX,
         INT_MAX,
         {0, 0, 100, 100},
         CArcText::kMaxStoredLength,
         INT_MAX % 360,
         2,
         1},
        {"smallest numbers",
         INT_MIN,
         INT_MIN,
         INT_MIN,
         INT_MIN,
         {INT_MIN, INT_MIN, 0, 0},
         0,
         ((INT_MIN % 360) + 360) % 360,
         0,
         0},
        {"turned-over square", 30, 725, 0, 1, {100, 100, 0, 0}, 30, 5, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CArcText arc;
        arc.m_square = CRect(0, 0, 100, 100);
        QByteArray bytes = Store(arc);
        // Patch the fields after the common record: centre, radius, start
        // angle, square.
        QByteArray common;
        {
            CArchive w(&common, CArchive::store);
            arc.CElement::Serialize(w);
        }
        const qsizetype at = common.size();
        QByteArray fields;
        {
            CArchive w(&fields, CArchive::store);
            w << 50 << 50 << c.radius << c.start << c.square;
        }
        bytes.replace(at, fields.size(), fields);
        CArchive ar(&bytes, CArchive::load);
        CArcText loaded;
        loaded.Serialize(ar);
        EXPECT_EQ(loaded.m_radius, c.wantRadius);
        EXPECT_EQ(loaded.m_startAngle, c.wantStart);
        EXPECT_GE(loaded.m_square.Width(), 0);
        EXPECT_GE(loaded.m_square.Height(), 0);
        EXPECT_LE(qint64(loaded.Picture().width()) * loaded.Picture().height(),
                  CArcText::kMaxPicturePixels);
    }
}

TEST_F(ArcTextTest, DamagedRecordsReadSafely)
{
    auto arc = Drawn({0, 0}, {300, 300});
    arc->SetSampleData(nullptr, QStringLiteral("Special offer"));
    const QByteArray seed = Store(*arc);
    std::mt19937 rng(1126);
    for (int i = 0; i < 400; ++i) {
        QByteArray bytes = DamagedCopy(seed, rng);
        CArchive ar(&bytes, CArchive::load);
        CArcText loaded;
        try {
            loaded.Serialize(ar);
        } catch (const CArchiveException&) {
            continue;
        }
        EXPECT_GE(loaded.m_radius, 0);
        EXPECT_LE(loaded.m_radius, CArcText::kMaxStoredLength);
        EXPECT_GE(loaded.m_startAngle, 0);
        EXPECT_LT(loaded.m_startAngle, 360);
        EXPECT_GE(loaded.m_alignment, 0);
        EXPECT_LE(loaded.m_alignment, 2);
        EXPECT_GE(loaded.m_direction, 0);
        EXPECT_LE(loaded.m_direction, 1);
        EXPECT_LE(qint64(loaded.Picture().width()) * loaded.Picture().height(),
                  CArcText::kMaxPicturePixels);
        // What was read saves and reads back the same.
        const QByteArray again = Store(loaded);
        CArchive ar2(const_cast<QByteArray*>(&again), CArchive::load);
        CArcText reread;
        reread.Serialize(ar2);
        EXPECT_EQ(Store(reread), again);
    }
}

// --- copies, data and export -------------------------------------------------------

TEST_F(ArcTextTest, UndoCopyHasEveryFieldAndItsOwnPicture)
{
    auto arc = Drawn({0, 0}, {300, 300});
    arc->m_colour = MakeRGB(0, 0, 255);
    arc->SetSampleData(nullptr, QStringLiteral("Copy me"));
    std::unique_ptr<CElement> copy(CloneElement(arc.get()));
    ASSERT_NE(copy, nullptr);
    auto* clone = dynamic_cast<CArcText*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(Store(*clone), Store(*arc));
    EXPECT_EQ(clone->Picture(), arc->Picture());
    // Changing the original leaves the copy as it was.
    arc->SetSampleData(nullptr, QStringLiteral("Changed"));
    EXPECT_EQ(clone->m_sampleText, "Copy me");
    EXPECT_NE(clone->Picture(), arc->Picture());
}

TEST_F(ArcTextTest, DataTextShowsUntilDataEntryEnds)
{
    auto arc = Drawn({0, 0}, {300, 300});
    const QImage sample = arc->Picture();
    arc->m_dataSource = SOURCE_KEYBOARD;
    arc->SetDataText(QStringLiteral("Typed"), SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_EQ(arc->GetText(), "Typed");
    EXPECT_EQ(arc->Picture(), sample); // not rendered until the data is final
    arc->SetDataText(QStringLiteral("Typed"), SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_NE(arc->Picture(), sample);
    arc->EndDataEntry();
    EXPECT_EQ(arc->GetText(), arc->GetSampleData());
    EXPECT_EQ(arc->Picture(), sample);
}

TEST_F(ArcTextTest, TextExportWritesABlockWithTheTextAndFont)
{
    auto arc = Drawn({100, 100}, {500, 500});
    arc->m_name = "Arc <1>";
    arc->SetSampleData(nullptr, QStringLiteral("Fish & \"chips\""));
    QByteArray out;
    {
        CTextExportFile file(&out);
        arc->WriteXml(file);
    }
    const QString text = QString::fromLatin1(out);
    EXPECT_TRUE(text.startsWith("  <arc-text>\r\n\r\n")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("\r\n  </arc-text>\r\n\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("    <name=\"Arc &lt;1&gt;\"/>\r\n"));
    EXPECT_TRUE(text.contains("    <centre units=\"TMM\" x=\"300\" y=\"300\"/>\r\n"));
    EXPECT_TRUE(text.contains("    <radius units=\"TMM\" value=\"200\"/>\r\n"));
    EXPECT_TRUE(text.contains("    <start-angle=\"270\"/>\r\n"));
    EXPECT_TRUE(text.contains("    <font>\r\n\r\n        <name=\"Arial\"/>\r\n"));
    EXPECT_TRUE(text.contains("    <sample-data>Fish &amp; &quot;chips&quot;</sample-data>\r\n"));
}

} // namespace
