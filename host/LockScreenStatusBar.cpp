#include <host/LockScreenStatusBar.h>

#include <host/LockScreenStrings.h>

#include <CoreGraphics/CGContext.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIGraphics.h>
#include <platform/Environment.h>

#include <cairo.h>

#include <cmath>

namespace {

constexpr CGFloat margin = 6;
constexpr CGFloat signalDot = 5.5;
constexpr CGFloat signalSpacing = 1.5;
constexpr int signalDots = 5;
constexpr CGFloat batteryWidth = 24;
constexpr CGFloat batteryHeight = 11;
constexpr CGFloat textSize = 12;

CGFloat signalWidth()
{
    return signalDots * signalDot + (signalDots - 1) * signalSpacing;
}

NonNullRef<UILabel> statusLabel(std::string_view text, NSTextAlignment alignment)
{
    auto label = makeNonNullRef<UILabel>();
    label->setText(text);
    label->setFont(UIFont::systemFontOfSize(textSize).get());
    label->setTextColor(UIColor::whiteColor().get());
    label->setTextAlignment(alignment);
    return label;
}

CGRect mirrored(CGRect frame, CGFloat width, bool mirror)
{
    if (mirror)
        frame.origin.x = width - CGRectGetMaxX(frame);
    return frame;
}

void drawSignal(cairo_t* cairo, CGFloat midY)
{
    for (int i = 0; i < signalDots; ++i) {
        cairo_arc(cairo, margin + signalDot / 2 + i * (signalDot + signalSpacing), midY, signalDot / 2, 0, 2 * M_PI);
        cairo_fill(cairo);
    }
}

void drawPadlock(cairo_t* cairo, CGFloat midX, CGFloat midY)
{
    const double width = 8, height = 6.5;
    const double bodyTop = midY - height / 2 + 2;
    cairo_set_line_width(cairo, 1.4);
    cairo_arc(cairo, midX, bodyTop, 2.6, M_PI, 2 * M_PI);
    cairo_line_to(cairo, midX + 2.6, bodyTop);
    cairo_move_to(cairo, midX - 2.6, bodyTop);
    cairo_stroke(cairo);
    CairoAddRoundedRect(cairo, CGRectMake(midX - width / 2, bodyTop, width, height), 1.2);
    cairo_fill(cairo);
}

// Full: the body outlined, filled inside, with the terminal's nub.
void drawBattery(cairo_t* cairo, CGFloat right, CGFloat midY)
{
    const double x = right - batteryWidth - 2, y = midY - batteryHeight / 2;
    cairo_set_line_width(cairo, 1);
    CairoAddRoundedRect(cairo, CGRectMake(x + 0.5, y + 0.5, batteryWidth - 1, batteryHeight - 1), 2.5);
    cairo_stroke(cairo);
    CairoAddRoundedRect(cairo, CGRectMake(x + 2, y + 2, batteryWidth - 4, batteryHeight - 4), 1.2);
    cairo_fill(cairo);
    CairoAddRoundedRect(cairo, CGRectMake(x + batteryWidth, midY - 2, 1.5, 4), 0.7);
    cairo_fill(cairo);
}

} // namespace

LockScreenStatusBar::LockScreenStatusBar(CGRect frame)
    : UIView(frame)
    , carrier_(statusLabel("Dayglass", NSTextAlignmentLeft))
    , charge_(statusLabel(host::chargeText(1, platform::currentLocaleIdentifier()), NSTextAlignmentRight))
    , rightToLeft_(host::isRightToLeft(platform::currentLocaleIdentifier()))
{
    addSubview(carrier_.get());
    addSubview(charge_.get());
    if (rightToLeft_) {
        carrier_->setTextAlignment(NSTextAlignmentRight);
        charge_->setTextAlignment(NSTextAlignmentLeft);
    }
}

void LockScreenStatusBar::layoutSubviews()
{
    const CGRect area = bounds();
    const CGFloat carrierX = margin + signalWidth() + 4;
    carrier_->setFrame(mirrored(CGRectMake(carrierX, 0, area.size.width / 2 - carrierX - 12, area.size.height),
        area.size.width, rightToLeft_));
    const CGFloat chargeRight = area.size.width - margin - batteryWidth - 6;
    charge_->setFrame(mirrored(
        CGRectMake(area.size.width / 2 + 12, 0, chargeRight - area.size.width / 2 - 12, area.size.height),
        area.size.width, rightToLeft_));
}

void LockScreenStatusBar::drawRect(CGRect)
{
    const CGRect area = bounds();
    const CGFloat midY = std::round(area.size.height / 2);
    cairo_t* cairo = UIGraphicsGetCurrentContext()->cairo();
    cairo_save(cairo);
    if (rightToLeft_) {
        cairo_translate(cairo, area.size.width, 0);
        cairo_scale(cairo, -1, 1);
    }
    cairo_set_source_rgb(cairo, 1, 1, 1);
    drawSignal(cairo, midY);
    drawPadlock(cairo, area.size.width / 2, midY);
    drawBattery(cairo, area.size.width - margin + 2, midY);
    cairo_restore(cairo);
}
