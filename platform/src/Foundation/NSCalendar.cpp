#include <Foundation/NSCalendar.h>

#include "IcuDates.h"

#include <algorithm>
#include <cstdint>

namespace {

struct Field {
    NSCalendarUnit unit;
    UCalendarDateFields icuField;
    // ICU counts months from 0, Foundation from 1.
    int32_t offset;
    // What dateFromComponents: takes when the field is undefined.
    int32_t earliest;
};

// Largest first: the order in which fields are added.
constexpr Field fields[] = {
    { NSCalendarUnitEra, UCAL_ERA, 0, 1 },
    { NSCalendarUnitYear, UCAL_YEAR, 0, 1 },
    { NSCalendarUnitMonth, UCAL_MONTH, 1, 1 },
    { NSCalendarUnitDay, UCAL_DATE, 0, 1 },
    { NSCalendarUnitHour, UCAL_HOUR_OF_DAY, 0, 0 },
    { NSCalendarUnitMinute, UCAL_MINUTE, 0, 0 },
    { NSCalendarUnitSecond, UCAL_SECOND, 0, 0 },
    { NSCalendarUnitWeekday, UCAL_DAY_OF_WEEK, 0, 1 },
};

bool isAddable(const Field& field)
{
    return field.unit != NSCalendarUnitEra && field.unit != NSCalendarUnitWeekday;
}

// ICU's fields are 32 bits wide; this keeps a value (and its month offset) within
// them, still far beyond any date ICU can reach.
int32_t clampToCalendarRange(NSInteger value)
{
    constexpr NSInteger reach = 1'000'000'000;
    return static_cast<int32_t>(std::clamp<NSInteger>(value, -reach, reach));
}

} // namespace

Class NSCalendar::classObject()
{
    return objc::registeredClass<NSCalendar>("NSCalendar");
}

NSCalendar::NSCalendar(NSLocale* locale, NSTimeZone* timeZone)
    : locale_(locale)
    , timeZone_(timeZone)
{
    if (!locale_)
        locale_ = NSLocale::currentLocale();
    if (!timeZone_)
        timeZone_ = NSTimeZone::defaultTimeZone();
}

Ref<NSCalendar> NSCalendar::currentCalendar()
{
    return makeRef<NSCalendar>(NSLocale::currentLocale().get(), NSTimeZone::defaultTimeZone().get());
}

Ref<NSString> NSCalendar::calendarIdentifier() const
{
    return "gregorian"_ns;
}

void NSCalendar::setLocale(NSLocale* locale)
{
    locale_ = locale ? Ref<NSLocale>(locale) : NSLocale::currentLocale();
}

void NSCalendar::setTimeZone(NSTimeZone* timeZone)
{
    timeZone_ = timeZone ? Ref<NSTimeZone>(timeZone) : NSTimeZone::defaultTimeZone();
}

Ref<NSDateComponents> NSCalendar::components(NSCalendarUnit units, const NSDate* date) const
{
    if (!date)
        return nil;
    auto result = makeRef<NSDateComponents>();
    dates::IcuSession icu;
    icu::Calendar& calendar = icu.calendar(timeZone_->name()->UTF8String());
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(dates::toUDate(date), status);
    for (const Field& field : fields) {
        if (units & field.unit)
            result->setValueForComponent(calendar.get(field.icuField, status) + field.offset, field.unit);
    }
    return U_SUCCESS(status) ? result : nil;
}

Ref<NSDate> NSCalendar::dateFromComponents(const NSDateComponents* components) const
{
    if (!components)
        return nil;
    dates::IcuSession icu;
    icu::Calendar& calendar = icu.calendar(timeZone_->name()->UTF8String());
    calendar.clear();
    for (const Field& field : fields) {
        if (field.unit == NSCalendarUnitWeekday)
            continue;
        const NSInteger value = components->valueForComponent(field.unit);
        calendar.set(field.icuField,
            value == NSDateComponentUndefined ? field.earliest - field.offset
                                              : clampToCalendarRange(value) - field.offset);
    }
    UErrorCode status = U_ZERO_ERROR;
    const UDate millis = calendar.getTime(status);
    return U_SUCCESS(status) ? dates::fromUDate(millis) : nil;
}

Ref<NSDate> NSCalendar::dateByAddingComponents(
    const NSDateComponents* components, const NSDate* date, NSCalendarOptions options) const
{
    if (!components || !date)
        return nil;
    dates::IcuSession icu;
    icu::Calendar& calendar = icu.calendar(timeZone_->name()->UTF8String());
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(dates::toUDate(date), status);
    for (const Field& field : fields) {
        const NSInteger amount = components->valueForComponent(field.unit);
        if (!isAddable(field) || amount == NSDateComponentUndefined || amount == 0)
            continue;
        if (options & NSCalendarWrapComponents)
            calendar.roll(field.icuField, clampToCalendarRange(amount), status);
        else
            calendar.add(field.icuField, clampToCalendarRange(amount), status);
    }
    const UDate millis = calendar.getTime(status);
    return U_SUCCESS(status) ? dates::fromUDate(millis) : nil;
}

bool NSCalendar::isDateInSameDayAsDate(const NSDate* date1, const NSDate* date2) const
{
    if (!date1 || !date2)
        return false;
    dates::IcuSession icu;
    icu::Calendar& calendar = icu.calendar(timeZone_->name()->UTF8String());
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(dates::toUDate(date1), status);
    const int32_t day1 = calendar.get(UCAL_JULIAN_DAY, status);
    calendar.setTime(dates::toUDate(date2), status);
    const int32_t day2 = calendar.get(UCAL_JULIAN_DAY, status);
    return U_SUCCESS(status) && day1 == day2;
}

Ref<NSDate> NSCalendar::startOfDayForDate(const NSDate* date) const
{
    if (!date)
        return nil;
    dates::IcuSession icu;
    icu::Calendar& calendar = icu.calendar(timeZone_->name()->UTF8String());
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(dates::toUDate(date), status);
    for (const UCalendarDateFields field : { UCAL_HOUR_OF_DAY, UCAL_MINUTE, UCAL_SECOND, UCAL_MILLISECOND })
        calendar.set(field, 0);
    const UDate millis = calendar.getTime(status);
    return U_SUCCESS(status) ? dates::fromUDate(millis) : nil;
}
