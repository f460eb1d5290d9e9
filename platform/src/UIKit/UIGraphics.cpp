#include <UIKit/UIGraphics.h>

#include <Foundation/NSLog.h>
#include <UIKit/UIScreen.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct ImageContext {
    Ref<CGContext> context;
    CGFloat scale;
};

thread_local std::vector<Ref<CGContext>> contextStack;
// The image contexts begun and not yet ended, innermost last.
thread_local std::vector<ImageContext> imageContexts;

const ImageContext* currentImageContext()
{
    CGContextRef current = UIGraphicsGetCurrentContext();
    if (imageContexts.empty() || imageContexts.back().context.get() != current)
        return nullptr;
    return &imageContexts.back();
}

int pixels(CGFloat points, CGFloat scale)
{
    return static_cast<int>(std::ceil(std::max<CGFloat>(points, 0) * scale));
}

} // namespace

CGContextRef UIGraphicsGetCurrentContext()
{
    return contextStack.empty() ? nullptr : contextStack.back().get();
}

void UIGraphicsPushContext(CGContextRef context)
{
    if (context)
        contextStack.emplace_back(context);
}

void UIGraphicsPopContext()
{
    if (!contextStack.empty())
        contextStack.pop_back();
}

UIGraphicsContextScope::UIGraphicsContextScope(CGContextRef context)
    : pushed_(context != nullptr)
{
    UIGraphicsPushContext(context);
}

UIGraphicsContextScope::~UIGraphicsContextScope()
{
    if (pushed_)
        UIGraphicsPopContext();
}

void UIGraphicsBeginImageContext(CGSize size)
{
    UIGraphicsBeginImageContextWithOptions(size, NO, 1);
}

void UIGraphicsBeginImageContextWithOptions(CGSize size, BOOL opaque, CGFloat scale)
{
    if (scale <= 0)
        scale = UIScreen::mainScreen()->scale();
    const platform::CairoSurfaceHandle surface(cairo_image_surface_create(
        opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, pixels(size.width, scale), pixels(size.height, scale)));
    const platform::CairoHandle cairo(cairo_create(surface.get()));
    // Drawing is in points; the bitmap is in pixels.
    cairo_scale(cairo.get(), scale, scale);
    auto context = makeRef<CGContext>(cairo.get());

    imageContexts.push_back({ context, scale });
    contextStack.push_back(std::move(context));
}

Ref<UIImage> UIGraphicsGetImageFromCurrentImageContext()
{
    const ImageContext* image = currentImageContext();
    if (!image)
        return nullptr;
    // A copy, so that drawing after this call does not change the image.
    cairo_surface_t* source = cairo_get_target(image->context->cairo());
    cairo_surface_flush(source);
    const platform::CairoSurfaceHandle copy(cairo_image_surface_create(cairo_image_surface_get_format(source),
        cairo_image_surface_get_width(source), cairo_image_surface_get_height(source)));
    {
        const platform::CairoHandle cairo(cairo_create(copy.get()));
        cairo_set_source_surface(cairo.get(), source, 0, 0);
        cairo_set_operator(cairo.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(cairo.get());
    }
    return makeRef<UIImage>(copy.get(), image->scale);
}

UIGraphicsImageContextScope::UIGraphicsImageContextScope(CGSize size, BOOL opaque, CGFloat scale)
{
    UIGraphicsBeginImageContextWithOptions(size, opaque, scale);
}

UIGraphicsImageContextScope::~UIGraphicsImageContextScope()
{
    UIGraphicsEndImageContext();
}

Ref<UIImage> UIGraphicsImageContextScope::image() const
{
    return UIGraphicsGetImageFromCurrentImageContext();
}

void UIGraphicsEndImageContext()
{
    if (!currentImageContext()) {
        NSLog("UIGraphicsEndImageContext: the current context is not an image context");
        return;
    }
    imageContexts.pop_back();
    contextStack.pop_back();
}
