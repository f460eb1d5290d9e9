// Integer types of pointer width, as the phone's SDK defines them.
#pragma once

typedef long NSInteger;
typedef unsigned long NSUInteger;

enum NSComparisonResult : NSInteger {
    NSOrderedAscending = -1,
    NSOrderedSame = 0,
    NSOrderedDescending = 1,
};

constexpr NSUInteger NSNotFound = static_cast<NSUInteger>(-1) >> 1;
