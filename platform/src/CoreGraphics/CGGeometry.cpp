#include <CoreGraphics/CGGeometry.h>

#include <algorithm>
#include <cmath>

CGRect CGRectIntegral(CGRect rect)
{
    // A negative width or height counts from the far edge, as in Core Graphics.
    const CGFloat left = std::min(rect.origin.x, rect.origin.x + rect.size.width);
    const CGFloat top = std::min(rect.origin.y, rect.origin.y + rect.size.height);
    const CGFloat minX = std::floor(left);
    const CGFloat minY = std::floor(top);
    const CGFloat maxX = std::ceil(left + std::abs(rect.size.width));
    const CGFloat maxY = std::ceil(top + std::abs(rect.size.height));
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}
