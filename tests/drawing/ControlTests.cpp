#include "ImagePixels.h"

#include <UIKit/UIGraphics.h>
#include <UIKit/UIImageView.h>
#include <UIKit/UILabel.h>
#include <UIKit/UIScrollView.h>
#include <UIKit/UIStringDrawing.h>
#include <UIKit/UIViewLayoutDump.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using testing_support::inkBounds;

namespace {

Ref<UILabel> makeLabel(std::string_view text, CGFloat size = 13)
{
    auto label = makeRef<UILabel>();
    label->setFont(UIFont::fontWithName("HelveticaNeue", size).get());
    label->setText(text);
    return label;
}

struct RecordingDelegate : NSObject, UIScrollViewDelegate {
    void scrollViewDidScroll(UIScrollView*) override { ++scrolls; }
    void scrollViewDidEndDragging(UIScrollView* view, bool decelerate) override
    {
        releasedAt = view->contentOffset();
        willDecelerate = decelerate;
        ++drags;
    }
    void scrollViewDidEndDecelerating(UIScrollView*) override { ++rests; }
    int scrolls = 0, drags = 0, rests = 0;
    CGPoint releasedAt;
    bool willDecelerate = false;
};

} // namespace

TEST(Label, SizeToFitIsOneLineOfPangoMetricsRoundedUp)
{
    Ref<UILabel> label = makeLabel("Dentist appointment");
    label->sizeToFit();
    const CGSize measured = NSStringSizeWithFont("Dentist appointment", label->font());
    EXPECT_EQ(label->frame().size, CGSizeMake(std::ceil(measured.width), std::ceil(label->font()->lineHeight())));
    label->setText(""_ns.get());
    label->sizeToFit();
    EXPECT_EQ(label->frame().size, CGSizeZero);
}

TEST(Label, DefaultsAreThoseOfUIKit)
{
    auto label = makeRef<UILabel>();
    EXPECT_EQ(label->font()->fontName()->UTF8String(), ".SFUIText");
    EXPECT_EQ(label->font()->pointSize(), 17);
    EXPECT_TRUE(label->textColor()->isEqual(UIColor::blackColor().get()));
    EXPECT_EQ(label->numberOfLines(), 1);
    EXPECT_EQ(label->lineBreakMode(), NSLineBreakByTruncatingTail);
    EXPECT_EQ(label->text(), nullptr);
    EXPECT_EQ(label->backgroundColor(), nullptr);
}

TEST(Label, TruncatesAtItsRealWidth)
{
    Ref<UILabel> label = makeLabel("Quarterly planning meeting with everyone");
    label->setFrame(CGRectMake(0, 0, 120, 16));
    const std::string shown = label->displayedText();
    EXPECT_EQ(shown, NSStringTruncatingTail("Quarterly planning meeting with everyone", label->font(), 120));
    EXPECT_EQ(shown.substr(shown.size() - 3), "\u2026");
    EXPECT_EQ(UIViewLayoutTree(label.get()).text, shown);

    label->setLineBreakMode(NSLineBreakByClipping);
    EXPECT_EQ(label->displayedText(), "Quarterly planning meeting with everyone");
    label->setFrame(CGRectMake(0, 0, 400, 16));
    label->setLineBreakMode(NSLineBreakByTruncatingTail);
    EXPECT_EQ(label->displayedText(), "Quarterly planning meeting with everyone");
}

TEST(Label, DrawsCentredVerticallyInItsColorAndAlignment)
{
    Ref<UILabel> label = makeLabel("Hello", 12);
    label->setFrame(CGRectMake(0, 0, 100, 40));
    label->setTextColor(UIColor::redColor().get());
    label->setTextAlignment(NSTextAlignmentRight);
    Ref<UIImage> image = UIViewRenderImage(label.get(), 1);
    const CGRect ink = inkBounds(*image, 128);
    EXPECT_NEAR(CGRectGetMaxX(ink), 100, 2);
    // The line box is centred; the ink of "Hello" sits in its upper part.
    const CGFloat lineTop = (40 - label->font()->lineHeight()) / 2;
    EXPECT_GE(CGRectGetMinY(ink), std::floor(lineTop));
    EXPECT_LE(CGRectGetMaxY(ink), std::ceil(lineTop + label->font()->ascender()) + 1);
    const UIImagePixel p = image->pixelAt(
        static_cast<std::size_t>(CGRectGetMaxX(ink) - 2), static_cast<std::size_t>(CGRectGetMidY(ink)));
    EXPECT_EQ(p.green, 0);
}

TEST(Label, ShrinksItsFontToFitItsWidthDownToTheSmallestScaleThenCuts)
{
    const std::string text = "Appuyez sur le bouton principal pour déverrouiller";
    Ref<UILabel> label = makeLabel(text, 16);
    const CGFloat natural = NSStringSizeWithFont(text, label->font()).width;
    label->setFrame(CGRectMake(0, 0, natural * 0.8, 20));
    // As in UIKit: no shrinking until asked, nor with the smallest scale left at 0.
    EXPECT_EQ(label->displayedFont()->pointSize(), 16);
    label->setAdjustsFontSizeToFitWidth(true);
    EXPECT_EQ(label->displayedFont()->pointSize(), 16);
    EXPECT_NE(label->displayedText(), text);

    label->setMinimumScaleFactor(0.5);
    const Ref<UIFont> shrunk = label->displayedFont();
    EXPECT_NEAR(shrunk->pointSize(), 16 * 0.8, 0.05);
    EXPECT_LE(NSStringSizeWithFont(text, shrunk.get()).width, natural * 0.8);
    EXPECT_EQ(label->displayedText(), text);
    EXPECT_EQ(label->font()->pointSize(), 16) << "the label keeps its own font";

    label->setFrame(CGRectMake(0, 0, natural * 0.3, 20));
    EXPECT_EQ(label->displayedFont()->pointSize(), 8);
    EXPECT_EQ(label->displayedText(), NSStringTruncatingTail(text, label->displayedFont().get(), natural * 0.3));
}

TEST(Label, ALineTallerThanTheFontIsDrawnWhole)
{
    // The Thai face has a taller line than the label's: sized to the text, the
    // label shows all of it, the marks below the Thai letters included.
    const std::string text = "Picnic ปฏิทินครู";
    Ref<UILabel> label = makeLabel(text, 20);
    label->sizeToFit();
    ASSERT_GT(label->frame().size.height, std::ceil(label->font()->lineHeight()));
    const double drawn = testing_support::inkAmount(*UIViewRenderImage(label.get(), 1));
    const double whole = testing_support::inkAmount(*testing_support::drawImage(CGSizeMake(400, 60), [&] {
        UIColor::blackColor()->set();
        NSStringDrawInRect(text, CGRectMake(0, 10, 400, 40), label->font(), NSLineBreakByClipping, NSTextAlignmentLeft);
    }));
    EXPECT_NEAR(drawn, whole, 1);
}

TEST(ImageView, AspectFitCentresTheScaledImage)
{
    UIGraphicsBeginImageContext(CGSizeMake(40, 20));
    Ref<UIImage> wide = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();

    auto view = makeRef<UIImageView>(wide.get());
    EXPECT_EQ(view->frame(), CGRectMake(0, 0, 40, 20));
    view->setFrame(CGRectMake(0, 0, 20, 20));
    EXPECT_EQ(view->imageRect(), CGRectMake(0, 0, 20, 20)) << "scale to fill by default";
    view->setContentMode(UIViewContentModeScaleAspectFit);
    EXPECT_EQ(view->imageRect(), CGRectMake(0, 5, 20, 10));
    view->setContentMode(UIViewContentModeScaleAspectFill);
    EXPECT_EQ(view->imageRect(), CGRectMake(-10, 0, 40, 20));
    view->setContentMode(UIViewContentModeTopLeft);
    EXPECT_EQ(view->imageRect(), CGRectMake(0, 0, 40, 20));
    view->setImage(nullptr);
    EXPECT_EQ(view->imageRect(), CGRectZero);
    EXPECT_EQ(view->sizeThatFits(CGSizeZero), CGSizeZero);
}

TEST(ImageView, DrawsTheImageOverItsBackground)
{
    UIGraphicsBeginImageContext(CGSizeMake(10, 10));
    UIColor::redColor()->setFill();
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 10, 10));
    Ref<UIImage> square = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();

    auto view = makeRef<UIImageView>(CGRectMake(0, 0, 20, 10));
    view->setImage(square.get());
    view->setContentMode(UIViewContentModeScaleAspectFit);
    view->setBackgroundColor(UIColor::whiteColor().get());
    Ref<UIImage> image = UIViewRenderImage(view.get(), 1);
    EXPECT_EQ(image->pixelAt(2, 5), (UIImagePixel { 255, 255, 255, 255 }));
    EXPECT_EQ(image->pixelAt(10, 5), (UIImagePixel { 255, 0, 0, 255 }));
}

TEST(ScrollView, BouncingDragRubberBandsReportsReleaseThenSpringsBack)
{
    auto scroll = makeRef<UIScrollView>(CGRectMake(0, 0, 300, 44));
    scroll->setContentSize(CGSizeMake(300, 44));
    scroll->setAlwaysBounceHorizontal(true);
    RecordingDelegate delegate;
    scroll->setDelegate(&delegate);

    ASSERT_TRUE(scroll->beginDragging());
    scroll->dragBy(CGPointMake(60, 10));
    scroll->dragBy(CGPointMake(60, 0));
    const CGFloat expected = -UIScrollView::rubberBandDistance(120, 300);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().x, expected);
    EXPECT_GT(expected, -120) << "past the edge the content gives way less than the finger";
    EXPECT_EQ(scroll->contentOffset().y, 0) << "no vertical bounce asked for";
    scroll->endDragging();

    EXPECT_EQ(delegate.drags, 1);
    EXPECT_DOUBLE_EQ(delegate.releasedAt.x, expected);
    EXPECT_TRUE(delegate.willDecelerate);
    EXPECT_EQ(delegate.rests, 1);
    EXPECT_EQ(scroll->contentOffset(), CGPointZero);
}

// The finger travel for a pull lets go at the distance asked, never beyond it
// (80 must not become 80.00000000000001); a whole width is out of reach.
TEST(ScrollView, APullOfADistanceLetsGoThereAndNoFurther)
{
    for (CGFloat width : { 320.0, 343.0, 359.0, 398.0 })
        for (CGFloat distance : { 0.5, 79.5, 80.0, 80.5, 81.0, 200.0 }) {
            const CGFloat reached
                = UIScrollView::rubberBandDistance(UIScrollView::rubberBandOvershoot(distance, width), width);
            EXPECT_LE(reached, distance) << width << " " << distance;
            EXPECT_NEAR(reached, distance, 1e-9) << width << " " << distance;
        }
    EXPECT_EQ(UIScrollView::rubberBandOvershoot(300, 300), std::numeric_limits<CGFloat>::infinity());
}

TEST(ScrollView, InsideTheContentTheOffsetFollowsTheFinger)
{
    auto scroll = makeRef<UIScrollView>(CGRectMake(0, 0, 100, 100));
    scroll->setContentSize(CGSizeMake(100, 300));
    RecordingDelegate delegate;
    scroll->setDelegate(&delegate);
    scroll->beginDragging();
    scroll->dragBy(CGPointMake(0, -150));
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 150));
    scroll->endDragging();
    EXPECT_FALSE(delegate.willDecelerate);
    EXPECT_EQ(delegate.rests, 0);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 150));

    scroll->setBounces(false);
    scroll->beginDragging();
    scroll->dragBy(CGPointMake(0, -500));
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 200)) << "without bouncing it stops at the edge";
    scroll->endDragging();
}

TEST(ScrollView, DisabledScrollingIgnoresDrags)
{
    auto scroll = makeRef<UIScrollView>(CGRectMake(0, 0, 100, 100));
    scroll->setContentSize(CGSizeMake(100, 300));
    scroll->setScrollEnabled(false);
    RecordingDelegate delegate;
    scroll->setDelegate(&delegate);
    EXPECT_FALSE(scroll->beginDragging());
    scroll->dragBy(CGPointMake(0, -50));
    scroll->endDragging();
    EXPECT_EQ(scroll->contentOffset(), CGPointZero);
    EXPECT_EQ(delegate.drags, 0);
}

TEST(ScrollView, DelegateThatIsGoneReadsNilAndIsNotTold)
{
    auto scroll = makeRef<UIScrollView>(CGRectMake(0, 0, 100, 100));
    scroll->setContentSize(CGSizeMake(100, 300));
    {
        auto delegate = makeRef<RecordingDelegate>();
        scroll->setDelegate(delegate.get());
        EXPECT_EQ(scroll->delegate(), static_cast<UIScrollViewDelegate*>(delegate.get()));
    }
    EXPECT_EQ(scroll->delegate(), nullptr);
    scroll->beginDragging();
    scroll->dragBy(CGPointMake(0, -50));
    scroll->endDragging();
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 50));
}
