#include <UIKit/UIView.h>

#include <UIKit/UIGraphics.h>
#include <UIKit/UIScreen.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// One axis of autoresizing: the leading margin, the length and the trailing
// margin, each flexible or fixed.
struct Axis {
    CGFloat lead, length, trail;
    bool flexLead, flexLength, flexTrail;
};

// Shares the change of the superview's length among the flexible parts, in
// proportion to their lengths, or evenly when they are all zero.
void resizeAxis(Axis& axis, CGFloat delta)
{
    const int flexible = axis.flexLead + axis.flexLength + axis.flexTrail;
    if (flexible == 0 || delta == 0)
        return;
    const CGFloat total
        = (axis.flexLead ? axis.lead : 0) + (axis.flexLength ? axis.length : 0) + (axis.flexTrail ? axis.trail : 0);
    auto share = [&](bool flex, CGFloat part) {
        if (!flex)
            return CGFloat(0);
        return total > 0 ? delta * part / total : delta / flexible;
    };
    const CGFloat leadShare = share(axis.flexLead, axis.lead);
    const CGFloat lengthShare = share(axis.flexLength, axis.length);
    axis.lead += leadShare;
    axis.length += lengthShare;
}

} // namespace

Class UIView::classObject()
{
    return objc::registeredClass<UIView>("UIView");
}

UIView::UIView(CGRect frame)
    : frame_(frame)
    , layer_(makeNonNullRef<CALayer>(this))
{
}

UIView::~UIView()
{
    for (const Ref<UIView>& subview : subviews_)
        subview->superview_ = nullptr;
}

void UIView::setFrame(CGRect frame)
{
    if (frame == frame_)
        return;
    const CGRect oldBounds = bounds();
    frame_ = frame;
    if (oldBounds.size != frame.size)
        boundsDidChange(oldBounds);
}

void UIView::setBounds(CGRect bounds)
{
    const CGRect oldBounds = this->bounds();
    if (bounds == oldBounds)
        return;
    if (bounds.size != frame_.size) {
        const CGPoint oldCenter = center();
        frame_ = CGRect { CGPointMake(oldCenter.x - bounds.size.width / 2, oldCenter.y - bounds.size.height / 2),
            bounds.size };
    }
    boundsOrigin_ = bounds.origin;
    boundsDidChange(oldBounds);
}

void UIView::boundsDidChange(CGRect oldBounds)
{
    if (oldBounds.size != frame_.size && autoresizesSubviews_)
        resizeSubviews(oldBounds.size);
    setNeedsLayout();
}

CGPoint UIView::center() const
{
    return CGPointMake(frame_.origin.x + frame_.size.width / 2, frame_.origin.y + frame_.size.height / 2);
}

void UIView::setCenter(CGPoint center)
{
    setFrame(CGRect { CGPointMake(center.x - frame_.size.width / 2, center.y - frame_.size.height / 2), frame_.size });
}

void UIView::resizeSubviews(CGSize oldSize)
{
    for (const Ref<UIView>& subview : std::vector<Ref<UIView>>(subviews_))
        subview->applyAutoresizing(oldSize, frame_.size);
}

void UIView::applyAutoresizing(CGSize oldSuperSize, CGSize newSuperSize)
{
    const NSUInteger mask = autoresizingMask_;
    if (mask == UIViewAutoresizingNone)
        return;
    Axis horizontal { frame_.origin.x, frame_.size.width, oldSuperSize.width - CGRectGetMaxX(frame_),
        (mask & UIViewAutoresizingFlexibleLeftMargin) != 0, (mask & UIViewAutoresizingFlexibleWidth) != 0,
        (mask & UIViewAutoresizingFlexibleRightMargin) != 0 };
    Axis vertical { frame_.origin.y, frame_.size.height, oldSuperSize.height - CGRectGetMaxY(frame_),
        (mask & UIViewAutoresizingFlexibleTopMargin) != 0, (mask & UIViewAutoresizingFlexibleHeight) != 0,
        (mask & UIViewAutoresizingFlexibleBottomMargin) != 0 };
    resizeAxis(horizontal, newSuperSize.width - oldSuperSize.width);
    resizeAxis(vertical, newSuperSize.height - oldSuperSize.height);
    setFrame(CGRectMake(horizontal.lead, vertical.lead, horizontal.length, vertical.length));
}

void UIView::addSubview(UIView* view)
{
    insertSubviewAtIndex(view, static_cast<NSInteger>(subviews_.size()));
}

void UIView::insertSubviewAtIndex(UIView* view, NSInteger index)
{
    if (!view || view == this)
        return;
    Ref<UIView> keep(view);
    view->removeFromSuperview();
    const auto position = std::clamp<NSInteger>(index, 0, static_cast<NSInteger>(subviews_.size()));
    subviews_.insert(subviews_.begin() + position, keep);
    view->superview_ = this;
    view->setNeedsLayout();
}

void UIView::removeFromSuperview()
{
    UIView* superview = superview_;
    if (!superview)
        return;
    Ref<UIView> keep(this);
    superview_ = nullptr;
    auto& siblings = superview->subviews_;
    siblings.erase(std::find(siblings.begin(), siblings.end(), keep));
}

bool UIView::isDescendantOfView(const UIView* view) const
{
    for (const UIView* v = this; v; v = v->superview_) {
        if (v == view)
            return true;
    }
    return false;
}

UIView* UIView::viewWithTag(NSInteger tag)
{
    if (tag_ == tag)
        return this;
    for (const Ref<UIView>& subview : subviews_) {
        if (UIView* found = subview->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

void UIView::setBackgroundColor(UIColor* color)
{
    backgroundColor_ = color;
}

void UIView::setAlpha(CGFloat alpha)
{
    alpha_ = std::clamp<CGFloat>(alpha, 0, 1);
}

void UIView::layoutIfNeeded()
{
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    }
    for (const Ref<UIView>& subview : std::vector<Ref<UIView>>(subviews_))
        subview->layoutIfNeeded();
}

void UIView::layoutSubviews()
{
}

CGSize UIView::sizeThatFits(CGSize)
{
    return frame_.size;
}

void UIView::sizeToFit()
{
    const CGSize size = sizeThatFits(frame_.size);
    setFrame(CGRect { frame_.origin, size });
}

CGPoint UIView::originInRoot() const
{
    CGPoint origin = CGPointZero;
    for (const UIView* v = this; v; v = v->superview_) {
        origin.x -= v->boundsOrigin_.x;
        origin.y -= v->boundsOrigin_.y;
        if (v->superview_) {
            origin.x += v->frame_.origin.x;
            origin.y += v->frame_.origin.y;
        }
    }
    return origin;
}

CGPoint UIView::convertPointToView(CGPoint point, const UIView* view) const
{
    const CGPoint from = originInRoot();
    const CGPoint to = view ? view->originInRoot() : CGPointZero;
    return CGPointMake(point.x + from.x - to.x, point.y + from.y - to.y);
}

CGRect UIView::convertRectToView(CGRect rect, const UIView* view) const
{
    return CGRect { convertPointToView(rect.origin, view), rect.size };
}

bool UIView::pointInside(CGPoint point) const
{
    const CGRect b = bounds();
    return point.x >= CGRectGetMinX(b) && point.x < CGRectGetMaxX(b) && point.y >= CGRectGetMinY(b)
        && point.y < CGRectGetMaxY(b);
}

UIView* UIView::hitTest(CGPoint point)
{
    if (hidden_ || alpha_ <= 0.01 || !pointInside(point))
        return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        UIView& subview = **it;
        const CGPoint inSubview = CGPointMake(point.x - subview.frame_.origin.x + subview.boundsOrigin_.x,
            point.y - subview.frame_.origin.y + subview.boundsOrigin_.y);
        if (UIView* hit = subview.hitTest(inSubview))
            return hit;
    }
    return this;
}

void UIView::drawRect(CGRect)
{
}

namespace {

// A faded view draws into a group that is painted with the view's alpha at the
// end; a group left open by an exception is dropped, so Cairo's state stays balanced.
class FadeGroup {
public:
    FadeGroup(cairo_t* cairo, CGFloat alpha)
        : cairo_(alpha < 1 ? cairo : nullptr)
        , alpha_(alpha)
    {
        if (cairo_)
            cairo_push_group(cairo_);
    }
    ~FadeGroup()
    {
        if (cairo_)
            cairo_pattern_destroy(cairo_pop_group(cairo_));
    }
    FadeGroup(const FadeGroup&) = delete;
    FadeGroup& operator=(const FadeGroup&) = delete;

    void paint()
    {
        if (!cairo_)
            return;
        cairo_pop_group_to_source(cairo_);
        cairo_paint_with_alpha(cairo_, alpha_);
        cairo_ = nullptr;
    }

private:
    cairo_t* cairo_;
    CGFloat alpha_;
};

} // namespace

void UIView::renderContents(CGContextRef context)
{
    cairo_t* cairo = context->cairo();
    CairoStateSaver saved(cairo);
    FadeGroup fade(cairo, alpha_);

    const CGRect ownBounds = bounds();
    cairo_new_path(cairo);
    CairoAddRoundedRect(cairo, ownBounds, layer_->cornerRadius());
    if (backgroundColor_) {
        context->useAsSource(backgroundColor_->CGColor());
        cairo_fill_preserve(cairo);
    }
    if (layer_->masksToBounds())
        cairo_clip(cairo);
    cairo_new_path(cairo);
    {
        UIGraphicsContextScope current(context);
        CGContextStateSaver state(context);
        drawRect(ownBounds);
    }

    for (const Ref<UIView>& subview : std::vector<Ref<UIView>>(subviews_))
        renderSubview(*subview, context);
    fade.paint();
}

void UIView::renderSubview(UIView& subview, CGContextRef context)
{
    if (subview.hidden_ || subview.alpha_ <= 0)
        return;
    cairo_t* cairo = context->cairo();
    CairoStateSaver saved(cairo);
    cairo_translate(
        cairo, subview.frame_.origin.x - subview.boundsOrigin_.x, subview.frame_.origin.y - subview.boundsOrigin_.y);
    subview.renderContents(context);
}

bool UIView::drawViewHierarchyInRect(CGRect rect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return false;
    layoutIfNeeded();
    if (hidden_ || CGRectIsEmpty(frame_))
        return true;
    cairo_t* cairo = context->cairo();
    CairoStateSaver saved(cairo);
    cairo_translate(cairo, rect.origin.x, rect.origin.y);
    cairo_scale(cairo, rect.size.width / frame_.size.width, rect.size.height / frame_.size.height);
    cairo_translate(cairo, -boundsOrigin_.x, -boundsOrigin_.y);
    renderContents(context);
    return true;
}

std::string UIView::description() const
{
    char text[160];
    std::snprintf(text, sizeof text, "<%s: frame = (%g %g; %g %g); tag = %ld>", class_getName(isa()), frame_.origin.x,
        frame_.origin.y, frame_.size.width, frame_.size.height, static_cast<long>(tag_));
    return text;
}

Ref<UIImage> UIViewRenderImage(UIView* view, CGFloat scale)
{
    if (!view)
        return nullptr;
    const CGSize size = view->bounds().size;
    UIGraphicsImageContextScope canvas(size, NO, scale);
    view->drawViewHierarchyInRect(CGRect { CGPointZero, size });
    return canvas.image();
}
