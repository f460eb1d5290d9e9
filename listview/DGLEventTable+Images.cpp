#include "listview/DGLEventTable.h"

#include <CoreGraphics/CGContext.h>
#include <Foundation/NSDateFormatter.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIStringDrawing.h>

// Both images are drawn at scale 1 in their own image context, opened and closed
// within the call, so no drawing state outlives it and the caller's current
// context is the same afterwards.

namespace {

constexpr CGFloat iconSide = 64;
constexpr CGFloat dotImageSide = 80;

// A box spanning the icon's width, from `top` down by `height`, both fractions of
// the side, widened outward to whole points.
CGRect iconBand(CGFloat top, CGFloat height)
{
    return CGRectIntegral(CGRectMake(0, iconSide * top, iconSide, iconSide * height));
}

// One line centred in the box; a line wider than the box is cut at its edges.
void drawIconLine(const NSString* text, CGRect box, const UIColor& color, const char* fontName, CGFloat size)
{
    color.set();
    NSStringDrawInRect(
        text, box, UIFont::fontWithName(fontName, size).get(), NSLineBreakByClipping, NSTextAlignmentCenter);
}

} // namespace

Ref<UIImage> DGLEventTable::createCalendarIconForDate(const NSDate* date)
{
    auto formatter = makeRef<NSDateFormatter>();
    formatter->setDateFormat("EEEE"_ns.get());
    const Ref<NSString> weekday = formatter->stringFromDate(date);
    formatter->setDateFormat("d"_ns.get());
    const Ref<NSString> day = formatter->stringFromDate(date);

    UIGraphicsImageContextScope canvas(CGSizeMake(iconSide, iconSide));
    drawIconLine(weekday.get(), iconBand(0.08, 0.15), *UIColor::redColor(), "HelveticaNeue", 12);
    drawIconLine(day.get(), iconBand(0.2, 0.6), *UIColor::blackColor(), "HelveticaNeue-Light", 40);
    return canvas.image();
}

// The outline is stroked first and the disc filled over it, so the fill covers
// the inner half of the 2-point line: what shows is a disc of the given diameter
// with a 1-point black ring just outside it.
Ref<UIImage> DGLEventTable::drawColoredDotWithColor(const UIColor* color, CGFloat radius)
{
    UIGraphicsImageContextScope canvas(CGSizeMake(dotImageSide, dotImageSide));
    CGContextRef context = UIGraphicsGetCurrentContext();
    {
        UIGraphicsContextScope current(context);
        CGContextSetLineWidth(context, 2);
        CGContextSetStrokeColorWithColor(context, UIColor::blackColor()->CGColor());
        CGContextSetFillColorWithColor(context, color ? color->CGColor() : nullptr);
        const CGFloat origin = (dotImageSide - radius) * 0.5;
        const CGRect dot = CGRectMake(origin, origin, radius, radius);
        CGContextStrokeEllipseInRect(context, dot);
        CGContextFillEllipseInRect(context, dot);
    }
    return canvas.image();
}
