// CGContext: a drawing destination with Core Graphics' state and calls, drawn by
// Cairo. Coordinates are UIKit's: origin at the top left, y growing downward.
#pragma once

#include <CoreGraphics/CGColor.h>
#include <CoreGraphics/CGGeometry.h>
#include <platform/GraphicsHandles.h>

#include <vector>

class CGContext : public NSObject {
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
class CGContextStateSaver {
public:
    explicit CGContextStateSaver(CGContextRef context);
    ~CGContextStateSaver();
    CGContextStateSaver(const CGContextStateSaver&) = delete;
    CGContextStateSaver& operator=(const CGContextStateSaver&) = delete;

private:
    CGContextRef context_;
};

// The same for Cairo's own state, for drawing below Core Graphics' calls.
class CairoStateSaver {
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
void CairoAddRoundedRect(cairo_t* cairo, CGRect rect, CGFloat radius);

// Every call does nothing on a null context, as Core Graphics does.
void CGContextSaveGState(CGContextRef context);
void CGContextRestoreGState(CGContextRef context);

void CGContextSetLineWidth(CGContextRef context, CGFloat width);
void CGContextSetStrokeColorWithColor(CGContextRef context, CGColorRef color);
void CGContextSetFillColorWithColor(CGContextRef context, CGColorRef color);
// Multiplies the alpha of everything drawn afterwards.
void CGContextSetAlpha(CGContextRef context, CGFloat alpha);

void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy);

// Narrows the clip to the rectangle (intersected with the clip so far).
void CGContextClipToRect(CGContextRef context, CGRect rect);
CGRect CGContextGetClipBoundingBox(CGContextRef context);

void CGContextFillRect(CGContextRef context, CGRect rect);
void CGContextStrokeRect(CGContextRef context, CGRect rect);
// Makes the rectangle transparent, whatever the colours.
void CGContextClearRect(CGContextRef context, CGRect rect);
// The ellipse inscribed in the rectangle; a stroke is centred on its outline.
void CGContextFillEllipseInRect(CGContextRef context, CGRect rect);
void CGContextStrokeEllipseInRect(CGContextRef context, CGRect rect);
