// The date texts of the list's rows, in the current locale, calendar and zone.
#pragma once

#include <Foundation/NSDate.h>
#include <Foundation/NSString.h>

namespace events {

// The start (00:00:00) of the local day of the date; nil for nil.
Ref<NSDate> dateWithZeroTimeFromDate(const NSDate* date);

// A row's date text: the time alone today, the relative day name for yesterday
// and tomorrow, the weekday within a week, the short date beyond. Nil for nil.
Ref<NSString> createPrettyDateFrom(const NSDate* date, bool isAllDay);

} // namespace events
