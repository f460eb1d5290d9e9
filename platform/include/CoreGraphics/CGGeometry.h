// Core Graphics geometry: points, sizes and rectangles in points.
#pragma once

#include <objc/encoding.h>
#include <platform/Export.h>

typedef double CGFloat;

struct CGPoint {
    CGFloat x = 0;
    CGFloat y = 0;
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width = 0;
    CGFloat height = 0;
    bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

// How the runtime encodes them in a method's types: "{CGRect={CGPoint=dd}{CGSize=dd}}".
namespace objc {
template <> struct Encoding<CGPoint> {
    static std::string of(WordSize w)
    {
        return "{CGPoint=" + Encoding<CGFloat>::of(w) + Encoding<CGFloat>::of(w) + "}";
    }
};
template <> struct Encoding<CGSize> {
    static std::string of(WordSize w) { return "{CGSize=" + Encoding<CGFloat>::of(w) + Encoding<CGFloat>::of(w) + "}"; }
};
template <> struct Encoding<CGRect> {
    static std::string of(WordSize w) { return "{CGRect=" + Encoding<CGPoint>::of(w) + Encoding<CGSize>::of(w) + "}"; }
};
} // namespace objc

inline CGPoint CGPointMake(CGFloat x, CGFloat y)
{
    return { x, y };
}
inline CGSize CGSizeMake(CGFloat width, CGFloat height)
{
    return { width, height };
}
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height)
{
    return { { x, y }, { width, height } };
}

inline constexpr CGRect CGRectZero {};
inline constexpr CGSize CGSizeZero {};
inline constexpr CGPoint CGPointZero {};

inline CGFloat CGRectGetMinX(CGRect r)
{
    return r.origin.x;
}
inline CGFloat CGRectGetMinY(CGRect r)
{
    return r.origin.y;
}
inline CGFloat CGRectGetMidX(CGRect r)
{
    return r.origin.x + r.size.width / 2;
}
inline CGFloat CGRectGetMidY(CGRect r)
{
    return r.origin.y + r.size.height / 2;
}
inline CGFloat CGRectGetMaxX(CGRect r)
{
    return r.origin.x + r.size.width;
}
inline CGFloat CGRectGetMaxY(CGRect r)
{
    return r.origin.y + r.size.height;
}
inline CGFloat CGRectGetWidth(CGRect r)
{
    return r.size.width;
}
inline CGFloat CGRectGetHeight(CGRect r)
{
    return r.size.height;
}

// A rectangle with a zero (or negative) width or height encloses no area.
inline bool CGRectIsEmpty(CGRect r)
{
    return r.size.width <= 0 || r.size.height <= 0;
}

// Widens the rectangle outward to whole points: origin down, far edge up.
PLATFORM_EXPORT CGRect CGRectIntegral(CGRect rect);
