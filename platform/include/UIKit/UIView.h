// UIView: a rectangle in its superview with ordered subviews, drawn by Cairo.
//
// The frame is in the superview's coordinates; the bounds are the view's own,
// their origin being the offset of what it shows (a scroll view's content
// offset). Subviews are owned by their superview and drawn in order, the first
// at the bottom; a view keeps a plain pointer to its superview.
#pragma once

#include <CoreGraphics/CGContext.h>
#include <UIKit/CALayer.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIImage.h>
#include <platform/Export.h>

#include <optional>
#include <string>
#include <vector>

enum UIViewAutoresizing : NSUInteger {
    UIViewAutoresizingNone = 0,
    UIViewAutoresizingFlexibleLeftMargin = 1 << 0,
    UIViewAutoresizingFlexibleWidth = 1 << 1,
    UIViewAutoresizingFlexibleRightMargin = 1 << 2,
    UIViewAutoresizingFlexibleTopMargin = 1 << 3,
    UIViewAutoresizingFlexibleHeight = 1 << 4,
    UIViewAutoresizingFlexibleBottomMargin = 1 << 5,
};

enum UIViewContentMode : NSInteger {
    UIViewContentModeScaleToFill = 0,
    UIViewContentModeScaleAspectFit = 1,
    UIViewContentModeScaleAspectFill = 2,
    UIViewContentModeRedraw = 3,
    UIViewContentModeCenter = 4,
    UIViewContentModeTop = 5,
    UIViewContentModeBottom = 6,
    UIViewContentModeLeft = 7,
    UIViewContentModeRight = 8,
    UIViewContentModeTopLeft = 9,
    UIViewContentModeTopRight = 10,
    UIViewContentModeBottomLeft = 11,
    UIViewContentModeBottomRight = 12,
};

class PLATFORM_EXPORT UIView : public objc::Subclass<UIView, NSObject> {
public:
    static Class classObject();

    // initWithFrame:
    explicit UIView(CGRect frame = CGRectZero);
    ~UIView() override;

    // Geometry. A change of size resizes the subviews by their autoresizing
    // masks and asks for a layout pass.
    CGRect frame() const { return frame_; }
    virtual void setFrame(CGRect frame);
    CGRect bounds() const { return CGRect { boundsOrigin_, frame_.size }; }
    // Keeps the centre when the size changes, as UIKit does.
    void setBounds(CGRect bounds);
    CGPoint center() const;
    void setCenter(CGPoint center);

    // The hierarchy. Adding a view that has a superview moves it.
    UIView* superview() const { return superview_; }
    const std::vector<Ref<UIView>>& subviews() const { return subviews_; }
    void addSubview(UIView* view);
    // An index past the end adds at the top.
    void insertSubviewAtIndex(UIView* view, NSInteger index);
    void removeFromSuperview();
    bool isDescendantOfView(const UIView* view) const;

    NSInteger tag() const { return tag_; }
    void setTag(NSInteger tag) { tag_ = tag; }
    // The receiver when it has the tag, else the first descendant that has it,
    // searched depth first in subview order; null when none has it.
    UIView* viewWithTag(NSInteger tag);

    // Appearance.
    UIColor* backgroundColor() const { return backgroundColor_.get(); }
    virtual void setBackgroundColor(UIColor* color);
    CGFloat alpha() const { return alpha_; }
    void setAlpha(CGFloat alpha);
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { hidden_ = hidden; }
    // The layer's masksToBounds.
    bool clipsToBounds() const { return layer_->masksToBounds(); }
    void setClipsToBounds(bool clips) { layer_->setMasksToBounds(clips); }
    UIViewContentMode contentMode() const { return contentMode_; }
    void setContentMode(UIViewContentMode mode) { contentMode_ = mode; }
    CALayer* layer() const { return layer_.get(); }

    // Autoresizing: when this view's size changes, each subview's flexible
    // margins and sizes share the change in proportion to their current lengths.
    UIViewAutoresizing autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(UIViewAutoresizing mask) { autoresizingMask_ = mask; }
    void setAutoresizingMask(NSUInteger mask) { autoresizingMask_ = static_cast<UIViewAutoresizing>(mask); }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool autoresizes) { autoresizesSubviews_ = autoresizes; }

    // Layout. A new view, a resized or scrolled one and one just added to a
    // superview need a layout pass; layoutIfNeeded runs the pending passes of the whole subtree,
    // each view's before its subviews'.
    void setNeedsLayout() { needsLayout_ = true; }
    bool needsLayout() const { return needsLayout_; }
    void layoutIfNeeded();
    virtual void layoutSubviews();
    // The size the view would like within the given size; a plain view keeps its own.
    virtual CGSize sizeThatFits(CGSize size);
    // Resizes the view to sizeThatFits(its current size), keeping its origin.
    void sizeToFit();

    // Coordinates. A null view stands for the root of the receiver's tree.
    CGPoint convertPointToView(CGPoint point, const UIView* view) const;
    CGRect convertRectToView(CGRect rect, const UIView* view) const;
    bool pointInside(CGPoint point) const;
    // The deepest visible view under the point (in the receiver's bounds
    // coordinates), the last-drawn subview first; null when outside.
    UIView* hitTest(CGPoint point);

    // Drawing. drawRect draws the view's own content over its background, with
    // the context current; the platform draws the subviews afterwards.
    virtual void drawRect(CGRect rect);
    // Draws the background, drawRect and the subviews, clipped and faded as the
    // layer and alpha say, with the context's transform as bounds coordinates.
    void renderContents(CGContextRef context);
    // Lays the tree out and draws it, scaled into the rectangle of the current
    // context. NO when there is no current context.
    bool drawViewHierarchyInRect(CGRect rect);

    // The text a view shows, for layout dumps; none for views without text.
    virtual std::optional<std::string> layoutText() const { return std::nullopt; }

    // "<UIView: frame = (0 0; 375 667); tag = 3>"
    std::string description() const override;

protected:
    // Called after the bounds' origin or size changed.
    virtual void boundsDidChange(CGRect oldBounds);

private:
    void resizeSubviews(CGSize oldSize);
    void applyAutoresizing(CGSize oldSuperSize, CGSize newSuperSize);
    CGPoint originInRoot() const;
    void renderSubview(UIView& subview, CGContextRef context);

    CGRect frame_;
    CGPoint boundsOrigin_;
    UIView* superview_ = nullptr;
    std::vector<Ref<UIView>> subviews_;
    NSInteger tag_ = 0;
    Ref<UIColor> backgroundColor_;
    CGFloat alpha_ = 1;
    bool hidden_ = false;
    UIViewContentMode contentMode_ = UIViewContentModeScaleToFill;
    NonNullRef<CALayer> layer_;
    UIViewAutoresizing autoresizingMask_ = UIViewAutoresizingNone;
    bool autoresizesSubviews_ = true;
    bool needsLayout_ = true;
};

// Draws the view tree into a new image of the view's bounds at the scale; a
// scale of 0 or less is the main screen's.
PLATFORM_EXPORT Ref<UIImage> UIViewRenderImage(UIView* view, CGFloat scale);
