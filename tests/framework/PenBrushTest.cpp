#include "PenBrush.h"

#include "Messages.h"

#include <gtest/gtest.h>

namespace {

struct FailingCreation
{
    FailingCreation()
    {
        pen_brush_detail::beforeCreate = [] { throw CResourceException(); };
    }
    ~FailingCreation() { pen_brush_detail::beforeCreate = nullptr; }
};

} // namespace

TEST(PenBrush, FramePenIsInsideFrameOfWidthAndColour)
{
    CMessageResponder responder;
    CPen pen;
    EXPECT_EQ(CreateFramePen(pen, 7, MakeRGB(10, 20, 30)), TRUE);
    EXPECT_EQ(pen, CPen(PS_INSIDEFRAME, 7, MakeRGB(10, 20, 30)));
    CBrush brush = CBrush::Null();
    EXPECT_EQ(CreateFillBrush(brush, MakeRGB(1, 2, 3)), TRUE);
    EXPECT_EQ(brush, CBrush::Solid(MakeRGB(1, 2, 3)));
    EXPECT_EQ(responder.Count(), 0);
}

TEST(PenBrush, FramePenDrawsInsideItsRectangle)
{
    CImageDC dc(40, 40);
    dc.FillSolidRect(0, 0, 40, 40, MakeRGB(255, 255, 255));
    CPen pen;
    ASSERT_TRUE(CreateFramePen(pen, 4, MakeRGB(0, 0, 0)));
    dc.SelectPen(pen);
    dc.SelectBrush(CBrush::Null());
    dc.Rectangle(10, 10, 30, 30);
    const QImage& img = dc.Image();
    // Inside the rectangle, nothing outside it.
    EXPECT_EQ(img.pixelColor(10, 20), Qt::black);
    EXPECT_EQ(img.pixelColor(13, 20), Qt::black);
    EXPECT_EQ(img.pixelColor(9, 20), Qt::white);
    EXPECT_EQ(img.pixelColor(30, 20), Qt::white);
    EXPECT_EQ(img.pixelColor(20, 20), Qt::white);
}

TEST(PenBrush, ResourceFailureIsReportedOnceAndLeavesTheObject)
{
    CMessageResponder responder;
    FailingCreation failing;
    CPen pen(PS_SOLID, 1, MakeRGB(5, 5, 5));
    EXPECT_EQ(CreateFramePen(pen, 3, MakeRGB(255, 0, 0)), FALSE);
    EXPECT_EQ(pen, CPen(PS_SOLID, 1, MakeRGB(5, 5, 5)));
    ASSERT_EQ(responder.Count(), 1);
    EXPECT_EQ(responder.LastText(), "Unable to allocate resource");
    EXPECT_EQ(responder.Messages().back().style, unsigned(MB_OK));

    CBrush brush = CBrush::Null();
    EXPECT_EQ(CreateFillBrush(brush, MakeRGB(0, 255, 0)), FALSE);
    EXPECT_TRUE(brush.IsNull());
    EXPECT_EQ(responder.Count(), 2);
}

TEST(PenBrush, OtherExceptionsPassThrough)
{
    CMessageResponder responder;
    pen_brush_detail::beforeCreate = [] { throw std::runtime_error("other"); };
    CPen pen;
    EXPECT_THROW(CreateFramePen(pen, 1, 0), std::runtime_error);
    pen_brush_detail::beforeCreate = nullptr;
    EXPECT_EQ(responder.Count(), 0);
}
