// Boxes and ellipses: records and their version gates, creation, drawing,
// turning, tracking, undo copies, colours as data and the text export.
#include "Box.h"
#include "AppContext.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "ExportBlock.h"
#include "Line.h"
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
constexpr COLORREF kGreen = MakeRGB(0, 255, 0);
constexpr double kPi = std::numbers::pi;

class BoxTest : public RealElementTest
{
};

// A box (or ellipse) at orientation 0 covering left..right and top..bottom.
template <class T = CBox> T* Place(T* box, int left, int top, int right, int bottom)
{
    box->SetBounds(nullptr, CRect(left, top, right, bottom));
    return box;
}

QColor PixelAt(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// A box record as files of a given version hold it, followed by a marker
// that the reader must leave unread.
QByteArray BoxRecord(int version, const CPoint (&points)[4], int thickness, int radius)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    if (version < 110) {
        ar << QString("Box7") << DWORD(0) << DWORD(0) << QString("Box7") << QString() << DWORD(1)
           << DWORD(0);
    } else {
        CElement common;
        common.m_name = "Box7";
        common.Serialize(ar);
    }
    for (const CPoint& p : points)
        ar << p;
    ar << DWORD(thickness) << DWORD(kRed) << DWORD(1) << DWORD(kBlue) << DWORD(1);
    if (version >= 105)
        ar << DWORD(radius);
    ar << DWORD(0xDEADBEEF);
    return bytes;
}

class CFixedLink : public CDataLinkSeam
{
public:
    QString value;
    int GetLinkKind() const override { return 0; }
    QString GetFieldValue(const QString&) override { return value; }
    int GetStoreRecordCount() override { return 0; }
    bool TableHasColumn(const QString&) override { return true; }
};

} // namespace

// --- factory, defaults and records -------------------------------------------

TEST_F(BoxTest, FactoryMakesBoxesAndEllipsesWithTheirDefaults)
{
    CBoxDefaults& boxes = App().Get<CBoxDefaults>();
    boxes.thickness = 25;
    boxes.outlineColour = kRed;
    boxes.fillInterior = 1;
    boxes.fillColour = kBlue;
    boxes.cornerType = CORNER_CHAMFERED;
    boxes.cornerRadius = 15;
    CEllipseDefaults& ellipses = App().Get<CEllipseDefaults>();
    ellipses.thickness = 7;
    ellipses.outlineColour = kGreen;

    CElement* box = list.CreateElement("CBox");
    CElement* ellipse = list.CreateElement("CEllipse");
    CElement* second = list.CreateElement("CBox");
    ASSERT_NE(box, nullptr);
    ASSERT_NE(ellipse, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(list.CreateElement("cbox"), nullptr);

    EXPECT_EQ(box->GetRuntimeClass(), RUNTIME_CLASS(CBox));
    EXPECT_EQ(ellipse->GetRuntimeClass(), RUNTIME_CLASS(CEllipse));
    EXPECT_EQ(box->m_name, "Box1");
    EXPECT_EQ(box->m_prompt, "Box1");
    EXPECT_EQ(ellipse->m_name, "Ellipse1");
    EXPECT_EQ(second->m_name, "Box2");
    EXPECT_EQ(box->GetTypeCode(), TYPE_BOX);
    EXPECT_EQ(ellipse->GetTypeCode(), TYPE_ELLIPSE);

    const auto* b = static_cast<CBox*>(box);
    EXPECT_EQ(b->m_thickness, 25);
    EXPECT_EQ(b->m_outlineColour, kRed);
    EXPECT_EQ(b->m_fillInterior, 1);
    EXPECT_EQ(b->m_fillColour, kBlue);
    EXPECT_EQ(b->m_cornerType, CORNER_CHAMFERED);
    EXPECT_EQ(b->m_cornerRadius, 15);
    EXPECT_EQ(b->m_nativePrint, 0);

    // an ellipse takes its own outline and fill defaults over the box's
    const auto* e = static_cast<CEllipse*>(ellipse);
    EXPECT_EQ(e->m_thickness, 7);
    EXPECT_EQ(e->m_outlineColour, kGreen);
    EXPECT_EQ(e->m_fillInterior, 0);
    EXPECT_EQ(e->m_fillColour, MakeRGB(255, 255, 255));
}

TEST_F(BoxTest, DefaultsMatchTheShippedPreferences)
{
    CBox box;
    EXPECT_EQ(box.m_thickness, 10);
    EXPECT_EQ(box.m_outlineColour, 0u);
    EXPECT_EQ(box.m_fillInterior, 0);
    EXPECT_EQ(box.m_fillColour, 16777215u);
    EXPECT_EQ(box.m_cornerType, 0);
    EXPECT_EQ(box.m_cornerRadius, 40);
}

TEST_F(BoxTest, ListRoundTripKeepsClassesAndContent)
{
    auto* box = static_cast<CBox*>(list.CreateElement("CBox"));
    Place(box, 10, 20, 110, 70);
    App().general.rotationAngle = kPi / 2;
    box->Rotate(nullptr); // orientation 90
    box->m_thickness = 12;
    box->m_outlineColour = kRed;
    box->m_fillInterior = 1;
    box->m_fillColour = kBlue;
    box->m_cornerType = CORNER_ROUNDED;
    box->m_cornerRadius = 33;
    auto* ellipse = static_cast<CEllipse*>(list.CreateElement("CEllipse"));
    Place(ellipse, 5, 6, 7, 8);
    ellipse->m_fillInterior = 1;

    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        list.Serialize(ar);
    }
    CElementList loaded;
    CArchive ar(&bytes, CArchive::load);
    loaded.Serialize(ar);
    EXPECT_EQ(ar.BytesRemaining(), 0);
    ASSERT_EQ(loaded.GetCount(), 2);

    ASSERT_EQ(loaded.GetAt(0)->GetRuntimeClass(), RUNTIME_CLASS(CBox));
    const auto* b = static_cast<CBox*>(loaded.GetAt(0));
    EXPECT_EQ(b->m_name, "Box1");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(b->m_points[i], box->m_points[i]) << "point " << i;
    EXPECT_EQ(b->m_orientation, 90);
    EXPECT_EQ(b->m_bounds, box->m_bounds);
    EXPECT_EQ(b->m_thickness, 12);
    EXPECT_EQ(b->m_outlineColour, kRed);
    EXPECT_EQ(b->m_fillInterior, 1);
    EXPECT_EQ(b->m_fillColour, kBlue);
    EXPECT_EQ(b->m_cornerType, CORNER_ROUNDED);
    EXPECT_EQ(b->m_cornerRadius, 33);

    ASSERT_EQ(loaded.GetAt(1)->GetRuntimeClass(), RUNTIME_CLASS(CEllipse));
    const auto* e = static_cast<CEllipse*>(loaded.GetAt(1));
    EXPECT_EQ(e->m_name, "Ellipse1");
    EXPECT_EQ(e->m_points[2], CPoint(7, 8));
    EXPECT_EQ(e->m_fillInterior, 1);
}

TEST_F(BoxTest, CornerRadiusIsReadFromVersion105)
{
    const CPoint points[4] = {{10, 20}, {60, 20}, {60, 45}, {10, 45}};
    struct Case
    {
        int version;
        int radius;
    };
    for (const Case c : {Case{104, 40}, Case{105, 70}, Case{514, 70}}) {
        App().fileVersion = c.version;
        QByteArray bytes = BoxRecord(c.version, points, 8, 70);
        CArchive ar(&bytes, CArchive::load);
        CBox box;
        box.Serialize(ar);
        EXPECT_EQ(ar.ReadDWord(), 0xDEADBEEFu) << "record length of version " << c.version;
        EXPECT_EQ(box.m_cornerRadius, c.radius) << c.version;
        EXPECT_EQ(box.m_name, "Box7");
        EXPECT_EQ(box.m_points[2], CPoint(60, 45));
        EXPECT_EQ(box.m_thickness, 8);
        EXPECT_EQ(box.m_outlineColour, kRed);
        EXPECT_EQ(box.m_fillColour, kBlue);
        EXPECT_EQ(box.m_cornerType, CORNER_ROUNDED);
        EXPECT_EQ(box.m_bounds, CRect(10, 20, 60, 45)) << "bounds follow the points on load";
    }
}

TEST_F(BoxTest, DamagedRecordsRaiseTheArchiveError)
{
    const CPoint good[4] = {{10, 20}, {60, 20}, {60, 45}, {10, 45}};
    const CPoint far[4] = {{10, 20}, {60, 20}, {60, 0x7FFFFFF0}, {10, 45}};
    // the one value whose magnitude no int holds
    const CPoint lowest[4] = {{10, 20}, {INT_MIN, 20}, {60, 45}, {10, 45}};
    struct Case
    {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"negative thickness", BoxRecord(514, good, -1, 40)},
        {"coordinate beyond any sign", BoxRecord(514, far, 10, 40)},
        {"lowest coordinate", BoxRecord(514, lowest, 10, 40)},
        {"cut short", BoxRecord(514, good, 10, 40).chopped(10)},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        CArchive ar(&bytes, CArchive::load);
        CBox box;
        EXPECT_THROW(box.Serialize(ar), CArchiveException) << c.what;
    }
}

// --- creation ----------------------------------------------------------------

TEST_F(BoxTest, CreationHoldsTheSizeAndNormalisesTheCorners)
{
    struct Case
    {
        CPoint to;
        bool constrain;
        CPoint p0, p2; // after EndCreate
    };
    const Case cases[] = {
        {{101, 101}, false, {100, 100}, {103, 103}}, // 1 by 1 becomes 3 by 3
        {{100, 100}, false, {100, 100}, {103, 103}},
        {{99, 99}, false, {97, 97}, {100, 100}},         // towards negative: -3
        {{40000, 150}, false, {100, 100}, {32866, 150}}, // at most 32766
        {{150, 120}, true, {100, 100}, {150, 150}},      // a square of the larger side
        {{40, 130}, true, {40, 100}, {100, 160}},
        // dragged up and left, up and right, down and left: point 0 ends
        // top-left and point 2 bottom-right
        {{20, 30}, false, {20, 30}, {100, 100}},
        {{180, 30}, false, {100, 30}, {180, 100}},
        {{20, 170}, false, {20, 100}, {100, 170}},
    };
    for (const Case& c : cases) {
        CBox box;
        box.BeginCreate(nullptr, 100, 100);
        box.TrackCreate(nullptr, c.to.x, c.to.y, c.constrain);
        box.EndCreate(nullptr, 0);
        EXPECT_EQ(box.m_points[0], c.p0) << "to " << c.to.x << "," << c.to.y;
        EXPECT_EQ(box.m_points[2], c.p2) << "to " << c.to.x << "," << c.to.y;
        EXPECT_EQ(box.m_points[1], CPoint(c.p2.x, c.p0.y));
        EXPECT_EQ(box.m_points[3], CPoint(c.p0.x, c.p2.y));
        EXPECT_EQ(box.m_orientation, 0);
    }
}

// --- drawing -----------------------------------------------------------------

TEST_F(BoxTest, InsideFrameOutlineStaysWithinTheBox)
{
    CBox box;
    Place(&box, 10, 10, 49, 29);
    box.m_thickness = 4;
    box.m_outlineColour = kRed;
    const QImage image = Render(box, 60, 40);
    EXPECT_EQ(InkBounds(image), CRect(10, 10, 49, 29));
    EXPECT_EQ(PixelAt(image, 13, 20), QColor(Qt::red)); // the left side, 4 wide
    EXPECT_TRUE(IsWhite(image, 14, 20));                // unfilled inside
    EXPECT_EQ(PixelAt(image, 30, 26), QColor(Qt::red));
    EXPECT_TRUE(IsWhite(image, 30, 25));

    box.m_fillInterior = 1;
    box.m_fillColour = kBlue;
    const QImage filled = Render(box, 60, 40);
    EXPECT_EQ(InkBounds(filled), CRect(10, 10, 49, 29));
    EXPECT_EQ(PixelAt(filled, 14, 20), QColor(Qt::blue));
    EXPECT_EQ(PixelAt(filled, 47, 25), QColor(Qt::red));
}

TEST_F(BoxTest, CornersCutAwayLeaveTheCornerPixelsWhite)
{
    struct Case
    {
        int cornerType;
        bool cornerWhite;
    };
    for (const Case c :
         {Case{CORNER_SQUARE, false}, Case{CORNER_ROUNDED, true}, Case{CORNER_CHAMFERED, true}}) {
        CBox box;
        Place(&box, 0, 0, 99, 49);
        box.m_cornerType = c.cornerType;
        box.m_cornerRadius = 40;
        box.m_fillInterior = 1;
        box.m_fillColour = kBlue;
        const QImage image = Render(box, 110, 60);
        for (const CPoint corner : {CPoint(1, 1), CPoint(98, 1), CPoint(98, 48), CPoint(1, 48)})
            EXPECT_EQ(IsWhite(image, corner.x, corner.y), c.cornerWhite)
                << "corner type " << c.cornerType << " at " << corner.x << "," << corner.y;
        EXPECT_FALSE(IsWhite(image, 50, 2)) << c.cornerType; // the top edge is there
        EXPECT_FALSE(IsWhite(image, 2, 25)) << c.cornerType; // and the left edge
        EXPECT_EQ(PixelAt(image, 50, 25), QColor(Qt::blue)) << c.cornerType;
        EXPECT_TRUE(IsWhite(image, 100, 25)) << c.cornerType;
    }
}

TEST_F(BoxTest, RoundedCornerTakesTheSmallerSide)
{
    // 100 by 50 at 20 %: a 10 by 10 corner ellipse (not 20 by 20, which the
    // width alone would give), so the straight edges start 5 from the corner.
    CBox box;
    Place(&box, 0, 0, 99, 49);
    box.m_thickness = 1;
    box.m_cornerType = CORNER_ROUNDED;
    box.m_cornerRadius = 20;
    box.m_fillInterior = 1;
    box.m_fillColour = kBlue;
    const QImage image = Render(box, 110, 60);
    EXPECT_TRUE(IsWhite(image, 0, 0));
    EXPECT_TRUE(IsWhite(image, 1, 0));
    EXPECT_TRUE(IsWhite(image, 0, 1));
    EXPECT_FALSE(IsWhite(image, 2, 2));
    EXPECT_FALSE(IsWhite(image, 6, 0));
    EXPECT_FALSE(IsWhite(image, 0, 6));
}

TEST_F(BoxTest, EllipseIsInscribedInTheBox)
{
    CEllipse ellipse;
    Place(&ellipse, 0, 0, 99, 49);
    ellipse.m_thickness = 3;
    ellipse.m_outlineColour = kRed;
    ellipse.m_fillInterior = 1;
    ellipse.m_fillColour = kBlue;
    const QImage image = Render(ellipse, 110, 60);
    EXPECT_EQ(InkBounds(image), CRect(0, 0, 99, 49));
    EXPECT_EQ(PixelAt(image, 50, 25), QColor(Qt::blue));
    EXPECT_EQ(PixelAt(image, 50, 1), QColor(Qt::red));
    EXPECT_EQ(PixelAt(image, 1, 25), QColor(Qt::red));
    EXPECT_TRUE(IsWhite(image, 3, 3));
    EXPECT_TRUE(IsWhite(image, 96, 46));
}

TEST_F(BoxTest, NothingOutsideTheClipAndOnlyTheTrackerWhileTracking)
{
    CBox box;
    Place(&box, 10, 10, 29, 29);
    box.m_fillInterior = 1;
    box.m_fillColour = kBlue;
    {
        CImageDC dc(40, 40);
        box.Draw(&dc, CRect(30, 30, 40, 40));
        EXPECT_EQ(InkBounds(dc.Image()), CRect(40, 40, -1, -1));
    }
    box.Select(nullptr, 2);
    box.BeginMove(nullptr);
    box.TrackMove(nullptr, 5, 5);
    CImageDC dc(60, 60);
    box.Draw(&dc, CRect(0, 0, 60, 60));
    // the dotted grey tracking frame, not the blue box
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_NE(PixelAt(dc.Image(), x, y), QColor(Qt::blue)) << x << "," << y;
    EXPECT_NE(InkBounds(dc.Image()), CRect(60, 60, -1, -1));
}

// --- turning -----------------------------------------------------------------

TEST_F(BoxTest, RotateTurnsAboutPointZeroAndSquaresTheCorners)
{
    struct Case
    {
        double angle;
        int orientation;
        CPoint p1, p2, p3;
    };
    // a 100 by 50 box from (100, 100); y grows downward, so a positive
    // quarter turn swings the top edge down
    const Case cases[] = {
        {kPi / 2, 90, {100, 200}, {50, 200}, {50, 100}},
        {kPi, 180, {0, 100}, {0, 50}, {100, 50}},
        {3 * kPi / 2, 270, {100, 0}, {150, 0}, {150, 100}},
        {-kPi / 2, 270, {100, 0}, {150, 0}, {150, 100}},
        {2 * kPi, 0, {200, 100}, {200, 150}, {100, 150}},
        // a small angle leaves a wide box where it was
        {kPi / 4, 0, {200, 100}, {200, 150}, {100, 150}},
    };
    for (const Case& c : cases) {
        App().general.rotationAngle = c.angle;
        CBox box;
        Place(&box, 100, 100, 200, 150);
        box.Rotate(nullptr);
        EXPECT_EQ(box.m_orientation, c.orientation) << c.angle;
        EXPECT_EQ(box.m_points[0], CPoint(100, 100)) << c.angle;
        EXPECT_EQ(box.m_points[1], c.p1) << c.angle;
        EXPECT_EQ(box.m_points[2], c.p2) << c.angle;
        EXPECT_EQ(box.m_points[3], c.p3) << c.angle;
        EXPECT_EQ(box.GetUnturnedSize(), CSize(100, 50)) << c.angle;
    }

    // four quarter turns bring the box back
    App().general.rotationAngle = kPi / 2;
    CBox box;
    Place(&box, 100, 100, 200, 150);
    for (int i = 0; i < 4; ++i)
        box.Rotate(nullptr);
    EXPECT_EQ(box.m_points[2], CPoint(200, 150));
    EXPECT_EQ(box.m_orientation, 0);
}

TEST_F(BoxTest, RotateAboutTurnsByTheNearestQuarter)
{
    struct Case
    {
        double degrees;
        CRect bounds;
        int orientation;
    };
    // a 100 by 50 box about (150, 100)
    const Case cases[] = {
        {90, {125, 50, 175, 150}, 90},
        {44, {100, 75, 200, 125}, 0},
        {45, {125, 50, 175, 150}, 90},
        {180, {100, 75, 200, 125}, 180},
        {270, {125, 50, 175, 150}, 270},
        {-90, {125, 50, 175, 150}, 270},
        // -45.7 rounds away from zero to -46, the nearest quarter being -90
        {-45.7, {125, 50, 175, 150}, 270},
        {-44.3, {100, 75, 200, 125}, 0},
    };
    for (const Case& c : cases) {
        App().general.rotationAngle = c.degrees * kPi / 180;
        CBox box;
        Place(&box, 100, 75, 200, 125);
        box.RotateAbout(nullptr, CPoint(150, 100));
        EXPECT_EQ(box.m_bounds, c.bounds) << c.degrees;
        EXPECT_EQ(box.m_orientation, c.orientation) << c.degrees;
    }
}

TEST_F(BoxTest, TurnedBoxDrawsWhereItsPointsAre)
{
    App().general.rotationAngle = kPi / 2;
    CBox box;
    Place(&box, 100, 20, 199, 69);
    box.m_fillInterior = 1;
    box.m_fillColour = kBlue;
    box.m_thickness = 2;
    box.Rotate(nullptr);
    ASSERT_EQ(box.m_orientation, 90);
    EXPECT_EQ(box.m_bounds, CRect(51, 20, 100, 119));
    const QImage image = Render(box, 220, 140);
    // the same units as an unturned box of those bounds
    EXPECT_EQ(InkBounds(image), CRect(51, 20, 100, 119));

    CBox plain;
    Place(&plain, 51, 20, 100, 119);
    plain.m_fillInterior = 1;
    plain.m_fillColour = kBlue;
    plain.m_thickness = 2;
    EXPECT_EQ(Render(plain, 220, 140), image);
}

// --- handles, hit areas and tracking -------------------------------------------

TEST_F(BoxTest, EveryHandleOfASelectedBoxIsLive)
{
    auto* box = static_cast<CBox*>(list.CreateElement("CBox"));
    Place(box, 100, 100, 200, 150);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(box->HitTestHandle(box->m_handles[i].left, box->m_handles[i].top), -1);
    box->Select(nullptr, 2);
    for (int i = 0; i < 8; ++i) {
        const CPoint centre = box->m_handles[i].CenterPoint();
        EXPECT_EQ(box->HitTestHandle(centre.x, centre.y), i);
    }
    box->Select(nullptr, 0);
    EXPECT_EQ(list.HitTest(150, 125), box);
    EXPECT_EQ(list.HitTest(100, 100), box);
    EXPECT_EQ(list.HitTest(201, 125), nullptr);
}

TEST_F(BoxTest, MoveAndResizeMoveTheCornerPoints)
{
    struct Case
    {
        double turn; // radians, before tracking
        int handle;  // -1: move
        int dx, dy;
        CRect bounds;
    };
    const Case cases[] = {
        {0, -1, 30, -20, {130, 80, 230, 130}},
        {0, HANDLE_BOTTOM_RIGHT, 20, 10, {100, 100, 220, 160}},
        {0, HANDLE_TOP_LEFT, -10, 5, {90, 105, 200, 150}},
        {0, HANDLE_LEFT, 150, 0, {200, 100, 250, 150}}, // dragged past the right edge
        {kPi / 2, -1, 10, 10, {60, 110, 110, 210}},
        {kPi / 2, HANDLE_BOTTOM, 0, 30, {50, 100, 100, 230}},
    };
    for (const Case& c : cases) {
        CBox box;
        Place(&box, 100, 100, 200, 150);
        if (c.turn != 0) {
            App().general.rotationAngle = c.turn;
            box.Rotate(nullptr);
        }
        const int orientation = box.m_orientation;
        box.Select(nullptr, 2);
        if (c.handle < 0) {
            box.BeginMove(nullptr);
            box.TrackMove(nullptr, c.dx, c.dy);
            box.EndMove(nullptr);
        } else {
            box.BeginResize(nullptr, c.handle);
            box.TrackResize(nullptr, c.dx, c.dy, FALSE);
            box.EndResize(nullptr);
        }
        box.Select(nullptr, 0);
        EXPECT_EQ(box.m_bounds, c.bounds) << c.handle << " " << c.dx << "," << c.dy;
        EXPECT_EQ(box.m_orientation, orientation) << "a resize keeps the turn";
    }
}

TEST_F(BoxTest, ScalingToNewPaperScalesTheBox)
{
    CBox box;
    Place(&box, 10, 10, 50, 30);
    box.ScaleToPaper(nullptr, 2.0);
    EXPECT_EQ(box.m_points[0], CPoint(20, 20));
    EXPECT_EQ(box.m_points[2], CPoint(100, 60));
    EXPECT_EQ(box.m_state, 0u);
}

// --- undo copies -------------------------------------------------------------

TEST_F(BoxTest, CopiesKeepClassAndContent)
{
    CEllipse ellipse;
    Place(&ellipse, 1, 2, 30, 40);
    ellipse.m_name = "Ellipse3";
    ellipse.m_thickness = 6;
    ellipse.m_fillInterior = 1;
    ellipse.m_fillColour = kGreen;
    ellipse.m_cornerRadius = 12;
    ellipse.SetDataSource(SOURCE_DATABASE, "Colours");

    std::unique_ptr<CElement> copy(CloneElement(&ellipse));
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->GetRuntimeClass(), RUNTIME_CLASS(CEllipse));
    const auto* e = static_cast<CEllipse*>(copy.get());
    EXPECT_EQ(e->m_name, "Ellipse3");
    EXPECT_EQ(e->m_points[2], CPoint(30, 40));
    EXPECT_EQ(e->m_thickness, 6);
    EXPECT_EQ(e->m_fillColour, kGreen);
    EXPECT_EQ(e->m_cornerRadius, 12);
    EXPECT_EQ(e->m_sourceName, "Colours");

    CBox box;
    box.m_cornerType = CORNER_ROUNDED;
    std::unique_ptr<CElement> boxCopy(CloneElement(&box));
    ASSERT_NE(boxCopy, nullptr);
    EXPECT_EQ(boxCopy->GetRuntimeClass(), RUNTIME_CLASS(CBox));
    EXPECT_EQ(static_cast<CBox*>(boxCopy.get())->m_cornerType, CORNER_ROUNDED);

    // an element of another class under the box's type code is not copied
    CTestRect stranger;
    EXPECT_EQ(CloneElement(&stranger), nullptr);
}

TEST_F(BoxTest, UndoOfAChangeBringsTheEllipseBack)
{
    auto* ellipse = static_cast<CEllipse*>(list.CreateElement("CEllipse"));
    Place(ellipse, 10, 10, 60, 40);
    CUndoHistory& history = TheUndoHistory();
    history.Record(UNDO_CHANGED, ellipse);
    ellipse->SetThickness(nullptr, 30);
    ellipse->SetBounds(nullptr, CRect(0, 0, 5, 5));
    ASSERT_TRUE(history.Undo(nullptr));
    ASSERT_EQ(list.GetCount(), 1);
    CElement* restored = list.GetAt(0);
    ASSERT_EQ(restored->GetRuntimeClass(), RUNTIME_CLASS(CEllipse));
    EXPECT_EQ(restored->GetThickness(), 10);
    EXPECT_EQ(restored->m_bounds, CRect(10, 10, 60, 40));
}

// --- colours -----------------------------------------------------------------

TEST_F(BoxTest, ColoursTravelAsSixHexComponents)
{
    CBox box;
    box.m_outlineColour = MakeRGB(0x12, 0xAB, 0x00);
    box.m_fillColour = MakeRGB(0xFF, 0x0F, 0x80);
    EXPECT_EQ(box.GetSampleData(), "12 AB 00 FF 0F 80");

    struct Case
    {
        QString text;
        COLORREF outline, fill;
    };
    const COLORREF oldOutline = box.m_outlineColour;
    const COLORREF oldFill = box.m_fillColour;
    const Case cases[] = {
        {"FF 00 00 00 00 FF", kRed, kBlue},
        {"ff 00 00 00 00 ff", kRed, kBlue},
        {"FF 00 00 00 00 F", oldOutline, oldFill},   // 16 characters
        {"FF 00 00 00 00 FF ", oldOutline, oldFill}, // 18 characters
        {"FF 00 00 GG 00 FF", oldOutline, oldFill},  // not all six are numbers
        {"100 0 00 00 00 FF", oldOutline, oldFill},  // a component above FF
        {"FF 00 00 00 0 100", oldOutline, oldFill},  // the last one above FF
        {"-1 00 00 00 00 FF", oldOutline, oldFill},  // a negative component
        {"", oldOutline, oldFill},
    };
    for (const Case& c : cases) {
        box.m_outlineColour = oldOutline;
        box.m_fillColour = oldFill;
        box.SetDataText(c.text, SOURCE_KEYBOARD, QString(), FALSE);
        EXPECT_EQ(box.m_outlineColour, c.outline) << c.text.toStdString();
        EXPECT_EQ(box.m_fillColour, c.fill) << c.text.toStdString();
    }
}

TEST_F(BoxTest, StartOnlyDataStaysPastTheFirstLabel)
{
    int labelPosition = 0;
    App().Get<CElementPrintState>().labelPosition = [&] { return labelPosition; };
    CBox box;
    box.m_startDataOnly = 1;
    box.SetDataSource(SOURCE_KEYBOARD, QString());
    box.SetDataText("FF 00 00 00 00 FF", SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_EQ(box.m_outlineColour, kRed);

    labelPosition = 3;
    box.SetDataText("00 FF 00 00 FF 00", SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_EQ(box.m_outlineColour, kRed) << "ignored past the first label";

    box.SetDataSource(SOURCE_INCREMENTING, "Counter");
    box.SetDataText("00 FF 00 00 FF 00", SOURCE_INCREMENTING, "Counter", FALSE);
    EXPECT_EQ(box.m_outlineColour, kGreen) << "incrementing numbers always change";
}

TEST_F(BoxTest, DataEntryShowsTheDataColoursAndRestoresTheDesign)
{
    CTestView view;
    context.currentView = &view;
    CFixedLink link;
    link.value = "00 FF 00 FF 00 00";
    context.dataLink = &link;

    CBox box;
    box.m_outlineColour = kBlue;
    box.m_fillColour = kBlue;
    box.SetDataSource(SOURCE_DATABASE, "Colours");
    box.BeginDataEntry();
    EXPECT_EQ(box.m_state, DWORD(STATE_DATA_ENTRY));
    EXPECT_EQ(box.m_outlineColour, kGreen);
    EXPECT_EQ(box.m_fillColour, kRed);
    box.SetDataText("FF 00 00 FF 00 00", SOURCE_DATABASE, "Colours", FALSE);
    box.EndDataEntry();
    EXPECT_EQ(box.m_state, 0u);
    EXPECT_EQ(box.m_outlineColour, kBlue);
    EXPECT_EQ(box.m_fillColour, kBlue);

    // a fixed box keeps what it has
    CBox fixed;
    fixed.m_outlineColour = kBlue;
    fixed.BeginDataEntry();
    fixed.EndDataEntry();
    EXPECT_EQ(fixed.m_outlineColour, kBlue);
}

TEST_F(BoxTest, CopyingColoursTakesTheFillOnlyWhenThereIsOne)
{
    CBox source;
    source.m_outlineColour = kRed;
    source.m_fillColour = kGreen;
    source.m_fillInterior = 0;

    CBox box;
    box.m_outlineColour = kBlue;
    box.m_fillColour = kBlue;
    box.CopyColoursFrom(&source);
    EXPECT_EQ(box.m_outlineColour, kRed);
    EXPECT_EQ(box.m_fillColour, kBlue);

    source.m_fillInterior = 1;
    box.CopyColoursFrom(&source);
    EXPECT_EQ(box.m_fillColour, kGreen);
    EXPECT_EQ(box.m_fillInterior, 0) << "only the colour is taken";

    CLine line;
    line.m_colour = kBlue;
    box.CopyColoursFrom(&line);
    EXPECT_EQ(box.m_outlineColour, kBlue);
    EXPECT_EQ(box.m_fillColour, kGreen);
}

// --- text export -------------------------------------------------------------

TEST_F(BoxTest, TextExportBlocks)
{
    auto* box = static_cast<CBox*>(list.CreateElement("CBox"));
    Place(box, 100, 200, 400, 300);
    App().general.rotationAngle = kPi / 2;
    box->Rotate(nullptr); // width and height are given as the box stands unturned
    box->m_thickness = 15;
    box->m_outlineColour = MakeRGB(0x12, 0x34, 0x56);
    box->m_fillInterior = 1;
    box->m_fillColour = MakeRGB(0xAB, 0xCD, 0xEF);
    box->m_cornerType = CORNER_ROUNDED;
    box->m_cornerRadius = 25;

    QByteArray out;
    {
        CTextExportFile file(&out);
        box->WriteXml(file);
    }
    EXPECT_EQ(out, "  <box>\r\n\r\n" + ElementExportBlock("Box1", "Box1") +
                       "    <position units=\"TMM\" x=\"100\" y=\"200\"/>\r\n"
                       "    <size units=\"TMM\" width=\"300\" height=\"100\"/>\r\n"
                       "    <orientation=\"90\"/>\r\n"
                       "    <thickness units=\"TMM\" value=\"15\"/>\r\n"
                       "    <outline-colour=\"#123456\"/>\r\n"
                       "    <fill-interior=\"1\"/>\r\n"
                       "    <fill-colour=\"#ABCDEF\"/>\r\n"
                       "    <corner-type=\"1\"/>\r\n"
                       "    <corner-radius=\"25\"/>\r\n"
                       "\r\n  </box>\r\n\r\n");

    auto* ellipse = static_cast<CEllipse*>(list.CreateElement("CEllipse"));
    Place(ellipse, 5, 6, 55, 26);
    QByteArray ellipseOut;
    {
        CTextExportFile file(&ellipseOut);
        ellipse->WriteXml(file);
    }
    EXPECT_EQ(ellipseOut, "  <ellipse>\r\n\r\n" + ElementExportBlock("Ellipse1", "Ellipse1") +
                              "    <position units=\"TMM\" x=\"5\" y=\"6\"/>\r\n"
                              "    <size units=\"TMM\" width=\"50\" height=\"20\"/>\r\n"
                              "    <orientation=\"0\"/>\r\n"
                              "    <thickness units=\"TMM\" value=\"10\"/>\r\n"
                              "    <outline-colour=\"#000000\"/>\r\n"
                              "    <fill-interior=\"0\"/>\r\n"
                              "    <fill-colour=\"#FFFFFF\"/>\r\n"
                              "\r\n  </ellipse>\r\n\r\n");
}
