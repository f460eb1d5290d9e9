// Reading drawn images back: where the ink is, of what colour and how much;
// geometry printed readably in failures.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <UIKit/UIImage.h>

#include <cstdint>
#include <functional>
#include <ostream>

inline void PrintTo(const CGRect& r, std::ostream* os)
{
    *os << "(" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", " << r.size.height << ")";
}
inline void PrintTo(const CGSize& s, std::ostream* os)
{
    *os << "(" << s.width << ", " << s.height << ")";
}
inline void PrintTo(const CGPoint& p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace testing_support {

// Draws into a fresh transparent context of the given size at scale 1 and
// returns what was drawn; the context is closed again.
Ref<UIImage> drawImage(CGSize size, const std::function<void()>& draw);

// The pixel-aligned box around every pixel that passes the test; empty when
// none does.
CGRect boundsOf(const UIImage& image, const std::function<bool(UIImagePixel)>& test);
// The box around every pixel more opaque than the threshold.
CGRect inkBounds(const UIImage& image, std::uint8_t threshold = 0);
// The sum of alpha over all pixels, in whole pixels (255 = one opaque pixel).
double inkAmount(const UIImage& image);

// Solid colours, as in the middle of a filled shape.
bool isRed(UIImagePixel pixel);
bool isBlack(UIImagePixel pixel);
bool isClear(UIImagePixel pixel);
// Any trace of the colour, as at the smoothed edges of text.
bool isRedInk(UIImagePixel pixel);
bool isBlackInk(UIImagePixel pixel);

} // namespace testing_support
