#include <host/LockScreenChrome.h>

#include <Foundation/NSDate.h>
#include <Foundation/NSDateFormatter.h>
#include <Foundation/NSLocale.h>
#include <Foundation/NSString.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <platform/Environment.h>

#include <algorithm>
#include <string_view>

namespace {

// The widgets page, the main page, the camera.
constexpr int lockScreenPages = 3;
constexpr int mainPage = 1;
constexpr CGFloat unlockHintSize = 16;
// How far the hint may shrink to fit the screen's width: every language's fits.
constexpr CGFloat unlockHintSmallestScale = 0.5;
// Kept clear of the screen's edges, as the phone keeps it.
constexpr CGFloat unlockHintMargin = 12;
constexpr const char* clockFontName = ".SFUIDisplay-Light";

NonNullRef<UILabel> centredLabel(UIFont* font)
{
    auto label = makeNonNullRef<UILabel>();
    label->setFont(font);
    label->setTextColor(UIColor::whiteColor().get());
    label->setTextAlignment(NSTextAlignmentCenter);
    return label;
}

// The locale's pattern for a template of pattern letters.
std::string patternFor(std::string_view dateTemplate)
{
    return NSDateFormatter::dateFormatFromTemplate(
        NSString::string(dateTemplate).get(), 0, NSLocale::currentLocale().get())
        ->description();
}

std::string formatted(double unixTime, const std::string& pattern)
{
    auto formatter = makeRef<NSDateFormatter>();
    formatter->setDateFormat(NSString::string(pattern).get());
    return formatter->stringFromDate(NSDate::dateWithTimeIntervalSince1970(unixTime).get())->description();
}

// Drops the pattern's day period ("a") and the spaces around it, narrow no-break
// ones included, so that "h:mm a" shows as "h:mm".
std::string withoutDayPeriod(std::string pattern)
{
    const std::size_t mark = pattern.find('a');
    if (mark == std::string::npos)
        return pattern;
    pattern.erase(mark, 1);
    for (std::string_view space : { " ", "\u202F", "\u00A0" }) {
        for (std::size_t at; (at = pattern.find(space)) != std::string::npos;)
            pattern.erase(at, space.size());
    }
    return pattern;
}

} // namespace

std::string lockScreenClockText(double unixTime)
{
    return formatted(unixTime, withoutDayPeriod(patternFor("jmm")));
}

std::string lockScreenDateText(double unixTime)
{
    return formatted(unixTime, patternFor("EEEEMMMMd"));
}

LockScreenChrome::LockScreenChrome(const host::DeviceModel& model, host::Orientation orientation)
    : statusBar_(makeNonNullRef<LockScreenStatusBar>(CGRectZero))
    , clock_(centredLabel(UIFont::fontWithName(clockFontName, model.clockFontSize).get()))
    , date_(centredLabel(UIFont::systemFontOfSize(model.dateFontSize).get()))
    , pageDots_(makeNonNullRef<LockScreenPageDots>(CGRectZero, lockScreenPages, mainPage))
    , unlockHint_(centredLabel(UIFont::systemFontOfSize(unlockHintSize).get()))
{
    unlockHint_->setAdjustsFontSizeToFitWidth(true);
    unlockHint_->setMinimumScaleFactor(unlockHintSmallestScale);
    for (UIView* part : std::initializer_list<UIView*> {
             statusBar_.get(), clock_.get(), date_.get(), pageDots_.get(), unlockHint_.get() })
        addSubview(part);
    setDevice(model, orientation);
    showTime(platform::currentUnixTime());
}

void LockScreenChrome::setDevice(const host::DeviceModel& model, host::Orientation orientation)
{
    const host::LockScreenLayout layout = host::lockScreenLayout(model, orientation);
    setFrame(CGRectMake(0, 0, layout.screenSize.width, layout.screenSize.height));
    statusBar_->setFrame(layout.statusBar);
    clock_->setFont(UIFont::fontWithName(clockFontName, model.clockFontSize).get());
    clock_->setFrame(layout.clock);
    date_->setFont(UIFont::systemFontOfSize(model.dateFontSize).get());
    date_->setFrame(layout.date);
    pageDots_->setFrame(layout.pageIndicator);
    const CGRect hint = layout.unlockHint;
    unlockHint_->setFrame(CGRectMake(
        hint.origin.x + unlockHintMargin, hint.origin.y, hint.size.width - 2 * unlockHintMargin, hint.size.height));
}

void LockScreenChrome::showTime(double unixTime)
{
    clock_->setText(lockScreenClockText(unixTime));
    date_->setText(lockScreenDateText(unixTime));
    showHint(hint_);
}

void LockScreenChrome::showHint(host::LockScreenHint hint)
{
    hint_ = hint;
    unlockHint_->setText(host::lockScreenHintText(hint, platform::currentLocaleIdentifier()));
}
