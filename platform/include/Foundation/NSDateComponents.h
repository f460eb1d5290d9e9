// NSDateComponents: calendar fields of a date (year, month, day, ...), each one
// possibly undefined. NSCalendar fills them from a date and builds dates from them.
#pragma once

#include <objc/NSObjCRuntime.h>
#include <objc/runtime.h>
#include <platform/Export.h>

#include <array>
#include <climits>

// Bit masks naming calendar fields, with Foundation's values
// (NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay | NSCalendarUnitHour |
// NSCalendarUnitMinute is 124).
typedef NSUInteger NSCalendarUnit;
enum : NSCalendarUnit {
    NSCalendarUnitEra = 1UL << 1,
    NSCalendarUnitYear = 1UL << 2,
    NSCalendarUnitMonth = 1UL << 3,
    NSCalendarUnitDay = 1UL << 4,
    NSCalendarUnitHour = 1UL << 5,
    NSCalendarUnitMinute = 1UL << 6,
    NSCalendarUnitSecond = 1UL << 7,
    NSCalendarUnitWeekday = 1UL << 9,
};

// The value of a field that is not set.
constexpr NSInteger NSDateComponentUndefined = LONG_MAX;

class PLATFORM_EXPORT NSDateComponents : public objc::Subclass<NSDateComponents, NSObject> {
public:
    static Class classObject();

    NSDateComponents();

    // Era 1 is AD in the Gregorian calendar; month 1 is January; weekday 1 is
    // Sunday, 7 Saturday.
    NSInteger era() const { return valueForComponent(NSCalendarUnitEra); }
    NSInteger year() const { return valueForComponent(NSCalendarUnitYear); }
    NSInteger month() const { return valueForComponent(NSCalendarUnitMonth); }
    NSInteger day() const { return valueForComponent(NSCalendarUnitDay); }
    NSInteger hour() const { return valueForComponent(NSCalendarUnitHour); }
    NSInteger minute() const { return valueForComponent(NSCalendarUnitMinute); }
    NSInteger second() const { return valueForComponent(NSCalendarUnitSecond); }
    NSInteger weekday() const { return valueForComponent(NSCalendarUnitWeekday); }
    void setEra(NSInteger value) { setValueForComponent(value, NSCalendarUnitEra); }
    void setYear(NSInteger value) { setValueForComponent(value, NSCalendarUnitYear); }
    void setMonth(NSInteger value) { setValueForComponent(value, NSCalendarUnitMonth); }
    void setDay(NSInteger value) { setValueForComponent(value, NSCalendarUnitDay); }
    void setHour(NSInteger value) { setValueForComponent(value, NSCalendarUnitHour); }
    void setMinute(NSInteger value) { setValueForComponent(value, NSCalendarUnitMinute); }
    void setSecond(NSInteger value) { setValueForComponent(value, NSCalendarUnitSecond); }
    void setWeekday(NSInteger value) { setValueForComponent(value, NSCalendarUnitWeekday); }

    // One field by its unit; NSDateComponentUndefined for a unit named above that
    // is not set, and for any other unit.
    NSInteger valueForComponent(NSCalendarUnit unit) const;
    // Sets one field; a unit not named above is ignored.
    void setValueForComponent(NSInteger value, NSCalendarUnit unit);

private:
    // One slot per unit bit up to NSCalendarUnitWeekday.
    std::array<NSInteger, 10> values_;
};
