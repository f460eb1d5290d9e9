#include <host/LockScreenWallpaper.h>

#include <CoreGraphics/CGContext.h>
#include <UIKit/UIGraphics.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace {

struct ColorStop {
    double offset, red, green, blue;
};

// Top left to bottom right.
constexpr ColorStop gradientStops[] = {
    { 0.0, 0.13, 0.26, 0.47 },
    { 0.55, 0.22, 0.20, 0.46 },
    { 1.0, 0.12, 0.08, 0.24 },
};

void paintGradient(cairo_t* cairo, CGSize size)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, size.width * 0.6, size.height);
    for (const ColorStop& stop : gradientStops)
        cairo_pattern_add_color_stop_rgb(gradient, stop.offset, stop.red, stop.green, stop.blue);
    cairo_set_source(cairo, gradient);
    cairo_rectangle(cairo, 0, 0, size.width, size.height);
    cairo_fill(cairo);
    cairo_pattern_destroy(gradient);
}

// A faint warm light rising from the lower right, as on a photograph of dusk.
void paintGlow(cairo_t* cairo, CGSize size)
{
    const double x = size.width * 0.8, y = size.height * 0.78;
    const double radius = std::max(size.width, size.height) * 0.55;
    cairo_pattern_t* glow = cairo_pattern_create_radial(x, y, 0, x, y, radius);
    cairo_pattern_add_color_stop_rgba(glow, 0, 0.85, 0.45, 0.55, 0.35);
    cairo_pattern_add_color_stop_rgba(glow, 1, 0.85, 0.45, 0.55, 0);
    cairo_set_source(cairo, glow);
    cairo_rectangle(cairo, 0, 0, size.width, size.height);
    cairo_fill(cairo);
    cairo_pattern_destroy(glow);
}

// The pixels per point of the current context.
CGFloat contextScale(cairo_t* cairo)
{
    double x = 1, y = 0;
    cairo_user_to_device_distance(cairo, &x, &y);
    return std::hypot(x, y);
}

// The built-in picture at a size and scale. A gradient costs pixman far more than
// a copy of its pixels, and the screen asks for the same picture every frame, so
// the last one made is kept, as the phone keeps its wallpaper as a bitmap.
const UIImage& builtInPicture(CGSize size, CGFloat scale)
{
    static Ref<UIImage> picture;
    if (!picture || picture->size() != size || picture->scale() != scale) {
        UIGraphicsImageContextScope canvas(size, YES, scale);
        cairo_t* cairo = UIGraphicsGetCurrentContext()->cairo();
        paintGradient(cairo, size);
        paintGlow(cairo, size);
        picture = canvas.image();
    }
    return *picture;
}

} // namespace

LockScreenWallpaper::LockScreenWallpaper(CGRect frame)
    : UIView(frame)
{
}

void LockScreenWallpaper::drawRect(CGRect)
{
    const CGSize size = bounds().size;
    if (image_) {
        drawImage(size);
        return;
    }
    builtInPicture(size, contextScale(UIGraphicsGetCurrentContext()->cairo())).drawInRect(bounds());
}

// Scaled to cover the screen, centred, the overflow cut off.
void LockScreenWallpaper::drawImage(CGSize size) const
{
    const CGSize own = image_->size();
    if (own.width <= 0 || own.height <= 0)
        return;
    const CGFloat factor = std::max(size.width / own.width, size.height / own.height);
    const CGSize drawn = CGSizeMake(own.width * factor, own.height * factor);
    CGContextRef context = UIGraphicsGetCurrentContext();
    CGContextSaveGState(context);
    CGContextClipToRect(context, CGRectMake(0, 0, size.width, size.height));
    image_->drawInRect(
        CGRectMake((size.width - drawn.width) / 2, (size.height - drawn.height) / 2, drawn.width, drawn.height));
    CGContextRestoreGState(context);
}
