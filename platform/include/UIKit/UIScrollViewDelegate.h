// What a scroll view tells its delegate. Every method does nothing unless the
// delegate overrides it.
#pragma once

#include <platform/Export.h>
class UIScrollView;

class PLATFORM_EXPORT UIScrollViewDelegate {
public:
    virtual ~UIScrollViewDelegate() = default;

    virtual void scrollViewDidScroll(UIScrollView*) { }
    virtual void scrollViewWillBeginDragging(UIScrollView*) { }
    // scrollViewDidEndDragging:willDecelerate:, with the offset still where the
    // finger let go; `decelerate` is YES when the view will move on by itself
    // (springing back from past an edge).
    virtual void scrollViewDidEndDragging(UIScrollView*, bool /*decelerate*/) { }
    virtual void scrollViewDidEndDecelerating(UIScrollView*) { }
};
