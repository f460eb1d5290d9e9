#pragma once

#include <objc/NSObjCRuntime.h>

struct NSRange {
    NSUInteger location = 0;
    NSUInteger length = 0;
    bool operator==(const NSRange&) const = default;
};

inline NSRange NSMakeRange(NSUInteger location, NSUInteger length)
{
    return { location, length };
}
