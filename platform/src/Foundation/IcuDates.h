// The ICU objects behind the date classes, made on first use and kept.
//
// Making an ICU formatter costs 15–35 µs and a pattern generator several hundred,
// while formatting with a ready one costs about 2 µs; NSDateFormatter objects are
// made freely (one per date text), so they share these instead of owning their
// own. The calendars and formatters keep working state, so they are used by one
// thread at a time: an IcuSession holds the lock for as long as it lives.
#pragma once

#include <Foundation/NSDate.h>

#include <unicode/calendar.h>
#include <unicode/unistr.h>

#include <mutex>
#include <string>

namespace dates {

// ICU counts milliseconds since 1970.
inline UDate toUDate(const NSDate* date)
{
    return (date->timeIntervalSinceReferenceDate() + NSTimeIntervalSince1970) * 1000.0;
}
inline Ref<NSDate> fromUDate(UDate millis)
{
    return NSDate::dateWithTimeIntervalSince1970(millis / 1000.0);
}

std::string toUtf8(const icu::UnicodeString& text);

// Whether the tz database has a zone of that name.
bool isKnownTimeZone(std::string_view name);
// The host's zone as the tz database knows it: UTC for a name it does not know.
std::string hostTimeZoneName();

class IcuSession {
public:
    // Also makes the host's zone ICU's default zone, so that ICU never reads the
    // system's own.
    IcuSession();
    IcuSession(const IcuSession&) = delete;
    IcuSession& operator=(const IcuSession&) = delete;

    // A Gregorian calendar in the zone, resolving local times that a
    // daylight-saving change skips or repeats as NSCalendar does. Its time and
    // fields are the caller's to set.
    icu::Calendar& calendar(const std::string& zone);

    // The date in an ICU pattern, through a Gregorian formatter made once for the
    // locale, pattern and zone; empty for a pattern ICU rejects.
    std::string format(const std::string& locale, const std::string& pattern, const std::string& zone, UDate date);

    // The locale's pattern for a template of pattern letters.
    const std::string& bestPattern(const std::string& locale, const std::string& dateTemplate);
    // The locale's pattern for NSDateFormatterStyle values; empty for two NoStyles.
    const std::string& stylePattern(const std::string& locale, NSUInteger dateStyle, NSUInteger timeStyle);
    // How the locale joins a date and a time: "{1}, {0}" (date, time) in English.
    const std::string& dateTimeGlue(const std::string& locale);
    // The locale's word for the day `offset` days from today, capitalised for the
    // start of a sentence ("Tomorrow", "Morgen"); empty when it has none.
    const std::string& relativeDayName(const std::string& locale, int offset);

private:
    explicit IcuSession(std::string hostZone);

    std::unique_lock<std::mutex> lock_;
};

} // namespace dates
