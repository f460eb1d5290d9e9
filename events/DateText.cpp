#include "events/DateText.h"

#include <Foundation/NSCalendar.h>
#include <Foundation/NSDateFormatter.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr NSTimeInterval secondsPerDay = 86400.0;

// Days from today's midnight to the date's, counted in fixed 86400-second days
// and truncated toward zero: across a night that a daylight-saving change
// shortens, two days ahead is 47 hours and counts as one day, and yesterday is
// 23 hours back and counts as none. Far-off dates saturate at the 32-bit range,
// as the phone's conversion does; a date beyond the calendar's range counts as
// today.
std::int32_t dayOffsetFromToday(const NSDate* date)
{
    const Ref<NSDate> midnight = events::dateWithZeroTimeFromDate(date);
    const Ref<NSDate> todaysMidnight = events::dateWithZeroTimeFromDate(NSDate::date().get());
    if (!midnight || !todaysMidnight)
        return 0;
    const double days = std::trunc(midnight->timeIntervalSinceDate(todaysMidnight.get()) / secondsPerDay);
    return static_cast<std::int32_t>(std::clamp<double>(days, INT32_MIN, INT32_MAX));
}

// Whether the current locale's own hour pattern carries an AM/PM marker.
bool localeUses12HourClock()
{
    const Ref<NSString> hour
        = NSDateFormatter::dateFormatFromTemplate("j"_ns.get(), 0, NSLocale::currentLocale().get());
    return hour->rangeOfString("a").location != NSNotFound;
}

void configureForOffset(NSDateFormatter& formatter, std::int32_t offset, bool isAllDay)
{
    const NSDateFormatterStyle timeStyle = isAllDay ? NSDateFormatterNoStyle : NSDateFormatterShortStyle;
    if (offset == -1 || offset == 1) {
        formatter.setDoesRelativeDateFormatting(true);
        formatter.setDateStyle(NSDateFormatterShortStyle);
        formatter.setTimeStyle(timeStyle);
    } else if (offset == 0) {
        // An all-day event today shows its start, midnight, like any other.
        formatter.setDateStyle(NSDateFormatterNoStyle);
        formatter.setTimeStyle(NSDateFormatterShortStyle);
    } else if (offset <= 7) {
        const char* pattern = isAllDay ? "EEEE" : localeUses12HourClock() ? "EEE, h:mm a" : "EEE, HH:mm";
        formatter.setDateFormat(NSString::string(pattern).get());
    } else {
        formatter.setDoesRelativeDateFormatting(false);
        formatter.setDateStyle(NSDateFormatterShortStyle);
        formatter.setTimeStyle(timeStyle);
    }
}

} // namespace

Ref<NSDate> events::dateWithZeroTimeFromDate(const NSDate* date)
{
    if (!date)
        return nil;
    const Ref<NSCalendar> calendar = NSCalendar::currentCalendar();
    const Ref<NSDateComponents> components = calendar->components(
        NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay | NSCalendarUnitWeekday, date);
    components->setHour(0);
    components->setMinute(0);
    components->setSecond(0);
    return calendar->dateFromComponents(components.get());
}

Ref<NSString> events::createPrettyDateFrom(const NSDate* date, bool isAllDay)
{
    if (!date)
        return nil;
    auto formatter = makeRef<NSDateFormatter>();
    configureForOffset(*formatter, dayOffsetFromToday(date), isAllDay);
    return formatter->stringFromDate(date);
}
