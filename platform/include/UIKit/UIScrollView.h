// UIScrollView: shows a part of a larger content; the content offset is the
// bounds' origin. A host plays a drag with beginDragging, dragBy and
// endDragging: within the content the offset follows the finger; past an edge
// a bouncing view gives way less and less (rubber-banding) and springs back
// when released, a non-bouncing one stops at the edge.
#pragma once

#include <UIKit/UIScrollViewDelegate.h>
#include <UIKit/UIView.h>
#include <objc/WeakRef.h>
#include <platform/Export.h>

class PLATFORM_EXPORT UIScrollView : public objc::Subclass<UIScrollView, UIView> {
public:
    static Class classObject();

    explicit UIScrollView(CGRect frame = CGRectZero);

    CGPoint contentOffset() const { return bounds().origin; }
    // Tells the delegate scrollViewDidScroll when the offset changes.
    void setContentOffset(CGPoint offset);
    CGSize contentSize() const { return contentSize_; }
    void setContentSize(CGSize size) { contentSize_ = size; }

    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    // Bounce along an axis even when the content is no larger than the view.
    bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
    void setAlwaysBounceHorizontal(bool bounce) { alwaysBounceHorizontal_ = bounce; }
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool bounce) { alwaysBounceVertical_ = bounce; }
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }

    // Weak, as in UIKit: nil once the delegate has been deallocated.
    UIScrollViewDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(UIScrollViewDelegate* delegate) { delegate_ = delegate; }

    // A drag: NO (and nothing happens) when scrolling is off.
    bool beginDragging();
    // The finger moved by the translation since the last move; the content
    // moves with it.
    void dragBy(CGPoint translation);
    // Tells the delegate scrollViewDidEndDragging with the offset at release,
    // then springs back inside the content (ending with
    // scrollViewDidEndDecelerating).
    void endDragging();
    bool isDragging() const { return dragging_; }

    // The range of offsets inside the content.
    CGPoint minimumContentOffset() const { return CGPointZero; }
    CGPoint maximumContentOffset() const;

    // How far content pulled `overshoot` points past an edge moves, in a view
    // `dimension` points long: (1 − 1 / (overshoot × 0.55 / dimension + 1)) × dimension.
    static CGFloat rubberBandDistance(CGFloat overshoot, CGFloat dimension);
    // Its inverse: how far past an edge the finger must go for the content to
    // move `distance` points, never further. Infinite for a distance of the
    // whole dimension or more, which no pull reaches.
    static CGFloat rubberBandOvershoot(CGFloat distance, CGFloat dimension);

private:
    CGFloat followFinger(CGFloat raw, CGFloat minimum, CGFloat maximum, CGFloat dimension) const;
    bool canScrollHorizontally() const;
    bool canScrollVertically() const;

    CGSize contentSize_;
    bool bounces_ = true;
    bool alwaysBounceHorizontal_ = false;
    bool alwaysBounceVertical_ = false;
    bool scrollEnabled_ = true;
    WeakProtocolRef<UIScrollViewDelegate> delegate_;
    bool dragging_ = false;
    // Where the offset would be if nothing resisted the finger.
    CGPoint unresistedOffset_;
};
