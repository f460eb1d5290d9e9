// The calendars kept in a persistent index (CalendarIndex.h), for a process
// that looks once, such as a command that lists the events: a warm index
// answers from the files' stamps alone, reading again only the files that
// changed, and a query parses only the files that can touch its window and
// whose occurrences were not worked out ahead when they were read.
//
// Every view first brings the index up to date: every item file's stamp is
// taken (one stat each, on several threads for a large calendar), so that a
// file rewritten in place shows at once; a calendar folder is listed again
// only when its own stamp moved, which any file added, renamed into place (as
// vdirsyncer writes) or removed makes it do. A calendar's `displayname` and
// `color` are read each time.
// A calendar is brought up to date only when a query asks for its events (or
// its name and colour can only come from its items), so that a store made to
// name the calendars looks at no item file. Within one process, a folder looked
// at a second time is then watched through the kernel's file notifications,
// and not looked at again until it changes (the extension makes a store at
// each wake).
//
// Where no index can be kept (a read-only folder, a database that stays locked
// past the busy time-out), the index is kept in memory for the process instead.
//
// The device's calendars are indexed under the device root, beside the phone's
// own calendar database; the host's sources in the user's cache folder
// ($XDG_CACHE_HOME/dayglass, else ~/.cache/dayglass).
#pragma once

#include "CalendarIndex.h"
#include "CalendarLocations.h"
#include "CalendarStore.h"
#include "ChangeWatcher.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace eventkit {

struct ListedFiles;
struct Differences;

class IndexedCalendarStore final : public CalendarStore, public std::enable_shared_from_this<IndexedCalendarStore> {
public:
    std::shared_ptr<const CalendarView> view(const std::vector<std::string>& additionalSources) override;
    std::vector<SkippedFile> skippedFiles(const std::vector<std::string>& additionalSources) override;

    // Where the index of the device's calendars lives, under the current device root.
    static std::string deviceIndexPath();
    // Where the index of the host's sources lives; empty when the environment
    // names no cache or home folder.
    static std::string hostIndexPath();

private:
    class IndexedView;
    struct Calendar {
        std::string indexPath;
        CalendarLocation location;
        bool upToDate = false; // brought up to date for the view that holds it
    };

    std::vector<Calendar> calendarsOf(const std::vector<std::string>& additionalSources);
    std::shared_ptr<CalendarIndex> indexAt(const std::string& path);
    std::shared_ptr<CalendarIndex> replaceIndex(const std::string& path, const StoreError& error);
    std::shared_ptr<CalendarIndex> upToDateIndex(Calendar& calendar);
    ErrorOr<void> bringUpToDate(CalendarIndex& index, const Calendar& calendar);
    struct Changes {
        const std::optional<CalendarIndex::Listing>& known;
        const ListedFiles& listed;
        const Differences& found;
        std::int64_t readAt;
    };
    ErrorOr<void> recordChanges(CalendarIndex& index, const CalendarLocation& location, const Changes& changes,
        std::vector<SkippedFile>& unreadable);
    ErrorOr<std::vector<Occurrence>> occurrencesIn(
        CalendarIndex& index, const std::string& calendar, Instant start, Instant end);
    ErrorOr<void> recordExpansions(CalendarIndex& index, const std::string& calendar,
        const std::vector<std::pair<std::string, CalendarIndex::FileRecord::Expansion>>& expanded);
    std::vector<Occurrence> occurrencesOf(Calendar& calendar, Instant start, Instant end);
    void reportProblems(const std::string& path, const ParsedFile& parsed);

    CalendarInfo describe(Calendar& calendar);
    std::size_t eventCount(Calendar& calendar);
    std::vector<std::vector<Occurrence>> occurrences(
        const std::vector<Calendar*>& calendars, Instant start, Instant end);

    std::mutex lock_;
    CalendarLocations locations_;
    std::map<std::string, std::shared_ptr<CalendarIndex>> indexes_;
    ChangeWatcher watcher_;
    // By index path and calendar: those looked at in this process, and those
    // found up to date since their folder was watched (with that folder).
    std::set<std::pair<std::string, std::string>> lookedAt_;
    std::map<std::pair<std::string, std::string>, std::string> upToDate_;
    std::set<std::string> reportedProblems_; // files and folders whose problems were logged
    // By index path and calendar: what the calendar left out when it was last brought up to date.
    std::map<std::pair<std::string, std::string>, std::vector<SkippedFile>> skipped_;
};

} // namespace eventkit
