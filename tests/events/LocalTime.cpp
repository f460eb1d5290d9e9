#include "LocalTime.h"

#include <Foundation/NSCalendar.h>

namespace events_testing {

Ref<NSDate> localTime(const std::string& zone, LocalDay day, int hour, int minute)
{
    auto calendar = makeRef<NSCalendar>(
        NSLocale::localeWithLocaleIdentifier("en_US").get(), NSTimeZone::timeZoneWithName(zone).get());
    auto components = makeRef<NSDateComponents>();
    components->setYear(day.year);
    components->setMonth(day.month);
    components->setDay(day.day);
    components->setHour(hour);
    components->setMinute(minute);
    return calendar->dateFromComponents(components.get());
}

} // namespace events_testing
