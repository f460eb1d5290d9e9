// Where calendars are found: the device's calendar folder, one sub-folder per
// calendar, and the folders and files the host adds (see EKEventStore.h).
// Shared by every kind of store, so that each lists the same calendars.
#pragma once

#include "CalendarSource.h"

#include <set>
#include <string>
#include <vector>

namespace eventkit {

// One calendar as a listing finds it.
struct CalendarLocation {
    std::string path;
    std::string realPath; // links resolved: one calendar however it is reached
    CalendarSource::Kind kind;
    std::string identifier;
    std::string fallbackTitle;
};

class CalendarLocations {
public:
    // The device's calendar folder, under the device root.
    static std::string deviceFolder();
    // A host path made absolute, without a trailing slash.
    static std::string normalised(const std::string& path);

    // The calendars of the device's folder at `path`: its sub-folders by name.
    std::vector<CalendarLocation> listDevice(const std::string& path) const;
    // The calendars a host path names: a file, a calendar folder, or a folder of
    // them. A path that is neither is logged once until it comes back.
    std::vector<CalendarLocation> listHost(const std::string& path);

    // Appends the calendars of `found` that `into` does not hold yet by real path.
    static void addNew(std::vector<CalendarLocation>& into, const std::vector<CalendarLocation>& found);

private:
    std::set<std::string> reportedMissing_;
};

} // namespace eventkit
