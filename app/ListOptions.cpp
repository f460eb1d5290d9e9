#include "ListOptions.h"

#include "ArgumentParsing.h"
#include "ExtensionSettings.h"
#include "InputFiles.h"
#include "IsoTime.h"
#include "PreferenceKeys.h"

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

// A whole number from 0 to `highest`, as the settings pane offers it.
void addCountOption(CLI::App& subcommand, const std::string& name, std::optional<long long>& count, long long highest,
    const std::string& what, const std::string& help)
{
    const std::string range = "0-" + std::to_string(highest);
    subcommand
        .add_option_function<long long>(
            name, [&count](const long long& value) { count = value; }, help)
        ->check(validator(
            range,
            [highest](const std::string& text) {
                const std::optional<long long> value = parseWhole<long long>(text);
                return value && *value >= 0 && *value <= highest;
            },
            "is not a number of " + what + ": give a whole number from 0 to " + std::to_string(highest)));
}

} // namespace

std::string isoTimeProblem(const std::string& text)
{
    if (parseIsoTime(text, NSTimeZone::timeZoneWithName("UTC").get()))
        return {};
    return "'" + text + "' is not a date and time in ISO 8601, such as 2024-03-05T09:30 or 2024-03-05T09:30+01:00";
}

std::string timeZoneProblem(const std::string& name)
{
    if (NSTimeZone::timeZoneWithName(name))
        return {};
    return "'" + name + "' is not a time zone; give an IANA name such as Europe/Berlin or UTC";
}

std::string localeProblem(const std::string& identifier)
{
    if (isKnownLocale(identifier))
        return {};
    return "'" + identifier + "' is not a locale; give a language and region such as en_US or de_DE";
}

Ref<NSDate> isoTimeInDeviceZone(const std::string& text)
{
    return parseIsoTime(text, NSTimeZone::timeZoneWithName(platform::currentTimeZoneIdentifier()).get());
}

void ListOptions::addCalendarsTo(CLI::App& subcommand)
{
    subcommand
        .add_option("--calendars", calendars,
            "Calendars to add to the device's own: vdir folders, folders of them, .ics files, or - for one calendar "
            "read from standard input")
        ->check(existingPath(PathKind::FileOrFolder, StandardInput::Allowed));
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
        ->check(CLI::Validator([](std::string& text) { return isoTimeProblem(text); }, "ISO 8601"));
    subcommand.add_option("--tz", timeZone, "The device's time zone, an IANA name such as Europe/Berlin")
        ->check(CLI::Validator([](std::string& name) { return timeZoneProblem(name); }, "ZONE"));
    subcommand.add_option("--locale", locale, "The device's language and region, such as en_US or de_DE")
        ->check(CLI::Validator([](std::string& identifier) { return localeProblem(identifier); }, "LOCALE"));
    subcommand
        .add_option_function<std::string>(
            "--calendar-access", [this](const std::string& answer) { calendarAccessGranted = answer == "granted"; },
            "The privacy answer for calendar access: granted (the default) or denied")
        ->check(CLI::IsMember({ "granted", "denied" }));
    addCountOption(subcommand, "--days", days, longestDayCount, "days",
        "Days ahead to look for events, instead of the settings' daysToDisplay");
    addCountOption(subcommand, "--max", max, mostEventsOffered, "events",
        "Most events to show, instead of the settings' maxEventsToDisplay; 0 shows all");
}

void ListOptions::addOwnerOption(CLI::App& subcommand)
{
    subcommand.add_flag("--authenticated", authenticated,
        "Show the list as its owner sees it once Touch ID or the passcode has been accepted on the lock screen; "
        "without it, as anyone who picks the phone up sees it (the same unless hideDetailsWhileLocked is YES)");
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

void applyOwner(const ListOptions& options, host::Device& device)
{
    if (options.authenticated)
        device.springBoard().authenticate();
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
