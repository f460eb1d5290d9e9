// The RelativeDateFormat category of NSDateFormatter:
// `[formatter relativeStringFromDateIfPossible:date]` is
// `relativeStringFromDateIfPossible(formatter, date)`.
#pragma once

#include <Foundation/NSDateFormatter.h>

// The platform's relative name for the date's day ("Today", "Morgen") in the
// formatter's locale, calendar and zone when it has one; otherwise the
// formatter's own text for the date. Nil for a nil formatter or date.
//
// Two formatters shared by the whole process do the comparison; they follow
// each receiver, so calls must come from one thread at a time.
Ref<NSString> relativeStringFromDateIfPossible(const NSDateFormatter* formatter, const NSDate* date);
