#include "ImagePixels.h"

#include <TempDeviceRoot.h>

#include <CoreGraphics/CGContext.h>
#include <Foundation/NSException.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIGraphics.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

using testing_support::drawImage;
using testing_support::inkBounds;

namespace {

// The coloured dot of a row: a 2-point outline stroked, then the same ellipse
// filled, centred in an 80-point square.
Ref<UIImage> drawDot(const UIColor& color, CGFloat diameter)
{
    UIGraphicsBeginImageContext(CGSizeMake(80, 80));
    CGContextRef context = UIGraphicsGetCurrentContext();
    UIGraphicsPushContext(context);
    CGContextSetLineWidth(context, 2);
    CGContextSetStrokeColorWithColor(context, UIColor::blackColor()->CGColor());
    CGContextSetFillColorWithColor(context, color.CGColor());
    const CGFloat origin = (80 - diameter) * 0.5;
    const CGRect rect = CGRectMake(origin, origin, diameter, diameter);
    CGContextStrokeEllipseInRect(context, rect);
    CGContextFillEllipseInRect(context, rect);
    UIGraphicsPopContext();
    Ref<UIImage> image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

bool isRed(UIImagePixel p)
{
    return p.alpha > 240 && p.red > 240 && p.green < 15 && p.blue < 15;
}

bool isBlack(UIImagePixel p)
{
    return p.alpha > 200 && p.red < 40 && p.green < 40 && p.blue < 40;
}

} // namespace

class DotEdges : public testing::TestWithParam<int> { };

// The disc spans origin..origin+d, the ring's outer edge one pixel beyond on each
// side; probed along the middle row and the middle column.
TEST_P(DotEdges, DiscAndRingSitOnWholePixels)
{
    const int diameter = GetParam();
    Ref<UIImage> dot = drawDot(*UIColor::redColor(), diameter);
    ASSERT_TRUE(dot);
    EXPECT_EQ(dot->size(), CGSizeMake(80, 80));
    EXPECT_EQ(dot->pixelWidth(), 80u);

    const std::size_t low = static_cast<std::size_t>((80 - diameter) / 2);
    const std::size_t high = low + static_cast<std::size_t>(diameter);
    for (bool vertical : { false, true }) {
        auto at = [&](std::size_t along) { return vertical ? dot->pixelAt(40, along) : dot->pixelAt(along, 40); };
        SCOPED_TRACE(vertical ? "column 40" : "row 40");
        EXPECT_EQ(at(low - 2).alpha, 0);
        EXPECT_TRUE(isBlack(at(low - 1)));
        EXPECT_TRUE(isRed(at(low)));
        EXPECT_TRUE(isRed(at(40)));
        EXPECT_TRUE(isRed(at(high - 1)));
        EXPECT_TRUE(isBlack(at(high)));
        EXPECT_EQ(at(high + 1).alpha, 0);
    }
    EXPECT_EQ(dot->pixelAt(0, 0).alpha, 0) << "the square around the dot stays transparent";
}

INSTANTIATE_TEST_SUITE_P(SmallAndLarge, DotEdges, testing::Values(30, 50));

TEST(ImageContext, DotWiderThanTheImageIsCutAtItsEdges)
{
    Ref<UIImage> dot = drawDot(*UIColor::redColor(), 90);
    EXPECT_TRUE(isRed(dot->pixelAt(0, 40)));
    EXPECT_TRUE(isRed(dot->pixelAt(79, 40)));
    EXPECT_EQ(dot->pixelAt(0, 0).alpha, 0);
}

TEST(ImageContext, BeginAndEndLeaveTheStackAsTheyFoundIt)
{
    ASSERT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    UIGraphicsBeginImageContext(CGSizeMake(10, 10));
    CGContextRef outer = UIGraphicsGetCurrentContext();
    ASSERT_NE(outer, nullptr);

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), NO, 1);
    CGContextRef inner = UIGraphicsGetCurrentContext();
    EXPECT_NE(inner, outer);
    UIGraphicsPushContext(inner);
    UIGraphicsPushContext(outer);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);
    UIGraphicsPopContext();
    UIGraphicsPopContext();
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext()->size(), CGSizeMake(4, 4));
    UIGraphicsEndImageContext();

    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext()->size(), CGSizeMake(10, 10));
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
}

TEST(ImageContext, ScopeEndsItsContextOnTheWayOutOfAnException)
{
    EXPECT_THROW(
        {
            UIGraphicsImageContextScope canvas(CGSizeMake(4, 4));
            EXPECT_EQ(canvas.image()->size(), CGSizeMake(4, 4));
            throw NSException(NSInvalidArgumentException, "drawing failed");
        },
        NSException);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
}

TEST(ImageContext, UnbalancedCallsDoNotDisturbTheStack)
{
    UIGraphicsPopContext();
    platform::clearLog();
    UIGraphicsEndImageContext();
    EXPECT_EQ(platform::loggedLines().size(), 1u);
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext(), nullptr);

    // A pushed context that is not an image context is not ended by mistake.
    UIGraphicsBeginImageContext(CGSizeMake(2, 2));
    Ref<CGContext> image(UIGraphicsGetCurrentContext());
    UIGraphicsBeginImageContext(CGSizeMake(3, 3));
    Ref<CGContext> other(UIGraphicsGetCurrentContext());
    UIGraphicsEndImageContext();
    UIGraphicsPushContext(other.get());
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), other.get());
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext(), nullptr);
    UIGraphicsPopContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), image.get());
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
}

TEST(ImageContext, ImageIsASnapshotOfTheContext)
{
    UIGraphicsBeginImageContext(CGSizeMake(4, 4));
    Ref<UIImage> before = UIGraphicsGetImageFromCurrentImageContext();
    UIColor::redColor()->set();
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 4, 4));
    Ref<UIImage> after = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(before->pixelAt(1, 1).alpha, 0);
    EXPECT_TRUE(isRed(after->pixelAt(1, 1)));
}

TEST(ImageContext, ScaleMultipliesPixelsNotPoints)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 5), YES, 2);
    UIColor::whiteColor()->setFill();
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 5, 5));
    Ref<UIImage> image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(image->size(), CGSizeMake(10, 5));
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->pixelWidth(), 20u);
    EXPECT_EQ(image->pixelAt(9, 9), (UIImagePixel { 255, 255, 255, 255 }));
    // Opaque contexts have no transparency: undrawn pixels are black.
    EXPECT_EQ(image->pixelAt(10, 0), (UIImagePixel { 0, 0, 0, 255 }));
}

TEST(ImageContext, RestoringTheStateRestoresColorsAndClip)
{
    Ref<UIImage> image = drawImage(CGSizeMake(20, 10), [] {
        CGContextRef context = UIGraphicsGetCurrentContext();
        UIColor::blueColor()->setFill();
        CGContextSaveGState(context);
        UIColor::redColor()->setFill();
        CGContextClipToRect(context, CGRectMake(0, 0, 10, 10));
        CGContextFillRect(context, CGRectMake(0, 0, 20, 5));
        CGContextRestoreGState(context);
        CGContextFillRect(context, CGRectMake(0, 5, 20, 5));
    });
    EXPECT_TRUE(isRed(image->pixelAt(2, 2)));
    EXPECT_EQ(image->pixelAt(15, 2).alpha, 0) << "the clip held while it was set";
    EXPECT_EQ(image->pixelAt(15, 7), (UIImagePixel { 0, 0, 255, 255 })) << "colour and clip restored";
}

TEST(ImageContext, SetFillAndSetStrokeTouchOnlyTheirColor)
{
    UIGraphicsBeginImageContext(CGSizeMake(1, 1));
    CGContextRef context = UIGraphicsGetCurrentContext();
    UIColor::redColor()->set();
    EXPECT_TRUE(context->fillColor()->isEqual(UIColor::redColor()->CGColor()));
    EXPECT_TRUE(context->strokeColor()->isEqual(UIColor::redColor()->CGColor()));
    UIColor::greenColor()->setStroke();
    EXPECT_TRUE(context->fillColor()->isEqual(UIColor::redColor()->CGColor()));
    EXPECT_TRUE(context->strokeColor()->isEqual(UIColor::greenColor()->CGColor()));
    UIGraphicsEndImageContext();
    UIColor::blueColor()->set(); // no context: nothing happens
}

TEST(ImageContext, PNGRoundTripKeepsThePixels)
{
    testing_support::TempDeviceRoot root;
    Ref<UIImage> dot = drawDot(*UIColor::colorWithRed(0, 0.5, 1, 0.5), 30);
    const std::vector<std::uint8_t> png = UIImagePNGRepresentation(dot.get());
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(png[2], 'N');

    const std::string path = (root.path() / "dot.png").string();
    ASSERT_TRUE(dot->writePNGToFile(path));
    Ref<UIImage> back = UIImage::imageWithContentsOfFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->size(), CGSizeMake(80, 80));
    EXPECT_EQ(back->pixelAt(40, 40), dot->pixelAt(40, 40));
    EXPECT_EQ(back->pixelAt(40, 40).alpha, 128);
    EXPECT_FALSE(dot->writePNGToFile((root.path() / "missing" / "dot.png").string()));
    EXPECT_EQ(UIImage::imageWithContentsOfFile(path + ".none"), nullptr);
}

TEST(ImageContext, ImageDrawsScaledIntoARect)
{
    Ref<UIImage> square = drawImage(CGSizeMake(4, 4), [] {
        UIColor::redColor()->setFill();
        CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 4, 4));
    });
    Ref<UIImage> drawn = drawImage(CGSizeMake(40, 40), [&] { square->drawInRect(CGRectMake(10, 10, 20, 20)); });
    EXPECT_EQ(inkBounds(*drawn), CGRectMake(10, 10, 20, 20));
    EXPECT_TRUE(isRed(drawn->pixelAt(10, 29)));
}

TEST(Geometry, IntegralWidensOutwardToWholePoints)
{
    EXPECT_EQ(CGRectIntegral(CGRectMake(0, 5.12, 64, 9.6)), CGRectMake(0, 5, 64, 10));
    EXPECT_EQ(CGRectIntegral(CGRectMake(0, 12.8, 64, 38.4)), CGRectMake(0, 12, 64, 40));
    EXPECT_EQ(CGRectIntegral(CGRectMake(-0.5, 1, 2, 3)), CGRectMake(-1, 1, 3, 3));
    EXPECT_EQ(CGRectIntegral(CGRectMake(10.5, 0, -2, 1)), CGRectMake(8, 0, 3, 1));
}
