#include "ImagePixels.h"

#include "listview/DGLEventTable.h"

#include <UIKit/UIGraphics.h>

#include <gtest/gtest.h>

using namespace testing_support;

class ColoredDot : public testing::TestWithParam<int> { };

// The disc covers origin..origin+d and the ring one more pixel on each side,
// probed along the middle row and the middle column.
TEST_P(ColoredDot, IsACentredDiscWithAOnePointRing)
{
    const int diameter = GetParam();
    const Ref<UIImage> dot = DGLEventTable::drawColoredDotWithColor(UIColor::redColor().get(), diameter);
    ASSERT_TRUE(dot);
    EXPECT_EQ(dot->size(), CGSizeMake(80, 80));
    EXPECT_EQ(dot->scale(), 1);

    const int low = (80 - diameter) / 2, high = low + diameter;
    EXPECT_EQ(boundsOf(*dot, isRed), CGRectMake(low, low, diameter, diameter));
    EXPECT_EQ(boundsOf(*dot, [](UIImagePixel p) { return !isClear(p); }),
        CGRectMake(low - 1, low - 1, diameter + 2, diameter + 2));
    for (bool vertical : { false, true }) {
        SCOPED_TRACE(vertical ? "middle column" : "middle row");
        auto at = [&](int along) { return vertical ? dot->pixelAt(40, along) : dot->pixelAt(along, 40); };
        EXPECT_TRUE(isBlack(at(low - 1)));
        EXPECT_TRUE(isRed(at(low)));
        EXPECT_TRUE(isRed(at(high - 1)));
        EXPECT_TRUE(isBlack(at(high)));
    }
}

INSTANTIATE_TEST_SUITE_P(SmallAndLarge, ColoredDot, testing::Values(30, 50));

TEST(ColoredDotEdges, ADotAsWideAsTheImageLosesItsRing)
{
    const Ref<UIImage> dot = DGLEventTable::drawColoredDotWithColor(UIColor::colorWithRed(0, 0.5, 1, 1).get(), 80);
    const UIImagePixel edge = dot->pixelAt(0, 40);
    EXPECT_GT(edge.blue, 240);
    EXPECT_EQ(edge.alpha, 255);
    EXPECT_TRUE(isClear(dot->pixelAt(0, 0)));
}

// Each image is drawn in a context of its own: whatever was current before is
// current again afterwards and has not been drawn into.
TEST(ImageMethods, LeaveTheCallersContextCurrent)
{
    ASSERT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    DGLEventTable::drawColoredDotWithColor(UIColor::greenColor().get(), 30);
    DGLEventTable::createCalendarIconForDate(NSDate::date().get());
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);

    UIGraphicsBeginImageContext(CGSizeMake(10, 10));
    CGContextRef outer = UIGraphicsGetCurrentContext();
    DGLEventTable::drawColoredDotWithColor(UIColor::greenColor().get(), 30);
    DGLEventTable::createCalendarIconForDate(NSDate::date().get());
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);
    const Ref<UIImage> untouched = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(boundsOf(*untouched, [](UIImagePixel p) { return !isClear(p); }), CGRectZero);
}
