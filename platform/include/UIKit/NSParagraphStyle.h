// How text that does not fit its box is broken or cut.
#pragma once

#include <objc/NSObjCRuntime.h>

enum NSLineBreakMode : NSInteger {
    NSLineBreakByWordWrapping = 0, // wrap at word boundaries
    NSLineBreakByCharWrapping = 1, // wrap at any character
    NSLineBreakByClipping = 2, // one line per paragraph, cut at the box's edges
    NSLineBreakByTruncatingHead = 3,
    NSLineBreakByTruncatingTail = 4, // "…" at the end of the line
    NSLineBreakByTruncatingMiddle = 5,
};
