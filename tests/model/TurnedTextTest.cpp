// A turned text: its lines, background and element rectangle all turn about
// the text's position, the top-left corner of its rectangle, so that what is
// drawn stays inside the rectangle the canvas repaints and hit-tests.
#include "Text.h"

#include "AppContext.h"
#include "Box.h"
#include "DC.h"
#include "Helpers.h"
#include "TestElements.h"
#include "TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>

namespace {

class TurnedTextTest : public RealElementTest
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        RealElementTest::SetUp();
        LogFontFields lf = CLogFont::DefaultLogFont();
        lf.lfFaceName = "Liberation Sans";
        lf.lfHeight = 60;
        CTextDefaults::Current().font = CLogFont(lf);
    }

    // A text with a coloured background at (400, 400), turned clockwise.
    static std::unique_ptr<CText> Turned(int degrees, bool copyFit)
    {
        auto text = std::make_unique<CText>();
        text->m_position = CPoint(400, 400);
        text->m_formatRect = CRect(400, 400, 400, 400);
        text->m_colouredBackground = TRUE;
        text->m_backgroundColour = MakeRGB(0, 0, 255);
        text->SetSampleData(nullptr, "Turned\ntext");
        if (copyFit) {
            text->m_copyFit = TRUE;
            text->m_formatRect = CRect(400, 400, 700, 560);
        }
        CLogFont font = text->m_font;
        font.SetRotation(degrees);
        text->SetFont(nullptr, font);
        text->RecalcPosition(nullptr);
        return text;
    }
};

} // namespace

TEST_F(TurnedTextTest, RectangleTurnsAboutItsTopLeftAndHoldsEverythingDrawn)
{
    for (const bool copyFit : {false, true}) {
        for (const int degrees : {0, 1, 30, 45, 89, 90, 135, 180, 200, 270, 300, 315, 359}) {
            const auto text = Turned(degrees, copyFit);
            ASSERT_EQ(text->GetAngle(), degrees);
            const CRect upright = copyFit ? text->GetPlacedFormatRect() : text->m_textRect;
            ASSERT_EQ(upright.TopLeft(), text->m_position);

            CPoint corners[4];
            RotateRectCorners(upright.left, upright.top, upright.right, upright.bottom, corners,
                              degrees);
            CRect expected(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
            for (const CPoint& p : corners) {
                expected.left = std::min(expected.left, p.x);
                expected.top = std::min(expected.top, p.y);
                expected.right = std::max(expected.right, p.x);
                expected.bottom = std::max(expected.bottom, p.y);
            }
            const CRect bounds = text->m_bounds;
            EXPECT_EQ(bounds, expected) << degrees << " degrees, copy-fit " << copyFit;
            EXPECT_EQ(text->m_orientation, degrees / 90 * 90);

            // The drawn background and lines fill the rectangle and never
            // leave it (one device pixel per tenth of a millimetre).
            const QImage image = Render(*text, 800, 800);
            const CRect ink = InkBounds(image);
            EXPECT_GE(ink.left, bounds.left) << degrees;
            EXPECT_GE(ink.top, bounds.top) << degrees;
            EXPECT_LE(ink.right, bounds.right) << degrees;
            EXPECT_LE(ink.bottom, bounds.bottom) << degrees;
            EXPECT_LE(ink.left - bounds.left + bounds.right - ink.right, 4) << degrees;
            EXPECT_LE(ink.top - bounds.top + bounds.bottom - ink.bottom, 4) << degrees;
        }
    }
}

TEST_F(TurnedTextTest, FramedTextKeepsItsUprightBoxAroundTheTurnedFrame)
{
    for (const int degrees : {0, 30, 90, 180, 270}) {
        auto text = std::make_unique<CText>();
        text->m_position = CPoint(400, 400);
        text->m_formatRect = CRect(400, 400, 400, 400);
        text->m_horzMargin = 20;
        text->m_vertMargin = 10;
        text->SetFrameBox(nullptr);
        text->SetSampleData(nullptr, "Framed");
        CLogFont font = text->m_font;
        font.SetRotation(degrees);
        text->SetFont(nullptr, font);
        text->RecalcPosition(nullptr);
        // The element is where its box is drawn.
        EXPECT_EQ(text->m_bounds, text->m_frameBox->m_bounds) << degrees;
        const CRect ink = InkBounds(Render(*text, 800, 800));
        const CRect bounds = text->m_bounds;
        EXPECT_GE(ink.left, bounds.left) << degrees;
        EXPECT_GE(ink.top, bounds.top) << degrees;
        EXPECT_LE(ink.right, bounds.right) << degrees;
        EXPECT_LE(ink.bottom, bounds.bottom) << degrees;
    }
}
