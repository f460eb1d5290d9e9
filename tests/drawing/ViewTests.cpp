#include "ImagePixels.h"

#include <Foundation/NSException.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIView.h>
#include <UIKit/UIViewLayoutDump.h>

#include <gtest/gtest.h>

namespace {

// Counts its layout passes and records the size it was laid out at.
class CountingView : public UIView {
public:
    using UIView::UIView;
    void layoutSubviews() override
    {
        ++passes;
        laidOutAt = bounds().size;
    }
    int passes = 0;
    CGSize laidOutAt;
};

class FixedSizeView : public UIView {
public:
    CGSize sizeThatFits(CGSize) override { return CGSizeMake(30, 12); }
};

// Changes the context's state and fails halfway through its drawing.
class FailingView : public UIView {
public:
    using UIView::UIView;
    void drawRect(CGRect) override
    {
        CGContextRef context = UIGraphicsGetCurrentContext();
        CGContextSetAlpha(context, 0.2);
        CGContextTranslateCTM(context, 40, 40);
        throw NSException(NSInternalInconsistencyException, "drawing failed");
    }
};

bool isColor(UIImagePixel p, int r, int g, int b)
{
    return std::abs(p.red - r) <= 2 && std::abs(p.green - g) <= 2 && std::abs(p.blue - b) <= 2 && p.alpha == 255;
}

} // namespace

TEST(ViewHierarchy, SubviewsKeepTheirOrderAndMoveBetweenParents)
{
    auto root = makeRef<UIView>(CGRectMake(0, 0, 100, 100));
    auto a = makeRef<UIView>(), b = makeRef<UIView>(), c = makeRef<UIView>();
    root->addSubview(a.get());
    root->addSubview(c.get());
    root->insertSubviewAtIndex(b.get(), 1);
    ASSERT_EQ(root->subviews().size(), 3u);
    EXPECT_EQ(root->subviews()[1].get(), b.get());
    EXPECT_EQ(b->superview(), root.get());

    root->insertSubviewAtIndex(a.get(), 99); // re-adding moves it to the top
    EXPECT_EQ(root->subviews().back().get(), a.get());
    EXPECT_EQ(root->subviews().size(), 3u);

    auto other = makeRef<UIView>();
    other->addSubview(b.get());
    EXPECT_EQ(root->subviews().size(), 2u);
    EXPECT_EQ(b->superview(), other.get());

    c->removeFromSuperview();
    EXPECT_EQ(c->superview(), nullptr);
    EXPECT_EQ(root->subviews().size(), 1u);
    EXPECT_EQ(c->retainCount(), 1) << "the superview let go of it";
}

TEST(ViewHierarchy, ALayerThatOutlivesItsViewHasNoDelegate)
{
    Ref<CALayer> layer;
    {
        auto view = makeRef<UIView>(CGRectMake(0, 0, 10, 10));
        layer = view->layer();
        EXPECT_EQ(layer->delegate(), view.get());
    }
    EXPECT_EQ(layer->delegate(), nullptr);
}

TEST(ViewHierarchy, ViewWithTagSearchesTheReceiverThenDescendantsInOrder)
{
    auto root = makeRef<UIView>();
    auto first = makeRef<UIView>(), second = makeRef<UIView>(), deep = makeRef<UIView>();
    root->addSubview(first.get());
    root->addSubview(second.get());
    first->addSubview(deep.get());
    deep->setTag(7);
    second->setTag(7);
    root->setTag(3);
    EXPECT_EQ(root->viewWithTag(3), root.get());
    EXPECT_EQ(root->viewWithTag(7), deep.get()) << "depth first, in subview order";
    EXPECT_EQ(second->viewWithTag(7), second.get());
    EXPECT_EQ(root->viewWithTag(8), nullptr);
}

TEST(ViewGeometry, AutoresizingSharesTheChangeAmongFlexibleParts)
{
    auto root = makeRef<UIView>(CGRectMake(0, 0, 200, 100));
    auto fill = makeRef<UIView>(CGRectMake(10, 10, 180, 80));
    fill->setAutoresizingMask(18); // flexible width and height
    auto pinnedRight = makeRef<UIView>(CGRectMake(150, 0, 40, 20));
    pinnedRight->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    auto centred = makeRef<UIView>(CGRectMake(50, 0, 100, 20));
    centred->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin);
    auto fixed = makeRef<UIView>(CGRectMake(5, 5, 10, 10));
    for (UIView* v : { fill.get(), pinnedRight.get(), centred.get(), fixed.get() })
        root->addSubview(v);

    root->setFrame(CGRectMake(0, 0, 300, 50));
    EXPECT_EQ(fill->frame(), CGRectMake(10, 10, 280, 30));
    EXPECT_EQ(pinnedRight->frame(), CGRectMake(250, 0, 40, 20));
    EXPECT_EQ(centred->frame(), CGRectMake(100, 0, 100, 20));
    EXPECT_EQ(fixed->frame(), CGRectMake(5, 5, 10, 10));

    root->setAutoresizesSubviews(false);
    root->setFrame(CGRectMake(0, 0, 100, 100));
    EXPECT_EQ(fill->frame(), CGRectMake(10, 10, 280, 30));
}

TEST(ViewGeometry, BoundsOriginShiftsWhatSubviewsShow)
{
    auto root = makeRef<UIView>(CGRectMake(0, 0, 100, 100));
    auto child = makeRef<UIView>(CGRectMake(10, 50, 20, 20));
    root->addSubview(child.get());
    root->setBounds(CGRectMake(0, 40, 100, 100));
    EXPECT_EQ(root->frame(), CGRectMake(0, 0, 100, 100));
    EXPECT_EQ(child->convertRectToView(child->bounds(), nullptr), CGRectMake(10, 10, 20, 20));
    EXPECT_EQ(root->hitTest(CGPointMake(15, 55)), child.get());
    EXPECT_EQ(root->hitTest(CGPointMake(15, 45)), root.get());
    child->setHidden(true);
    EXPECT_EQ(root->hitTest(CGPointMake(15, 55)), root.get());
}

TEST(ViewLayout, PassesRunOncePerRequestAndAfterResizing)
{
    auto root = makeRef<CountingView>(CGRectMake(0, 0, 50, 50));
    auto child = makeRef<CountingView>(CGRectMake(0, 0, 10, 10));
    child->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    root->addSubview(child.get());
    root->layoutIfNeeded();
    root->layoutIfNeeded();
    EXPECT_EQ(root->passes, 1);
    EXPECT_EQ(child->passes, 1);

    root->setFrame(CGRectMake(0, 0, 80, 50));
    root->layoutIfNeeded();
    EXPECT_EQ(root->passes, 2);
    EXPECT_EQ(child->passes, 2);
    EXPECT_EQ(child->laidOutAt, CGSizeMake(40, 10));

    root->setNeedsLayout();
    root->layoutIfNeeded();
    EXPECT_EQ(root->passes, 3);
    EXPECT_EQ(child->passes, 2);
}

TEST(ViewLayout, SizeToFitKeepsTheOrigin)
{
    auto view = makeRef<FixedSizeView>();
    view->setFrame(CGRectMake(5, 6, 100, 100));
    view->sizeToFit();
    EXPECT_EQ(view->frame(), CGRectMake(5, 6, 30, 12));
    auto plain = makeRef<UIView>(CGRectMake(1, 2, 3, 4));
    plain->sizeToFit();
    EXPECT_EQ(plain->frame(), CGRectMake(1, 2, 3, 4));
}

TEST(ViewRendering, BackgroundsAlphaHiddenAndRoundedClipping)
{
    auto root = makeRef<UIView>(CGRectMake(0, 0, 40, 20));
    root->setBackgroundColor(UIColor::whiteColor().get());
    auto faded = makeRef<UIView>(CGRectMake(0, 0, 10, 10));
    faded->setBackgroundColor(UIColor::blackColor().get());
    faded->setAlpha(0.5);
    auto hidden = makeRef<UIView>(CGRectMake(10, 0, 10, 10));
    hidden->setBackgroundColor(UIColor::blackColor().get());
    hidden->setHidden(true);
    auto rounded = makeRef<UIView>(CGRectMake(20, 0, 20, 20));
    rounded->setBackgroundColor(UIColor::blueColor().get());
    rounded->layer()->setCornerRadius(8);
    rounded->layer()->setMasksToBounds(true);
    auto overflow = makeRef<UIView>(CGRectMake(-10, 10, 40, 20)); // sticks out of `rounded`
    overflow->setBackgroundColor(UIColor::redColor().get());
    rounded->addSubview(overflow.get());
    for (UIView* v : { faded.get(), hidden.get(), rounded.get() })
        root->addSubview(v);

    Ref<UIImage> image = UIViewRenderImage(root.get(), 2);
    ASSERT_EQ(image->pixelWidth(), 80u);
    EXPECT_TRUE(isColor(image->pixelAt(10, 10), 128, 128, 128));
    EXPECT_TRUE(isColor(image->pixelAt(30, 10), 255, 255, 255)) << "hidden views are not drawn";
    EXPECT_TRUE(isColor(image->pixelAt(60, 10), 0, 0, 255));
    EXPECT_TRUE(isColor(image->pixelAt(60, 30), 255, 0, 0));
    EXPECT_TRUE(isColor(image->pixelAt(36, 30), 255, 255, 255)) << "clipped to the superview's bounds";
    EXPECT_TRUE(isColor(image->pixelAt(41, 1), 255, 255, 255)) << "the rounded corner is cut";
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
}

TEST(ViewLayoutDump, DescribesClassFrameAndPosition)
{
    auto root = makeRef<UIView>(CGRectMake(100, 100, 50, 50));
    auto child = makeRef<UIView>(CGRectMake(5, 5, 10, 10));
    child->setTag(4);
    root->addSubview(child.get());
    const UIViewLayoutNode tree = UIViewLayoutTree(root.get());
    EXPECT_EQ(tree.className, "UIView");
    EXPECT_EQ(tree.frameInRoot, CGRectMake(0, 0, 50, 50));
    ASSERT_EQ(tree.subviews.size(), 1u);
    EXPECT_EQ(tree.subviews[0].frame, CGRectMake(5, 5, 10, 10));
    EXPECT_EQ(tree.subviews[0].tag, 4);
    EXPECT_FALSE(tree.subviews[0].text.has_value());
}

TEST(ViewDrawing, ExceptionFromDrawRectLeavesTheContextAsItWas)
{
    // The faded parent draws into a group that the exception must not leave open.
    auto parent = makeRef<UIView>(CGRectMake(0, 0, 60, 60));
    parent->setAlpha(0.5);
    parent->addSubview(makeRef<FailingView>(CGRectMake(5, 5, 20, 20)).get());

    UIGraphicsBeginImageContext(CGSizeMake(60, 60));
    CGContextRef image = UIGraphicsGetCurrentContext();
    EXPECT_THROW(parent->drawViewHierarchyInRect(parent->bounds()), NSException);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), image);
    EXPECT_EQ(image->alpha(), 1);

    CGContextSetFillColorWithColor(image, UIColor::redColor()->CGColor());
    CGContextFillRect(image, CGRectMake(0, 0, 10, 10));
    Ref<UIImage> drawn = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    EXPECT_EQ(testing_support::boundsOf(*drawn, testing_support::isRed), CGRectMake(0, 0, 10, 10));
}
