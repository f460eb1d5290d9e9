// The size and colour of one kind of text in an event row: the title, the
// location or the date.
#pragma once

#include <UIKit/UIColor.h>

struct DGLTextStyle {
    CGFloat size = 0;
    Ref<UIColor> color;

    bool operator==(const DGLTextStyle& other) const { return size == other.size && color.get() == other.color.get(); }
};
