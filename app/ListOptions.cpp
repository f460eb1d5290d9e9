#include "ListOptions.h"

#include "ArgumentParsing.h"
#include "ExtensionSettings.h"
#include "IsoTime.h"

#include <EventKit/EKEventStore.h>
#include <Foundation/NSLocale.h>
#include <Foundation/NSTimeZone.h>
#include <objc/message.h>
#include <platform/Environment.h>

#include <unicode/uloc.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A language ICU has data for, alone or with a region it may not list itself
// ("en_DE" is English with German conventions).
bool isKnownLocale(const std::string& identifier)
{
    if (identifier.empty()
        || identifier.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-@=;")
            != std::string::npos)
        return false;
    char language[ULOC_LANG_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_getLanguage(identifier.c_str(), language, sizeof language, &status);
    if (U_FAILURE(status) || language[0] == '\0')
        return false;
    for (int32_t i = 0, count = uloc_countAvailable(); i < count; ++i)
        if (std::string_view(uloc_getAvailable(i)) == language)
            return true;
    return false;
}

// The zone that --now is read in: --tz, else the host's.
Ref<NSTimeZone> zoneOf(const ListOptions& options)
{
    return options.timeZone.empty() ? NSTimeZone::systemTimeZone() : NSTimeZone::timeZoneWithName(options.timeZone);
}

Class eventTableClass()
{
    const Class tableClass = objc_getClass("DGLEventTable");
    if (!tableClass)
        throw CommandError("the loaded extension has no DGLEventTable class");
    return tableClass;
}

} // namespace

void ListOptions::addCalendarsTo(CLI::App& subcommand)
{
    subcommand
        .add_option("--calendars", calendars,
            "Calendars to add to the device's own: vdir folders, folders of them, .ics files, or - for one calendar "
            "read from standard input")
        ->check(CLI::Validator(
            [](std::string& path) { return path == "-" ? std::string() : CLI::ExistingPath(path); }, "PATH"));
    subcommand
        .add_flag("--no-cache", noCache,
            "Read the calendar files alone, without the persistent calendar index (also DAYGLASS_NO_CACHE=1)")
        ->envname("DAYGLASS_NO_CACHE");
}

void ListOptions::addTo(CLI::App& subcommand)
{
    addCalendarsTo(subcommand);
    subcommand
        .add_option("--now", now,
            "The moment to show, in ISO 8601 (2024-03-05T09:30); local to --tz unless it carries an offset")
        ->check(validator(
            "ISO 8601",
            [](const std::string& text) {
                return static_cast<bool>(parseIsoTime(text, NSTimeZone::timeZoneWithName("UTC").get()));
            },
            "is not a date and time in ISO 8601, such as 2024-03-05T09:30 or 2024-03-05T09:30+01:00"));
    subcommand.add_option("--tz", timeZone, "The device's time zone, an IANA name such as Europe/Berlin")
        ->check(validator(
            "ZONE", [](const std::string& name) { return static_cast<bool>(NSTimeZone::timeZoneWithName(name)); },
            "is not a time zone; give an IANA name such as Europe/Berlin or UTC"));
    subcommand.add_option("--locale", locale, "The device's language and region, such as en_US or de_DE")
        ->check(
            validator("LOCALE", isKnownLocale, "is not a locale; give a language and region such as en_US or de_DE"));
    subcommand
        .add_option_function<std::string>(
            "--calendar-access", [this](const std::string& answer) { calendarAccessGranted = answer == "granted"; },
            "The privacy answer for calendar access: granted (the default) or denied")
        ->check(CLI::IsMember({ "granted", "denied" }));
    subcommand
        .add_option_function<long long>(
            "--days", [this](const long long& value) { days = value; },
            "Days ahead to look for events, instead of the settings' daysToDisplay")
        ->check(validator(
            "0-" + std::to_string(longestDayCount),
            [](const std::string& text) {
                const std::optional<long long> value = parseWhole<long long>(text);
                return value && *value >= 0 && *value <= longestDayCount;
            },
            "is not a number of days: give a whole number from 0 to " + std::to_string(longestDayCount)));
    subcommand
        .add_option_function<long long>(
            "--max", [this](const long long& value) { max = value; },
            "Most events to show, instead of the settings' maxEventsToDisplay; 0 or less shows all")
        ->check(validator(
            "N", [](const std::string& text) { return parseWhole<long long>(text).has_value(); },
            "is not a number of events: give a whole number"));
}

EKCalendarStorage ListOptions::calendarStorage() const
{
    return noCache ? EKCalendarStorage::Memory : EKCalendarStorage::Index;
}

void applyListEnvironment(const ListOptions& options)
{
    if (!options.timeZone.empty())
        platform::setCurrentTimeZoneIdentifier(options.timeZone);
    if (!options.locale.empty())
        platform::setCurrentLocaleIdentifier(options.locale);
    if (!options.now.empty()) {
        const Ref<NSDate> now = parseIsoTime(options.now, zoneOf(options).get());
        if (!now)
            throw UsageError("--now: '" + options.now + "' lies beyond the calendar");
        platform::pinCurrentTime(now->timeIntervalSince1970());
    }
    std::vector<std::string> sources;
    for (const std::string& path : options.calendars)
        sources.push_back(path == "-" ? path : fs::absolute(path).lexically_normal().string());
    EKEventStore::setAdditionalCalendarSources(std::move(sources));
    EKEventStore::setAccessGranted(options.calendarAccessGranted);
}

void applyListOverrides(const ListOptions& options)
{
    if (options.days)
        setExtensionSetting<setting::daysToDisplay>(static_cast<NSInteger>(*options.days));
    if (options.max)
        setExtensionSetting<setting::maxEventsToDisplay>(static_cast<NSInteger>(*options.max));
}

Ref<NSObject> makeEventTable(CGRect frame)
{
    const Ref<NSObject> allocated = Ref<NSObject>::adopt(class_createInstance(eventTableClass(), 0));
    return Ref<NSObject>(objc_msgSend<id>(allocated.get(), "initWithFrame:", frame));
}

Ref<UIView> makeExtensionEventTable(CGRect suggestedFrame)
{
    // The table comes autoreleased: once the pool has drained, the caller's
    // reference is its only one.
    AutoreleasePool pool;
    return Ref<UIView>(dynamicCast<UIView>(objc_msgSend<id>(eventTableClass(), "createEventTable:", suggestedFrame)));
}
