#include <UIKit/UIScrollView.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr CGFloat rubberBandCoefficient = 0.55;

} // namespace

Class UIScrollView::classObject()
{
    return objc::registeredClass<UIScrollView>("UIScrollView");
}

UIScrollView::UIScrollView(CGRect frame)
    : Subclass(frame)
{
    setClipsToBounds(true);
}

void UIScrollView::setContentOffset(CGPoint offset)
{
    if (offset == contentOffset())
        return;
    setBounds(CGRect { offset, bounds().size });
    if (delegate_)
        delegate_->scrollViewDidScroll(this);
}

CGPoint UIScrollView::maximumContentOffset() const
{
    const CGSize size = bounds().size;
    return CGPointMake(
        std::max<CGFloat>(0, contentSize_.width - size.width), std::max<CGFloat>(0, contentSize_.height - size.height));
}

CGFloat UIScrollView::rubberBandDistance(CGFloat overshoot, CGFloat dimension)
{
    if (dimension <= 0 || overshoot <= 0)
        return 0;
    return (1 - 1 / (overshoot * rubberBandCoefficient / dimension + 1)) * dimension;
}

// Solved for the overshoot, then moved by the last bits of rounding to the
// furthest overshoot that does not take the content past `distance`, so that a
// pull to 80 points ends at 80, not a hair short or beyond.
CGFloat UIScrollView::rubberBandOvershoot(CGFloat distance, CGFloat dimension)
{
    constexpr CGFloat further = std::numeric_limits<CGFloat>::infinity();
    if (distance <= 0)
        return 0;
    if (distance >= dimension)
        return further;
    CGFloat overshoot = distance * dimension / ((dimension - distance) * rubberBandCoefficient);
    while (rubberBandDistance(overshoot, dimension) > distance)
        overshoot = std::nextafter(overshoot, CGFloat(0));
    while (rubberBandDistance(std::nextafter(overshoot, further), dimension) <= distance)
        overshoot = std::nextafter(overshoot, further);
    return overshoot;
}

bool UIScrollView::canScrollHorizontally() const
{
    return contentSize_.width > bounds().size.width || (bounces_ && alwaysBounceHorizontal_);
}

bool UIScrollView::canScrollVertically() const
{
    return contentSize_.height > bounds().size.height || (bounces_ && alwaysBounceVertical_);
}

bool UIScrollView::beginDragging()
{
    if (!scrollEnabled_)
        return false;
    dragging_ = true;
    unresistedOffset_ = contentOffset();
    if (delegate_)
        delegate_->scrollViewWillBeginDragging(this);
    return true;
}

CGFloat UIScrollView::followFinger(CGFloat raw, CGFloat minimum, CGFloat maximum, CGFloat dimension) const
{
    if (raw < minimum)
        return bounces_ ? minimum - rubberBandDistance(minimum - raw, dimension) : minimum;
    if (raw > maximum)
        return bounces_ ? maximum + rubberBandDistance(raw - maximum, dimension) : maximum;
    return raw;
}

void UIScrollView::dragBy(CGPoint translation)
{
    if (!dragging_)
        return;
    const CGPoint minimum = minimumContentOffset();
    const CGPoint maximum = maximumContentOffset();
    const CGSize size = bounds().size;
    CGPoint offset = contentOffset();
    if (canScrollHorizontally()) {
        unresistedOffset_.x -= translation.x;
        offset.x = followFinger(unresistedOffset_.x, minimum.x, maximum.x, size.width);
    }
    if (canScrollVertically()) {
        unresistedOffset_.y -= translation.y;
        offset.y = followFinger(unresistedOffset_.y, minimum.y, maximum.y, size.height);
    }
    setContentOffset(offset);
}

void UIScrollView::endDragging()
{
    if (!dragging_)
        return;
    dragging_ = false;
    const CGPoint offset = contentOffset();
    const CGPoint maximum = maximumContentOffset();
    const CGPoint rest
        = CGPointMake(std::clamp<CGFloat>(offset.x, 0, maximum.x), std::clamp<CGFloat>(offset.y, 0, maximum.y));
    const bool springsBack = rest != offset;
    // The delegate may drop its last reference to this view.
    Ref<UIScrollView> keep(this);
    if (delegate_)
        delegate_->scrollViewDidEndDragging(this, springsBack);
    if (!springsBack)
        return;
    setContentOffset(rest);
    if (delegate_)
        delegate_->scrollViewDidEndDecelerating(this);
}
