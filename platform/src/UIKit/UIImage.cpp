#include <UIKit/UIImage.h>

#include <CoreGraphics/CGContext.h>
#include <UIKit/UIGraphics.h>

#include <cairo.h>

#include <cstdio>
#include <cstring>

namespace {

std::uint8_t unpremultiply(std::uint8_t component, std::uint8_t alpha)
{
    return alpha == 0 ? 0 : static_cast<std::uint8_t>((component * 255 + alpha / 2) / alpha);
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

Class UIImage::classObject()
{
    return objc::registeredClass<UIImage>("UIImage");
}

UIImage::UIImage(cairo_surface_t* surface, CGFloat scale)
    : surface_(cairo_surface_reference(surface))
    , scale_(scale > 0 ? scale : 1)
{
}

UIImage::~UIImage() = default;

Ref<UIImage> UIImage::imageWithContentsOfFile(const std::string& path)
{
    const platform::CairoSurfaceHandle surface(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return makeRef<UIImage>(surface.get(), 1);
}

std::size_t UIImage::pixelWidth() const
{
    return static_cast<std::size_t>(cairo_image_surface_get_width(cairoSurface()));
}

std::size_t UIImage::pixelHeight() const
{
    return static_cast<std::size_t>(cairo_image_surface_get_height(cairoSurface()));
}

CGSize UIImage::size() const
{
    return CGSizeMake(static_cast<CGFloat>(pixelWidth()) / scale_, static_cast<CGFloat>(pixelHeight()) / scale_);
}

UIImagePixel UIImage::pixelAt(std::size_t x, std::size_t y) const
{
    if (x >= pixelWidth() || y >= pixelHeight())
        return {};
    cairo_surface_flush(cairoSurface());
    const unsigned char* row = cairo_image_surface_get_data(cairoSurface())
        + y * static_cast<std::size_t>(cairo_image_surface_get_stride(cairoSurface()));
    std::uint32_t word;
    std::memcpy(&word, row + x * 4, sizeof word);
    // Cairo keeps native-endian 32-bit words, alpha in the top byte.
    const bool opaque = cairo_image_surface_get_format(cairoSurface()) == CAIRO_FORMAT_RGB24;
    const auto alpha = static_cast<std::uint8_t>(opaque ? 0xff : word >> 24);
    return { unpremultiply(static_cast<std::uint8_t>(word >> 16), alpha),
        unpremultiply(static_cast<std::uint8_t>(word >> 8), alpha),
        unpremultiply(static_cast<std::uint8_t>(word), alpha), alpha };
}

void UIImage::drawInRect(CGRect rect) const
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || CGRectIsEmpty(rect) || pixelWidth() == 0 || pixelHeight() == 0)
        return;
    cairo_t* cairo = context->cairo();
    CairoStateSaver saved(cairo);
    cairo_rectangle(cairo, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_clip(cairo);
    cairo_translate(cairo, rect.origin.x, rect.origin.y);
    cairo_scale(cairo, rect.size.width / static_cast<double>(pixelWidth()),
        rect.size.height / static_cast<double>(pixelHeight()));
    cairo_set_source_surface(cairo, cairoSurface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_GOOD);
    // Edge pixels repeat outward, so a scaled image keeps crisp edges at the clip.
    cairo_pattern_set_extend(cairo_get_source(cairo), CAIRO_EXTEND_PAD);
    cairo_paint_with_alpha(cairo, context->alpha());
}

bool UIImage::writePNGToFile(const std::string& path) const
{
    return cairo_surface_write_to_png(cairoSurface(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::string UIImage::description() const
{
    char text[96];
    const CGSize points = size();
    std::snprintf(text, sizeof text, "<UIImage: size {%g, %g}, scale %g>", points.width, points.height, scale_);
    return text;
}

std::vector<std::uint8_t> UIImagePNGRepresentation(const UIImage* image)
{
    std::vector<std::uint8_t> bytes;
    if (image)
        cairo_surface_write_to_png_stream(image->cairoSurface(), appendBytes, &bytes);
    return bytes;
}
