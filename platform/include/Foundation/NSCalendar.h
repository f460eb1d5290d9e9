// NSCalendar: the Gregorian calendar in a time zone, for the arithmetic of local
// days and wall-clock times. The current calendar follows the host's locale and
// zone (platform/Environment.h).
//
// A local time that a daylight-saving change skips (02:30 on a spring-forward
// night) is taken as the same distance past the change (03:30); a local time
// that a change repeats (02:30 on a fall-back night) is its first occurrence.
#pragma once

#include <Foundation/NSDate.h>
#include <Foundation/NSDateComponents.h>
#include <Foundation/NSLocale.h>
#include <Foundation/NSTimeZone.h>
#include <platform/Export.h>

typedef NSUInteger NSCalendarOptions;
enum : NSCalendarOptions {
    // Adding wraps each field within its range without carrying into larger ones
    // (adding 2 months to November 2016 gives January 2016).
    NSCalendarWrapComponents = 1UL << 0,
};

class PLATFORM_EXPORT NSCalendar : public objc::Subclass<NSCalendar, NSObject> {
public:
    static Class classObject();

    NSCalendar(NSLocale* locale, NSTimeZone* timeZone);

    // A new Gregorian calendar with the current locale and the default time zone.
    static Ref<NSCalendar> currentCalendar();

    // "gregorian".
    Ref<NSString> calendarIdentifier() const;
    Ref<NSLocale> locale() const { return locale_; }
    void setLocale(NSLocale* locale);
    Ref<NSTimeZone> timeZone() const { return timeZone_; }
    void setTimeZone(NSTimeZone* timeZone);

    // The fields named by the mask, in this calendar's zone; the others are
    // undefined. Nil for a nil date.
    Ref<NSDateComponents> components(NSCalendarUnit units, const NSDate* date) const;
    // The instant of the given local date and time. Fields left undefined take the
    // earliest value (year 1 AD, January, the 1st, 00:00:00); values out of range
    // carry over (month 13 is January of the next year). The weekday is not read:
    // the day of the month decides. Nil for values beyond the calendar's range.
    Ref<NSDate> dateFromComponents(const NSDateComponents* components) const;
    // Adds years, months, days, hours, minutes and seconds in that order. Days and
    // larger fields keep the wall-clock time across daylight-saving changes; hours
    // and smaller ones add elapsed time. Era and weekday are not added. Nil for a
    // nil date or components.
    Ref<NSDate> dateByAddingComponents(
        const NSDateComponents* components, const NSDate* date, NSCalendarOptions options = 0) const;
    // Whether both instants fall on the same local day in this calendar's zone.
    bool isDateInSameDayAsDate(const NSDate* date1, const NSDate* date2) const;
    // The first instant of the local day of the date: normally its midnight, the
    // end of the gap where a daylight-saving change skips midnight.
    Ref<NSDate> startOfDayForDate(const NSDate* date) const;

private:
    Ref<NSLocale> locale_;
    Ref<NSTimeZone> timeZone_;
};
