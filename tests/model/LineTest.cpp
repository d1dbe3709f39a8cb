// Lines: the record, the outline band and its rounding, end styles as drawn,
// handles, creation, turning, tracking, undo copies and the text export.
#include "Line.h"
#include "AppContext.h"
#include "Box.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "ExportBlock.h"
#include "Messages.h"
#include "ModelClasses.h"
#include "TestElements.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <climits>

#include <algorithm>
#include <memory>
#include <numbers>
#include <ostream>
#include <vector>

static void PrintTo(const CPoint& p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}
static void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "CRect(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr COLORREF kRed = MakeRGB(255, 0, 0);
constexpr COLORREF kBlue = MakeRGB(0, 0, 255);
constexpr double kPi = std::numbers::pi;

class LineTest : public RealElementTest
{
};

void Set(CLine& line, CPoint start, CPoint end, int thickness = 10)
{
    line.m_thickness = thickness;
    line.SetPoints(nullptr, start, end);
}

// A line record after a full common record, thickness and a start x given.
QByteArray LineRecord(int startX, int thickness)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    CElement common;
    common.m_name = "Line4";
    common.Serialize(ar);
    ar << CPoint(startX, 5) << CPoint(60, 70) << DWORD(thickness) << DWORD(kRed) << DWORD(3)
       << DWORD(2);
    return bytes;
}

} // namespace

// --- factory, defaults and records -------------------------------------------

TEST_F(LineTest, FactoryMakesLinesWithTheirDefaults)
{
    CLine plain;
    EXPECT_EQ(plain.m_thickness, 10);
    EXPECT_EQ(plain.m_colour, 0u);
    EXPECT_EQ(plain.m_lineValue, 0);
    EXPECT_EQ(plain.m_endStyle, LINE_END_SQUARE);

    CLineDefaults& defaults = App().Get<CLineDefaults>();
    defaults.thickness = 30;
    defaults.colour = kRed;
    defaults.lineStyle = 4;
    defaults.endStyle = LINE_END_ROUND;
    CElement* first = list.CreateElement("CLine");
    CElement* second = list.CreateElement("CLine");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetRuntimeClass(), RUNTIME_CLASS(CLine));
    EXPECT_EQ(first->m_name, "Line1");
    EXPECT_EQ(second->m_name, "Line2");
    EXPECT_EQ(first->GetTypeCode(), TYPE_LINE);
    const auto* line = static_cast<CLine*>(first);
    EXPECT_EQ(line->m_thickness, 30);
    EXPECT_EQ(line->m_colour, kRed);
    EXPECT_EQ(line->m_lineValue, 4);
    EXPECT_EQ(line->m_endStyle, LINE_END_ROUND);
    EXPECT_EQ(line->m_nativePrint, 0);
}

TEST_F(LineTest, RecordRoundTrip)
{
    auto* line = static_cast<CLine*>(list.CreateElement("CLine"));
    Set(*line, {-20, 30}, {400, 130}, 14);
    line->m_colour = kBlue;
    line->m_lineValue = 7;
    line->m_endStyle = LINE_END_POINTED;

    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        list.Serialize(ar);
    }
    // after the common record: two points, then four DWORDs
    EXPECT_EQ(bytes.right(32), QByteArray("\xEC\xFF\xFF\xFF\x1E\0\0\0\x90\x01\0\0\x82\0\0\0"
                                          "\x0E\0\0\0\0\0\xFF\0\x07\0\0\0\x03\0\0\0",
                                          32));

    CElementList loaded;
    CArchive ar(&bytes, CArchive::load);
    loaded.Serialize(ar);
    EXPECT_EQ(ar.BytesRemaining(), 0);
    ASSERT_EQ(loaded.GetCount(), 1);
    ASSERT_EQ(loaded.GetAt(0)->GetRuntimeClass(), RUNTIME_CLASS(CLine));
    const auto* r = static_cast<CLine*>(loaded.GetAt(0));
    EXPECT_EQ(r->m_name, "Line1");
    EXPECT_EQ(r->m_start, CPoint(-20, 30));
    EXPECT_EQ(r->m_end, CPoint(400, 130));
    EXPECT_EQ(r->m_thickness, 14);
    EXPECT_EQ(r->m_colour, kBlue);
    EXPECT_EQ(r->m_lineValue, 7);
    EXPECT_EQ(r->m_endStyle, LINE_END_POINTED);
    EXPECT_EQ(r->m_bounds, line->m_bounds) << "the outline is recomputed on load";
}

TEST_F(LineTest, DamagedRecordsRaiseTheArchiveError)
{
    {
        QByteArray bytes = LineRecord(10, 10);
        CArchive ar(&bytes, CArchive::load);
        CLine line;
        line.Serialize(ar);
        EXPECT_EQ(line.m_start, CPoint(10, 5));
        EXPECT_EQ(line.m_lineValue, 3);
        EXPECT_EQ(line.m_endStyle, 2);
    }
    struct Case
    {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"negative thickness", LineRecord(10, -5)},
        {"thickness beyond any sign", LineRecord(10, 0x40000000)},
        {"coordinate beyond any sign", LineRecord(-0x40000000, 10)},
        {"lowest coordinate", LineRecord(INT_MIN, 10)},
        {"cut short", LineRecord(10, 10).chopped(2)},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        CArchive ar(&bytes, CArchive::load);
        CLine line;
        EXPECT_THROW(line.Serialize(ar), CArchiveException) << c.what;
    }
}

// --- outline -----------------------------------------------------------------

TEST_F(LineTest, OutlineOfAHorizontalLine)
{
    CLine line;
    Set(line, {0, 0}, {100, 0}, 10);
    const CPoint expected[12] = {{0, -5},  {5, -5}, {10, -5}, {90, -5}, {95, -5}, {100, -5},
                                 {100, 5}, {95, 5}, {90, 5},  {10, 5},  {5, 5},   {0, 5}};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(line.m_outline[i], expected[i]) << "P" << i;
    EXPECT_EQ(line.m_bounds, CRect(0, -5, 100, 5));
}

TEST_F(LineTest, BandIsTheSameWhicheverWayTheLineRuns)
{
    // The half-thickness offsets round half away from zero, so a line and
    // its reverse cover the same band.
    struct Case
    {
        CPoint a, b;
        int thickness;
        CRect bounds;
    };
    const Case cases[] = {
        {{0, 0}, {100, 0}, 10, {0, -5, 100, 5}},  {{0, 0}, {0, 100}, 10, {-5, 0, 5, 100}},
        {{0, 0}, {30, 40}, 10, {-4, -3, 34, 43}}, {{0, 0}, {100, 0}, 9, {0, -5, 100, 5}},
        {{0, 0}, {100, 0}, 3, {0, -2, 100, 2}},
    };
    for (const Case& c : cases) {
        CLine forward, backward;
        Set(forward, c.a, c.b, c.thickness);
        Set(backward, c.b, c.a, c.thickness);
        EXPECT_EQ(forward.m_bounds, c.bounds) << c.b.x << "," << c.b.y << " t" << c.thickness;
        EXPECT_EQ(backward.m_bounds, c.bounds) << "reversed " << c.b.x << "," << c.b.y;
    }
}

TEST_F(LineTest, OrientationFollowsTheDirection)
{
    struct Case
    {
        CPoint a, b;
        int orientation;
    };
    const Case cases[] = {
        {{0, 0}, {10, 10}, 0},  {{0, 0}, {10, -10}, 270}, {{0, 0}, {10, 0}, 270},
        {{10, 0}, {0, 10}, 90}, {{0, 0}, {0, 10}, 90},    {{10, 10}, {0, 0}, 180},
        {{0, 10}, {0, 0}, 180}, {{10, 0}, {0, 0}, 180},
    };
    for (const Case& c : cases) {
        CLine line;
        Set(line, c.a, c.b);
        EXPECT_EQ(line.m_orientation, c.orientation)
            << c.a.x << "," << c.a.y << " to " << c.b.x << "," << c.b.y;
    }
}

// --- drawing -----------------------------------------------------------------

TEST_F(LineTest, LineOfAGivenThicknessAtItsPlace)
{
    struct Case
    {
        CPoint a, b;
        int thickness;
        CRect ink;
    };
    const Case cases[] = {
        {{10, 50}, {90, 50}, 10, {10, 45, 90, 55}},
        {{10, 50}, {90, 50}, 20, {10, 40, 90, 60}},
        {{90, 50}, {10, 50}, 20, {10, 40, 90, 60}},
        {{50, 10}, {50, 90}, 4, {48, 10, 52, 90}},
    };
    for (const Case& c : cases) {
        CLine line;
        Set(line, c.a, c.b, c.thickness);
        line.m_colour = kRed;
        const QImage image = Render(line, 100, 100);
        EXPECT_EQ(InkBounds(image), c.ink) << c.a.x << "," << c.a.y << " t" << c.thickness;
        EXPECT_EQ(QColor(image.pixel(50, 50)), QColor(Qt::red));
    }
}

TEST_F(LineTest, EndStylesShapeTheEndsOfThickLines)
{
    struct Case
    {
        int style;
        int thickness;
        CPoint pixel;
        bool ink;
    };
    // a line from (10, 50) to (90, 50); its band runs from y 45 to 55
    const Case cases[] = {
        {LINE_END_SQUARE, 10, {10, 45}, true},
        {LINE_END_SQUARE, 10, {10, 50}, true},
        {LINE_END_ROUND, 10, {10, 45}, false},
        {LINE_END_ROUND, 10, {10, 50}, true},
        {LINE_END_ROUND, 10, {90, 55}, false},
        {LINE_END_ROUND, 10, {15, 45}, true},
        {LINE_END_NOTCHED, 10, {12, 50}, false}, // inside the V
        {LINE_END_NOTCHED, 10, {88, 50}, false},
        {LINE_END_NOTCHED, 10, {10, 45}, true},
        {LINE_END_NOTCHED, 10, {18, 46}, true},
        {LINE_END_POINTED, 10, {10, 45}, false},
        {LINE_END_POINTED, 10, {12, 46}, false},
        {LINE_END_POINTED, 10, {12, 50}, true},
        {LINE_END_POINTED, 10, {88, 50}, true},
        {7, 10, {12, 50}, false}, // an unknown style leaves the ends off
        {7, 10, {50, 50}, true},
        // below thickness 10 the band is plain whatever the style
        {LINE_END_ROUND, 9, {10, 45}, true},
        {LINE_END_NOTCHED, 9, {12, 50}, true},
        {LINE_END_POINTED, 9, {10, 45}, true},
        {7, 9, {12, 50}, true},
    };
    for (const Case& c : cases) {
        CLine line;
        Set(line, {10, 50}, {90, 50}, c.thickness);
        line.m_endStyle = c.style;
        const QImage image = Render(line, 100, 100);
        EXPECT_EQ(!IsWhite(image, c.pixel.x, c.pixel.y), c.ink)
            << "style " << c.style << " t" << c.thickness << " at " << c.pixel.x << ","
            << c.pixel.y;
        EXPECT_TRUE(IsWhite(image, 50, 44)) << c.style;
        EXPECT_TRUE(IsWhite(image, 50, 56)) << c.style;
    }
}

// --- handles, hit areas and creation -------------------------------------------

TEST_F(LineTest, StraightLinesOfferOnlyTheirEndHandles)
{
    struct Case
    {
        CPoint a, b;
        std::vector<int> enabled;
    };
    const Case cases[] = {
        {{100, 100}, {300, 100}, {HANDLE_RIGHT, HANDLE_LEFT}},
        {{100, 100}, {100, 300}, {HANDLE_TOP, HANDLE_BOTTOM}},
        {{100, 100}, {300, 250}, {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        auto* line = static_cast<CLine*>(list.CreateElement("CLine"));
        Set(*line, c.a, c.b);
        line->Select(nullptr, 2);
        for (int i = 0; i < 8; ++i) {
            const bool enabled =
                std::find(c.enabled.begin(), c.enabled.end(), i) != c.enabled.end();
            const CPoint centre = line->m_handles[i].CenterPoint();
            EXPECT_EQ(line->IsHandleEnabled(i), enabled ? TRUE : FALSE) << i;
            EXPECT_EQ(line->HitTestHandle(centre.x, centre.y), enabled ? i : -1)
                << "handle " << i << " of " << c.b.x << "," << c.b.y;
        }
        list.RemoveAndDelete(line);
    }
}

TEST_F(LineTest, HitAreaIsTheBand)
{
    auto* line = static_cast<CLine*>(list.CreateElement("CLine"));
    Set(*line, {100, 200}, {300, 200}, 20);
    EXPECT_EQ(list.HitTest(200, 200), line);
    EXPECT_EQ(list.HitTest(200, 191), line);
    EXPECT_EQ(list.HitTest(200, 189), nullptr);
    EXPECT_EQ(list.HitTest(200, 211), nullptr);
    EXPECT_EQ(list.HitTest(99, 200), nullptr);
}

TEST_F(LineTest, ConstrainedCreationKeepsToTheLongerAxis)
{
    struct Case
    {
        CPoint to;
        bool constrain;
        CPoint end;
    };
    const Case cases[] = {
        {{105, 105}, true, {100, 105}}, // equal offsets: vertical
        {{106, 105}, true, {106, 100}}, {{95, 110}, true, {100, 110}},
        {{40, 90}, true, {40, 100}},    {{130, 140}, false, {130, 140}},
    };
    for (const Case& c : cases) {
        CLine line;
        line.BeginCreate(nullptr, 100, 100);
        EXPECT_EQ(line.m_end, CPoint(100, 100));
        line.TrackCreate(nullptr, c.to.x, c.to.y, c.constrain);
        EXPECT_EQ(line.m_start, CPoint(100, 100));
        EXPECT_EQ(line.m_end, c.end) << c.to.x << "," << c.to.y;
    }
}

// --- turning -----------------------------------------------------------------

TEST_F(LineTest, RotateTurnsTheEndAboutTheStart)
{
    struct Case
    {
        double angle;
        CPoint end;
    };
    // from (0, 0) to (3, 4); the turned end rounds half away from zero
    const Case cases[] = {
        {kPi / 2, {-4, 3}},  {kPi, {-3, -4}},   {3 * kPi / 2, {4, -3}},
        {-kPi / 2, {4, -3}}, {2 * kPi, {3, 4}},
    };
    for (const Case& c : cases) {
        App().general.rotationAngle = c.angle;
        CLine line;
        Set(line, {0, 0}, {3, 4});
        line.Rotate(nullptr);
        EXPECT_EQ(line.m_start, CPoint(0, 0)) << c.angle;
        EXPECT_EQ(line.m_end, c.end) << c.angle;
    }

    App().general.rotationAngle = kPi / 2;
    CLine line;
    Set(line, {50, 50}, {150, 80});
    for (int i = 0; i < 4; ++i)
        line.Rotate(nullptr);
    EXPECT_EQ(line.m_end, CPoint(150, 80));
}

TEST_F(LineTest, RotateAboutTurnsBothPoints)
{
    App().general.rotationAngle = kPi / 2;
    CLine line;
    Set(line, {110, 100}, {130, 90});
    line.RotateAbout(nullptr, CPoint(100, 100));
    EXPECT_EQ(line.m_start, CPoint(100, 110));
    EXPECT_EQ(line.m_end, CPoint(110, 130));

    App().general.rotationAngle = kPi / 4;
    Set(line, {110, 100}, {100, 100});
    line.RotateAbout(nullptr, CPoint(100, 100));
    EXPECT_EQ(line.m_start, CPoint(107, 107));
    EXPECT_EQ(line.m_end, CPoint(100, 100));
}

// --- tracking and setting bounds ---------------------------------------------

TEST_F(LineTest, EndsFollowTheEdgesOfTheTrackingRect)
{
    struct Case
    {
        CPoint a, b;
        int handle; // -1: move
        int dx, dy;
        CPoint start, end;
    };
    const Case cases[] = {
        {{100, 100}, {200, 150}, -1, 10, 20, {110, 120}, {210, 170}},
        {{200, 150}, {100, 100}, -1, -5, 5, {195, 155}, {95, 105}},
        {{100, 100}, {200, 100}, HANDLE_RIGHT, 30, 0, {100, 100}, {230, 100}},
        {{100, 100}, {200, 100}, HANDLE_LEFT, -20, 0, {80, 100}, {200, 100}},
        {{200, 100}, {100, 100}, HANDLE_LEFT, -20, 0, {200, 100}, {80, 100}},
        {{200, 150}, {100, 100}, HANDLE_TOP_LEFT, -10, -10, {200, 150}, {90, 90}},
        {{100, 100}, {100, 200}, HANDLE_BOTTOM, 0, 25, {100, 100}, {100, 225}},
        {{100, 200}, {200, 100}, HANDLE_TOP_RIGHT, 10, -10, {100, 200}, {210, 90}},
        {{200, 100}, {100, 200}, HANDLE_BOTTOM_LEFT, -10, 10, {200, 100}, {90, 210}},
    };
    for (const Case& c : cases) {
        CLine line;
        Set(line, c.a, c.b);
        line.Select(nullptr, 2);
        if (c.handle < 0) {
            line.BeginMove(nullptr);
            line.TrackMove(nullptr, c.dx, c.dy);
            line.EndMove(nullptr);
        } else {
            line.BeginResize(nullptr, c.handle);
            line.TrackResize(nullptr, c.dx, c.dy, FALSE);
            line.EndResize(nullptr);
        }
        EXPECT_EQ(line.m_start, c.start)
            << "handle " << c.handle << " from " << c.a.x << "," << c.a.y;
        EXPECT_EQ(line.m_end, c.end) << "handle " << c.handle << " from " << c.a.x << "," << c.a.y;
    }
}

TEST_F(LineTest, SetBoundsLaysTheLineAcrossTheRectByItsDirection)
{
    struct Case
    {
        CPoint a, b;
        CPoint start, end;
    };
    const CRect rect(10, 20, 110, 60);
    const Case cases[] = {
        {{0, 0}, {100, 0}, {10, 40}, {110, 40}},
        {{0, 0}, {100, 96}, {10, 40}, {110, 40}},  // 44 degrees
        {{0, 0}, {1, 1000}, {60, 20}, {60, 60}},   // 89.9 degrees
        {{0, 0}, {-100, 100}, {60, 20}, {60, 60}}, // 135 degrees
        {{0, 0}, {0, 100}, {60, 20}, {60, 60}},
        {{100, 0}, {0, 0}, {110, 40}, {10, 40}},
        {{0, 100}, {0, 0}, {60, 60}, {60, 20}},
        {{0, 0}, {1000, -5}, {10, 40}, {110, 40}}, // just short of a full turn
    };
    for (const Case& c : cases) {
        CLine line;
        Set(line, c.a, c.b);
        line.SetBounds(nullptr, rect);
        EXPECT_EQ(line.m_start, c.start) << c.b.x << "," << c.b.y;
        EXPECT_EQ(line.m_end, c.end) << c.b.x << "," << c.b.y;
        EXPECT_EQ(line.m_startRect, rect);
    }
}

// --- copies and colours ------------------------------------------------------

TEST_F(LineTest, CopiesKeepClassAndContent)
{
    CLine line;
    Set(line, {1, 2}, {300, 4}, 22);
    line.m_name = "Rule";
    line.m_colour = kRed;
    line.m_lineValue = 9;
    line.m_endStyle = LINE_END_NOTCHED;
    std::unique_ptr<CElement> copy(CloneElement(&line));
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->GetRuntimeClass(), RUNTIME_CLASS(CLine));
    const auto* c = static_cast<CLine*>(copy.get());
    EXPECT_EQ(c->m_name, "Rule");
    EXPECT_EQ(c->m_start, CPoint(1, 2));
    EXPECT_EQ(c->m_end, CPoint(300, 4));
    EXPECT_EQ(c->m_thickness, 22);
    EXPECT_EQ(c->m_colour, kRed);
    EXPECT_EQ(c->m_lineValue, 9);
    EXPECT_EQ(c->m_endStyle, LINE_END_NOTCHED);
    EXPECT_EQ(c->m_bounds, line.m_bounds);

    CTestLine stranger;
    EXPECT_EQ(CloneElement(&stranger), nullptr);
}

TEST_F(LineTest, CopyingColoursTakesTheMainColour)
{
    CBox box;
    box.m_outlineColour = kBlue;
    box.m_fillColour = kRed;
    box.m_fillInterior = 1;
    CLine line;
    line.CopyColoursFrom(&box);
    EXPECT_EQ(line.m_colour, kBlue);
    COLORREF colour = 0;
    EXPECT_TRUE(line.GetColour(colour));
    EXPECT_EQ(colour, kBlue);

    CElement colourless;
    line.CopyColoursFrom(&colourless);
    EXPECT_EQ(line.m_colour, kBlue);
}

// --- text export -------------------------------------------------------------

TEST_F(LineTest, AngleOfTheExportIsAWholeDegreeFrom0To359)
{
    struct Case
    {
        CPoint end;
        int degrees;
    };
    const Case cases[] = {
        {{100, 0}, 0},    {{0, 100}, 90},    {{-100, 0}, 180}, {{0, -100}, 270}, {{100, 1}, 1},
        {{100, -1}, 359}, {{-100, -1}, 181}, {{-100, 1}, 179}, {{30, 40}, 53},   {{-30, -40}, 233},
    };
    for (const Case& c : cases) {
        CLine line;
        Set(line, {0, 0}, c.end);
        EXPECT_EQ(line.GetAngleDegrees(), c.degrees) << c.end.x << "," << c.end.y;
    }
}

TEST_F(LineTest, TextExportBlock)
{
    auto* line = static_cast<CLine*>(list.CreateElement("CLine"));
    Set(*line, {100, 200}, {100, 100}, 12);
    line->m_colour = MakeRGB(0x12, 0x34, 0x56);
    line->m_endStyle = LINE_END_NOTCHED;
    line->m_lineValue = 5; // not exported
    line->m_prompt = "Cut <here>";

    QByteArray out;
    {
        CTextExportFile file(&out);
        line->WriteXml(file);
    }
    EXPECT_EQ(out, "  <line>\r\n\r\n" + ElementExportBlock("Line1", "Cut &lt;here&gt;") +
                       "    <position units=\"TMM\" x=\"100\" y=\"200\"/>\r\n"
                       "    <length units=\"TMM\" value=\"100\"/>\r\n"
                       "    <angle=\"270\"/>\r\n"
                       "    <thickness units=\"TMM\" value=\"12\"/>\r\n"
                       "    <colour=\"#123456\"/>\r\n"
                       "    <end-style=\"2\"/>\r\n"
                       "\r\n  </line>\r\n\r\n");
}
