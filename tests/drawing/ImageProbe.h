// Reading drawn images back: where the ink is and how much of it there is;
// geometry printed readably in failures.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <UIKit/UIImage.h>

#include <functional>
#include <ostream>

// Readable geometry in test failures.
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

namespace drawing_tests {

// Draws into a fresh transparent context of the given size at scale 1 and
// returns what was drawn; the context is closed again.
Ref<UIImage> drawImage(CGSize size, const std::function<void()>& draw);

// The pixel-aligned bounding box of every pixel more opaque than the threshold;
// empty when there is none.
CGRect inkBounds(const UIImage& image, std::uint8_t threshold = 0);

// The sum of alpha over all pixels, in whole pixels (255 = one opaque pixel).
double inkAmount(const UIImage& image);

} // namespace drawing_tests
