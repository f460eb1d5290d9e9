// Where every EKEventStore of the process gets its calendars from. How the
// calendars are kept (parsed in memory for the process, or indexed on disk) is
// an implementation of this interface, chosen by the host; no caller names one.
#pragma once

#include "CalendarColor.h"
#include "CalendarFiles.h"
#include "Occurrences.h"

#include <EventKit/EKTypes.h>

#include <memory>
#include <string>
#include <vector>

namespace eventkit {

// A calendar as a store lists it.
struct CalendarInfo {
    std::string identifier;
    std::string title;
    RGBA color;
    // Its folder or .ics file on this machine.
    std::string path;
};

// The calendars as they were when one store was made. A view answers from what
// it saw, whatever changes on disk afterwards.
class CalendarView {
public:
    virtual ~CalendarView() = default;

    // The device's calendar folders by name, then the host's sources in the
    // order given, each calendar once.
    virtual const std::vector<CalendarInfo>& calendars() const = 0;

    // For each calendar at `chosen` (indexes into `calendars()`), its
    // occurrences overlapping [start, end) in ascending start order, floating
    // times and dates read in the device's zone at the time of the call.
    virtual std::vector<std::vector<Occurrence>> occurrences(
        const std::vector<std::size_t>& chosen, Instant start, Instant end) const = 0;

    // How many events the calendar at `calendar` holds, each UID once however
    // many revisions or files it has; items that cannot be read are not counted.
    virtual std::size_t eventCount(std::size_t calendar) const = 0;
};

class CalendarStore {
public:
    virtual ~CalendarStore() = default;

    // Brings the calendars up to date with their files and answers them.
    // `additionalSources` are the folders and files the host added.
    virtual std::shared_ptr<const CalendarView> view(const std::vector<std::string>& additionalSources) = 0;

    // What the calendars leave out, calendar by calendar, by path within each:
    // as this process last found each calendar, and found now for one it has
    // not looked at yet.
    virtual std::vector<SkippedFile> skippedFiles(const std::vector<std::string>& additionalSources) = 0;
};

std::shared_ptr<CalendarStore> makeCalendarStore(EKCalendarStorage storage);

} // namespace eventkit
