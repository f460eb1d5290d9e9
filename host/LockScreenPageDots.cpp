#include <host/LockScreenPageDots.h>

#include <CoreGraphics/CGContext.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIGraphics.h>

namespace {

constexpr CGFloat diameter = 7;
constexpr CGFloat spacing = 9;

} // namespace

LockScreenPageDots::LockScreenPageDots(CGRect frame, int pages, int current)
    : UIView(frame)
    , pages_(pages)
    , current_(current)
{
}

void LockScreenPageDots::drawRect(CGRect)
{
    const CGRect area = bounds();
    const CGFloat width = pages_ * diameter + (pages_ - 1) * spacing;
    const CGFloat x = (area.size.width - width) / 2, y = (area.size.height - diameter) / 2;
    CGContextRef context = UIGraphicsGetCurrentContext();
    for (int page = 0; page < pages_; ++page) {
        UIColor::colorWithWhite(1, page == current_ ? 1 : 0.45)->setFill();
        CGContextFillEllipseInRect(context, CGRectMake(x + page * (diameter + spacing), y, diameter, diameter));
    }
}
