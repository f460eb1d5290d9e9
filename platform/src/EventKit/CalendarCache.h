// The calendars kept in memory: which sources there are, parsed once for the
// process and kept up to date for every store, as the lock screen makes a new
// store each time it builds its list.
#pragma once

#include "CalendarLocations.h"
#include "CalendarStore.h"
#include "ChangeWatcher.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace eventkit {

class CalendarCache final : public CalendarStore, public std::enable_shared_from_this<CalendarCache> {
public:
    std::shared_ptr<const CalendarView> view(const std::vector<std::string>& additionalSources) override;
    std::vector<SkippedFile> skippedFiles(const std::vector<std::string>& additionalSources) override;

private:
    class Snapshots;

    std::vector<CalendarSnapshot> calendars(const std::vector<std::string>& additionalSources);
    std::vector<std::vector<Occurrence>> occurrences(
        const std::vector<const CalendarContents*>& contents, Instant start, Instant end);

    // A place calendars are found: the device's calendar folder, or a path the
    // host gave; listed again when it changes.
    struct Root {
        std::vector<CalendarLocation> entries;
        bool listed = false;
    };

    const std::vector<CalendarLocation>& rootEntries(const std::string& path, bool device);
    CalendarSource& sourceFor(const CalendarLocation& entry);

    std::mutex lock_;
    ChangeWatcher watcher_;
    std::map<std::string, ChangeWatcher::FolderChanges> changes_;
    std::map<std::string, Root> roots_;
    std::map<std::string, std::unique_ptr<CalendarSource>> sources_;
    CalendarLocations locations_;
};

} // namespace eventkit
