// CGContext: a drawing destination with Core Graphics' state and calls, drawn by
// Cairo. Coordinates are UIKit's: origin at the top left, y growing downward.
#pragma once

#include <CoreGraphics/CGColor.h>
#include <CoreGraphics/CGGeometry.h>
#include <platform/Export.h>
#include <platform/GraphicsHandles.h>

#include <vector>

class PLATFORM_EXPORT CGContext : public objc::Subclass<CGContext, NSObject> {
public:
    static Class classObject();

    // Draws through the Cairo context, which it keeps a reference to.
    explicit CGContext(cairo_t* cairo);
    ~CGContext() override;

    cairo_t* cairo() const { return cairo_.get(); }

    // The parts of the graphics state Cairo has no slot for; saved and restored
    // together with Cairo's own state.
    const CGColor* fillColor() const { return state_.fill.get(); }
    const CGColor* strokeColor() const { return state_.stroke.get(); }
    CGFloat alpha() const { return state_.alpha; }
    void setFillColor(const CGColor* color);
    void setStrokeColor(const CGColor* color);
    void setAlpha(CGFloat alpha);
    void saveGState();
    void restoreGState();

    // Makes the colour, weakened by the context's alpha, Cairo's source.
    void useAsSource(const CGColor* color) const;

private:
    struct GState {
        Ref<CGColor> fill;
        Ref<CGColor> stroke;
        CGFloat alpha = 1;
    };

    platform::CairoHandle cairo_;
    GState state_;
    std::vector<GState> saved_;
};

typedef CGContext* CGContextRef;

// Saves a context's graphics state for a scope and restores it on the way out,
// so that an early return or an exception from drawing code cannot unbalance it.
class PLATFORM_EXPORT CGContextStateSaver {
public:
    explicit CGContextStateSaver(CGContextRef context);
    ~CGContextStateSaver();
    CGContextStateSaver(const CGContextStateSaver&) = delete;
    CGContextStateSaver& operator=(const CGContextStateSaver&) = delete;

private:
    CGContextRef context_;
};

// The same for Cairo's own state, for drawing below Core Graphics' calls.
class PLATFORM_EXPORT CairoStateSaver {
public:
    explicit CairoStateSaver(cairo_t* cairo);
    ~CairoStateSaver();
    CairoStateSaver(const CairoStateSaver&) = delete;
    CairoStateSaver& operator=(const CairoStateSaver&) = delete;

private:
    cairo_t* cairo_;
};

// Adds a rectangle with rounded corners to Cairo's path, as a closed sub-path.
// The radius is at most half the shorter side; 0 or less gives square corners.
PLATFORM_EXPORT void CairoAddRoundedRect(cairo_t* cairo, CGRect rect, CGFloat radius);

// Every call does nothing on a null context, as Core Graphics does.
PLATFORM_EXPORT void CGContextSaveGState(CGContextRef context);
PLATFORM_EXPORT void CGContextRestoreGState(CGContextRef context);

PLATFORM_EXPORT void CGContextSetLineWidth(CGContextRef context, CGFloat width);
PLATFORM_EXPORT void CGContextSetStrokeColorWithColor(CGContextRef context, CGColorRef color);
PLATFORM_EXPORT void CGContextSetFillColorWithColor(CGContextRef context, CGColorRef color);
// Multiplies the alpha of everything drawn afterwards.
PLATFORM_EXPORT void CGContextSetAlpha(CGContextRef context, CGFloat alpha);

PLATFORM_EXPORT void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty);
PLATFORM_EXPORT void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy);

// Narrows the clip to the rectangle (intersected with the clip so far).
PLATFORM_EXPORT void CGContextClipToRect(CGContextRef context, CGRect rect);
PLATFORM_EXPORT CGRect CGContextGetClipBoundingBox(CGContextRef context);

PLATFORM_EXPORT void CGContextFillRect(CGContextRef context, CGRect rect);
PLATFORM_EXPORT void CGContextStrokeRect(CGContextRef context, CGRect rect);
// Makes the rectangle transparent, whatever the colours.
PLATFORM_EXPORT void CGContextClearRect(CGContextRef context, CGRect rect);
// The ellipse inscribed in the rectangle; a stroke is centred on its outline.
PLATFORM_EXPORT void CGContextFillEllipseInRect(CGContextRef context, CGRect rect);
PLATFORM_EXPORT void CGContextStrokeEllipseInRect(CGContextRef context, CGRect rect);
