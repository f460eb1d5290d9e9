// A device root with calendars written as .ics text, a pinned time zone, and
// helpers to query a fresh store the way the lock screen does.
#pragma once

#include <EventKit/EventKit.h>
#include <TempDeviceRoot.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace eventkit_tests {

// Seconds since 1970 of a UTC time written "2024-03-05 08:00:00" (seconds optional).
double utc(const std::string& text);

// A VCALENDAR around the given components; each line ends in CRLF.
std::string calendarText(const std::vector<std::string>& components, const std::string& header = "");
// A VEVENT with the given property lines.
std::string event(const std::vector<std::string>& lines);

// The storage the fixture's stores use: the in-memory cache, or the index when
// DAYGLASS_TEST_CALENDAR_STORAGE is "index" (ctest runs the store's suites both ways).
EKCalendarStorage storageUnderTest();

// Every store of a test keeps its index under the test's root, the host's in
// its "cache" folder (XDG_CACHE_HOME).
class EventKitTest : public ::testing::Test {
protected:
    EventKitTest();
    ~EventKitTest() override;

    // Writes a file (an item, `displayname`, `color`) into the device's calendar folder `calendar`.
    void writeCalendarFile(const std::string& calendar, const std::string& fileName, const std::string& text) const;
    void removeCalendarFile(const std::string& calendar, const std::string& fileName) const;

    // The occurrences a new store answers for [start, end) in the given
    // calendars (all of them when `calendars` is nil).
    std::vector<Ref<EKEvent>> events(double start, double end, const NSArray* calendars = nullptr) const;
    static std::vector<Ref<EKEvent>> eventsIn(
        const EKEventStore& store, double start, double end, const NSArray* calendars = nullptr);
    // Start instants (seconds since 1970) of `events`.
    static std::vector<double> starts(const std::vector<Ref<EKEvent>>& events);
    // Log lines containing `fragment`.
    static std::vector<std::string> logLinesWith(const std::string& fragment);

    testing_support::TempDeviceRoot root_;

private:
    std::string previousZone_;
    std::optional<std::string> previousCache_;
};

} // namespace eventkit_tests
