#include <CoreGraphics/CGContext.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>

Class CGContext::classObject()
{
    return objc::registeredClass<CGContext>("CGContext");
}

CGContext::CGContext(cairo_t* cairo)
    : cairo_(cairo_reference(cairo))
{
    // Core Graphics starts with opaque black for both colours and a 1-point line.
    state_.fill = makeRef<CGColor>(0, 0, 0, 1);
    state_.stroke = state_.fill;
    cairo_set_line_width(cairo, 1);
}

CGContext::~CGContext() = default;

void CGContext::setFillColor(const CGColor* color)
{
    state_.fill = const_cast<CGColor*>(color);
}

void CGContext::setStrokeColor(const CGColor* color)
{
    state_.stroke = const_cast<CGColor*>(color);
}

void CGContext::setAlpha(CGFloat alpha)
{
    state_.alpha = std::clamp<CGFloat>(alpha, 0, 1);
}

void CGContext::saveGState()
{
    saved_.push_back(state_);
    cairo_save(cairo());
}

void CGContext::restoreGState()
{
    // An unbalanced restore is ignored, as Core Graphics ignores it.
    if (saved_.empty())
        return;
    state_ = std::move(saved_.back());
    saved_.pop_back();
    cairo_restore(cairo());
}

void CGContext::useAsSource(const CGColor* color) const
{
    // A null colour paints nothing, like a clear one.
    if (!color) {
        cairo_set_source_rgba(cairo(), 0, 0, 0, 0);
        return;
    }
    cairo_set_source_rgba(cairo(), color->red(), color->green(), color->blue(), color->alpha() * state_.alpha);
}

namespace {

void addRect(cairo_t* cairo, CGRect rect)
{
    cairo_rectangle(cairo, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
}

void addEllipse(cairo_t* cairo, CGRect rect)
{
    if (CGRectIsEmpty(rect))
        return;
    // The unit circle scaled into the rectangle; the path keeps the scaled shape
    // after the matrix is restored, so a later stroke keeps an even width.
    CairoStateSaver saved(cairo);
    cairo_translate(cairo, rect.origin.x + rect.size.width / 2, rect.origin.y + rect.size.height / 2);
    cairo_scale(cairo, rect.size.width / 2, rect.size.height / 2);
    cairo_new_sub_path(cairo);
    cairo_arc(cairo, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cairo);
}

void fill(CGContextRef context)
{
    context->useAsSource(context->fillColor());
    cairo_fill(context->cairo());
}

void stroke(CGContextRef context)
{
    context->useAsSource(context->strokeColor());
    cairo_stroke(context->cairo());
}

} // namespace

CGContextStateSaver::CGContextStateSaver(CGContextRef context)
    : context_(context)
{
    CGContextSaveGState(context_);
}

CGContextStateSaver::~CGContextStateSaver()
{
    CGContextRestoreGState(context_);
}

CairoStateSaver::CairoStateSaver(cairo_t* cairo)
    : cairo_(cairo)
{
    cairo_save(cairo_);
}

CairoStateSaver::~CairoStateSaver()
{
    cairo_restore(cairo_);
}

void CairoAddRoundedRect(cairo_t* cairo, CGRect rect, CGFloat radius)
{
    radius = std::min({ radius, rect.size.width / 2, rect.size.height / 2 });
    if (radius <= 0) {
        addRect(cairo, rect);
        return;
    }
    const double left = rect.origin.x, top = rect.origin.y;
    const double right = left + rect.size.width, bottom = top + rect.size.height;
    cairo_new_sub_path(cairo);
    cairo_arc(cairo, right - radius, top + radius, radius, -M_PI / 2, 0);
    cairo_arc(cairo, right - radius, bottom - radius, radius, 0, M_PI / 2);
    cairo_arc(cairo, left + radius, bottom - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cairo, left + radius, top + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cairo);
}

void CGContextSaveGState(CGContextRef context)
{
    if (context)
        context->saveGState();
}

void CGContextRestoreGState(CGContextRef context)
{
    if (context)
        context->restoreGState();
}

void CGContextSetLineWidth(CGContextRef context, CGFloat width)
{
    if (context && width >= 0)
        cairo_set_line_width(context->cairo(), width);
}

void CGContextSetStrokeColorWithColor(CGContextRef context, CGColorRef color)
{
    if (context)
        context->setStrokeColor(color);
}

void CGContextSetFillColorWithColor(CGContextRef context, CGColorRef color)
{
    if (context)
        context->setFillColor(color);
}

void CGContextSetAlpha(CGContextRef context, CGFloat alpha)
{
    if (context)
        context->setAlpha(alpha);
}

void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty)
{
    if (context)
        cairo_translate(context->cairo(), tx, ty);
}

void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy)
{
    if (context && sx != 0 && sy != 0)
        cairo_scale(context->cairo(), sx, sy);
}

void CGContextClipToRect(CGContextRef context, CGRect rect)
{
    if (!context)
        return;
    cairo_new_path(context->cairo());
    addRect(context->cairo(), rect);
    cairo_clip(context->cairo());
}

CGRect CGContextGetClipBoundingBox(CGContextRef context)
{
    if (!context)
        return CGRectZero;
    double x1, y1, x2, y2;
    cairo_clip_extents(context->cairo(), &x1, &y1, &x2, &y2);
    return CGRectMake(x1, y1, x2 - x1, y2 - y1);
}

void CGContextFillRect(CGContextRef context, CGRect rect)
{
    if (!context)
        return;
    cairo_new_path(context->cairo());
    addRect(context->cairo(), rect);
    fill(context);
}

void CGContextStrokeRect(CGContextRef context, CGRect rect)
{
    if (!context)
        return;
    cairo_new_path(context->cairo());
    addRect(context->cairo(), rect);
    stroke(context);
}

void CGContextClearRect(CGContextRef context, CGRect rect)
{
    if (!context)
        return;
    cairo_t* cairo = context->cairo();
    CairoStateSaver saved(cairo);
    cairo_set_operator(cairo, CAIRO_OPERATOR_CLEAR);
    cairo_new_path(cairo);
    addRect(cairo, rect);
    cairo_fill(cairo);
}

void CGContextFillEllipseInRect(CGContextRef context, CGRect rect)
{
    if (!context)
        return;
    cairo_new_path(context->cairo());
    addEllipse(context->cairo(), rect);
    fill(context);
}

void CGContextStrokeEllipseInRect(CGContextRef context, CGRect rect)
{
    if (!context)
        return;
    cairo_new_path(context->cairo());
    addEllipse(context->cairo(), rect);
    stroke(context);
}
