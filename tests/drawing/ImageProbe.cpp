#include "ImageProbe.h"

#include <UIKit/UIGraphics.h>

#include <algorithm>

namespace drawing_tests {

Ref<UIImage> drawImage(CGSize size, const std::function<void()>& draw)
{
    UIGraphicsBeginImageContext(size);
    draw();
    Ref<UIImage> image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

CGRect inkBounds(const UIImage& image, std::uint8_t threshold)
{
    std::size_t minX = image.pixelWidth(), minY = image.pixelHeight(), maxX = 0, maxY = 0;
    bool found = false;
    for (std::size_t y = 0; y < image.pixelHeight(); ++y) {
        for (std::size_t x = 0; x < image.pixelWidth(); ++x) {
            if (image.pixelAt(x, y).alpha <= threshold)
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
    return CGRectMake(minX, minY, maxX - minX + 1, maxY - minY + 1);
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

} // namespace drawing_tests
