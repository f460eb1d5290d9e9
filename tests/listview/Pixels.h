// Reading the drawn images back, pixel by pixel.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <UIKit/UIImage.h>

#include <functional>

namespace listview_testing {

// Solid colours, as in the middle of a filled shape.
bool isRed(UIImagePixel pixel);
bool isBlack(UIImagePixel pixel);
bool isClear(UIImagePixel pixel);
// Any trace of the colour, as at the smoothed edges of text.
bool isRedInk(UIImagePixel pixel);
bool isBlackInk(UIImagePixel pixel);

// The pixel-aligned box around every pixel that passes the test; empty when
// none does.
CGRect boundsOf(const UIImage& image, const std::function<bool(UIImagePixel)>& test);

} // namespace listview_testing
