#include "EventKitFixture.h"

#include <platform/Environment.h>
#include <platform/Log.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <sstream>

namespace eventkit_tests {

double utc(const std::string& text)
{
    std::tm parts {};
    std::istringstream in(text);
    in >> std::get_time(&parts, "%Y-%m-%d %H:%M:%S");
    if (in.fail()) {
        parts = {};
        std::istringstream shortIn(text);
        shortIn >> std::get_time(&parts, "%Y-%m-%d %H:%M");
    }
    return static_cast<double>(timegm(&parts));
}

std::string calendarText(const std::vector<std::string>& components, const std::string& header)
{
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Dayglass//Tests//EN\r\n" + header;
    for (const std::string& component : components)
        text += component;
    return text + "END:VCALENDAR\r\n";
}

std::string event(const std::vector<std::string>& lines)
{
    std::string text = "BEGIN:VEVENT\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text + "END:VEVENT\r\n";
}

EKCalendarStorage storageUnderTest()
{
    const char* chosen = std::getenv("DAYGLASS_TEST_CALENDAR_STORAGE");
    return chosen && std::string(chosen) == "index" ? EKCalendarStorage::Index : EKCalendarStorage::Memory;
}

EventKitTest::EventKitTest()
    : previousZone_(platform::currentTimeZoneIdentifier())
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    previousCache_ = cache ? std::optional<std::string>(cache) : std::nullopt;
    setenv("XDG_CACHE_HOME", (root_.path() / "cache").c_str(), 1);
    EKEventStore::setCalendarStorage(storageUnderTest());
    platform::setCurrentTimeZoneIdentifier("Europe/Berlin");
    EKEventStore::setAdditionalCalendarSources({});
    EKEventStore::setAccessGranted(true);
}

EventKitTest::~EventKitTest()
{
    EKEventStore::setCalendarStorage(EKCalendarStorage::Memory);
    if (previousCache_)
        setenv("XDG_CACHE_HOME", previousCache_->c_str(), 1);
    else
        unsetenv("XDG_CACHE_HOME");
    platform::setCurrentTimeZoneIdentifier(previousZone_);
    EKEventStore::setAdditionalCalendarSources({});
    EKEventStore::setAccessGranted(true);
}

void EventKitTest::writeCalendarFile(
    const std::string& calendar, const std::string& fileName, const std::string& text) const
{
    root_.writeText("/var/mobile/Library/Calendars/" + calendar + "/" + fileName, text);
}

void EventKitTest::removeCalendarFile(const std::string& calendar, const std::string& fileName) const
{
    std::filesystem::remove(root_.file("/var/mobile/Library/Calendars/" + calendar + "/" + fileName));
}

// The index works out occurrences ahead around the time a file is read: the
// clock stands at the window's start unless the test pinned it, so that the
// stored occurrences answer.
std::vector<Ref<EKEvent>> EventKitTest::events(double start, double end, const NSArray* calendars) const
{
    const bool pinned = platform::isCurrentTimePinned();
    if (!pinned)
        platform::pinCurrentTime(start);
    EKEventStore store;
    std::vector<Ref<EKEvent>> found = eventsIn(store, start, end, calendars);
    if (!pinned)
        platform::pinCurrentTime(std::nullopt);
    return found;
}

std::vector<Ref<EKEvent>> EventKitTest::eventsIn(
    const EKEventStore& store, double start, double end, const NSArray* calendars)
{
    auto predicate = store.predicateForEventsWithStartDate(NSDate::dateWithTimeIntervalSince1970(start).get(),
        NSDate::dateWithTimeIntervalSince1970(end).get(), calendars);
    std::vector<Ref<EKEvent>> found;
    const auto matching = store.eventsMatchingPredicate(predicate.get());
    for (const Ref<NSObject>& object : *matching)
        found.push_back(Ref<EKEvent>(dynamicCast<EKEvent>(object.get())));
    return found;
}

std::vector<double> EventKitTest::starts(const std::vector<Ref<EKEvent>>& events)
{
    std::vector<double> result;
    for (const auto& e : events)
        result.push_back(e->startDate()->timeIntervalSince1970());
    return result;
}

std::vector<std::string> EventKitTest::logLinesWith(const std::string& fragment)
{
    std::vector<std::string> lines;
    for (const std::string& line : platform::loggedLines()) {
        if (line.find(fragment) != std::string::npos)
            lines.push_back(line);
    }
    return lines;
}

} // namespace eventkit_tests
