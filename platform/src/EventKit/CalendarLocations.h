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
    // Standard input's copy lasts only as long as the process: it is kept in
    // no index that outlives it.
    bool indexed = true;
};

class CalendarLocations {
public:
    // The device's calendar folder, under the device root.
    static std::string deviceFolder();
    // A host path made absolute, without a trailing slash ("-" stays as it is).
    static std::string normalised(const std::string& path);

    // The calendars of the device's folder at `path`: its sub-folders by name.
    std::vector<CalendarLocation> listDevice(const std::string& path) const;
    // The calendars a host path names: a file, a calendar folder, a folder of
    // them, or "-" for standard input. A path that is neither is logged once
    // until it comes back.
    std::vector<CalendarLocation> listHost(const std::string& path);

    // Appends the calendars of `found` that `into` does not hold yet. Each real
    // file belongs to one calendar, however it was named: a calendar reached by
    // two paths is one, and an item file named directly belongs to the
    // calendar of its folder when that is listed too, before or after it.
    static void addNew(std::vector<CalendarLocation>& into, const std::vector<CalendarLocation>& found);

private:
    static std::vector<CalendarLocation> listStandardInput();

    std::set<std::string> reportedMissing_;
};

} // namespace eventkit
