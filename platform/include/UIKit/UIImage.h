// UIImage: a bitmap with a scale; its size is in points (pixels / scale).
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <objc/runtime.h>
#include <platform/Export.h>
#include <platform/GraphicsHandles.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One pixel with straight (not premultiplied) alpha.
struct UIImagePixel {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;
    bool operator==(const UIImagePixel&) const = default;
};

class PLATFORM_EXPORT UIImage : public objc::Subclass<UIImage, NSObject> {
public:
    static Class classObject();

    // Keeps a reference to the Cairo image surface (ARGB32 or RGB24).
    UIImage(cairo_surface_t* surface, CGFloat scale);
    ~UIImage() override;

    // A PNG file read at scale 1; nil when it cannot be read.
    static Ref<UIImage> imageWithContentsOfFile(const std::string& path);

    CGSize size() const;
    CGFloat scale() const { return scale_; }
    std::size_t pixelWidth() const;
    std::size_t pixelHeight() const;
    // The pixel at a pixel position; a transparent pixel outside the bitmap.
    UIImagePixel pixelAt(std::size_t x, std::size_t y) const;

    // Draws the image scaled into the rectangle of the current graphics context.
    void drawInRect(CGRect rect) const;

    // Writes the bitmap as PNG; NO when the file cannot be written.
    bool writePNGToFile(const std::string& path) const;

    cairo_surface_t* cairoSurface() const { return surface_.get(); }

    std::string description() const override;

private:
    platform::CairoSurfaceHandle surface_;
    CGFloat scale_;
};

// The image as PNG bytes; empty for a nil image.
PLATFORM_EXPORT std::vector<std::uint8_t> UIImagePNGRepresentation(const UIImage* image);
