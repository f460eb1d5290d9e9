#include "ImagePixels.h"

#include <UIKit/UIGraphics.h>

#include <algorithm>

namespace testing_support {

Ref<UIImage> drawImage(CGSize size, const std::function<void()>& draw)
{
    UIGraphicsBeginImageContext(size);
    draw();
    Ref<UIImage> image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

CGRect boundsOf(const UIImage& image, const std::function<bool(UIImagePixel)>& test)
{
    std::size_t minX = image.pixelWidth(), minY = image.pixelHeight(), maxX = 0, maxY = 0;
    bool found = false;
    for (std::size_t y = 0; y < image.pixelHeight(); ++y) {
        for (std::size_t x = 0; x < image.pixelWidth(); ++x) {
            if (!test(image.pixelAt(x, y)))
                continue;
            found = true;
            minX = std::min(minX, x);
            minY = std::min(minY, y);
            maxX = std::max(maxX, x);
            maxY = std::max(maxY, y);
        }
    }
    if (!found)
        return CGRectZero;
    return CGRectMake(minX, minY, maxX + 1 - minX, maxY + 1 - minY);
}

CGRect inkBounds(const UIImage& image, std::uint8_t threshold)
{
    return boundsOf(image, [threshold](UIImagePixel pixel) { return pixel.alpha > threshold; });
}

double inkAmount(const UIImage& image)
{
    double sum = 0;
    for (std::size_t y = 0; y < image.pixelHeight(); ++y) {
        for (std::size_t x = 0; x < image.pixelWidth(); ++x)
            sum += image.pixelAt(x, y).alpha;
    }
    return sum / 255;
}

bool isRed(UIImagePixel pixel)
{
    return pixel.alpha > 128 && isRedInk(pixel);
}

bool isBlack(UIImagePixel pixel)
{
    return pixel.alpha > 128 && isBlackInk(pixel);
}

bool isClear(UIImagePixel pixel)
{
    return pixel.alpha == 0;
}

// Pixels keep straight alpha, so a faint edge still carries the full colour.
bool isRedInk(UIImagePixel pixel)
{
    return pixel.alpha > 0 && pixel.red > 200 && pixel.green < 60 && pixel.blue < 60;
}

bool isBlackInk(UIImagePixel pixel)
{
    return pixel.alpha > 0 && pixel.red < 60 && pixel.green < 60 && pixel.blue < 60;
}

} // namespace testing_support
