#include "IndexedCalendarStore.h"

#include "CalendarContents.h"
#include "ItemParser.h"
#include "TimeZones.h"

#include <Foundation/NSLog.h>
#include <platform/Environment.h>

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace eventkit {
namespace {

constexpr const char* deviceIndexFolder = "/var/mobile/Library/Calendar";
constexpr const char* indexFileName = "dayglass-index.sqlite";
// Added to each side of a file's reach: floating times and dates read in any
// zone, and whole days that a daylight-saving change stretches.
constexpr Seconds reachMargin = 2 * oneDay;

std::int64_t wallClockNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::vector<std::string> itemPaths(const CalendarLocation& location)
{
    if (location.kind == CalendarSource::Kind::File)
        return { location.path };
    std::vector<std::string> paths;
    if (DIR* folder = opendir(location.path.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            if (isItemName(entry->d_name))
                paths.push_back(location.path + "/" + entry->d_name);
        }
        closedir(folder);
    }
    return paths;
}

std::string watchedFolderOf(const CalendarLocation& location)
{
    return location.kind == CalendarSource::Kind::File ? fs::path(location.path).parent_path().string() : location.path;
}

bool ruleEnds(const std::string& rule)
{
    const icalrecurrencetype parsed = icalrecurrencetype_from_string(rule.c_str());
    return parsed.count > 0 || !icaltime_is_null_time(parsed.until);
}

struct Reach {
    Instant from = endOfTime;
    Instant to = startOfTime;

    void add(Instant earliest, Instant latest)
    {
        from = std::min(from, earliest);
        to = std::max(to, latest);
    }
};

// The span a series without end can reach: from its earliest start, allowing
// for overrides that move occurrences earlier, to the end of time.
Reach endlessReach(const Series& series, const icaltimezone* zone)
{
    const ItemRecord& master = series.master;
    Instant from = instantOf(master.start.wall, zoneOf(master.start, zone));
    for (const RecurrenceDate& date : series.recurrence->dates)
        from = std::min(from, instantOf(date.time.wall, zoneOf(date.time, zone)));
    Seconds moved {};
    for (const ItemRecord& change : series.overrides) {
        const Instant start = instantOf(change.start.wall, zoneOf(change.start, zone));
        const Instant replaced = instantOf(change.recurrenceId->wall, zoneOf(*change.recurrenceId, zone));
        from = std::min({ from, start, replaced });
        moved = std::max(moved, std::chrono::abs(start - replaced));
    }
    return { from - moved, endOfTime };
}

// What one series can reach, read in UTC; floating times are covered by the margin.
Reach seriesReach(const Series& series)
{
    const icaltimezone* utc = TimeZoneRegistry::utc();
    if (!series.repeats()) {
        const auto occurrence = singleOccurrence(series, utc);
        if (!occurrence)
            return {};
        return { occurrence->start, std::max(occurrence->start, occurrence->end) };
    }
    if (series.master.cancelled)
        return {};
    const bool ends
        = !series.recurrence || std::all_of(series.recurrence->rules.begin(), series.recurrence->rules.end(), ruleEnds);
    if (series.recurrence && !ends)
        return endlessReach(series, utc);
    std::vector<Occurrence> found;
    const SeriesReach reach = expandSeries(series, startOfTime, endOfTime, utc, found);
    return { reach.earliest, reach.latest };
}

// What the index keeps of a file just read. A plain item (QuickScan.h) is
// known by its bounds alone, and parsed when a query reaches it.
CalendarIndex::FileRecord recordOf(const std::string& path, std::int64_t readAt, ReadItemFile& read)
{
    CalendarIndex::FileRecord record { path, { read.stamp, readAt } };
    Reach reach;
    if (read.deferred) {
        reach.add(read.deferred->from, read.deferred->to);
        record.uids.push_back(read.deferred->uid);
    } else {
        for (const Series& series : read.parsed->series) {
            const Reach one = seriesReach(series);
            reach.add(one.from, one.to);
            record.uids.push_back(series.master.uid);
        }
        record.calendarName = read.parsed->calendarName;
        record.calendarColor = read.parsed->calendarColor;
    }
    record.reachFrom = unixSeconds(reach.from - reachMargin);
    record.reachTo = unixSeconds(reach.to + reachMargin);
    record.text = std::move(read.text);
    return record;
}

} // namespace

// What one store sees: the calendars as they were listed, their items read
// from the index when a query comes.
class IndexedCalendarStore::IndexedView final : public CalendarView {
public:
    IndexedView(
        std::shared_ptr<IndexedCalendarStore> store, std::vector<CalendarInfo> infos, std::vector<Calendar> calendars)
        : store_(std::move(store))
        , infos_(std::move(infos))
        , calendars_(std::move(calendars))
    {
    }

    const std::vector<CalendarInfo>& calendars() const override { return infos_; }

    std::vector<std::vector<Occurrence>> occurrences(
        const std::vector<std::size_t>& chosen, Instant start, Instant end) const override
    {
        std::vector<const Calendar*> searched;
        for (std::size_t index : chosen)
            searched.push_back(&calendars_.at(index));
        return store_->occurrences(searched, start, end);
    }

private:
    std::shared_ptr<IndexedCalendarStore> store_;
    std::vector<CalendarInfo> infos_;
    std::vector<Calendar> calendars_;
};

std::string IndexedCalendarStore::deviceIndexPath()
{
    return platform::resolveDevicePath(deviceIndexFolder) + "/" + indexFileName;
}

std::string IndexedCalendarStore::hostIndexPath()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    fs::path folder;
    if (cache && cache[0] == '/')
        folder = cache;
    else if (home && home[0] == '/')
        folder = fs::path(home) / ".cache";
    else
        return "";
    return (folder / "dayglass" / indexFileName).string();
}

std::shared_ptr<const CalendarView> IndexedCalendarStore::view(const std::vector<std::string>& additionalSources)
{
    std::lock_guard guard(lock_);
    std::vector<CalendarLocation> locations = locations_.listDevice(CalendarLocations::deviceFolder());
    const std::size_t deviceCount = locations.size();
    for (const std::string& path : additionalSources)
        CalendarLocations::addNew(locations, locations_.listHost(CalendarLocations::normalised(path)));

    const std::map<std::string, ChangeWatcher::FolderChanges> changes = watcher_.takeChanges();
    std::vector<CalendarInfo> infos;
    std::vector<Calendar> calendars;
    std::set<std::string> indexesInUse, foldersInUse;
    for (std::size_t at = 0; at < locations.size(); ++at) {
        const CalendarLocation& location = locations[at];
        const std::string indexPath = at < deviceCount ? deviceIndexPath() : hostIndexPath();
        std::shared_ptr<CalendarIndex> index = upToDateIndex(indexPath, location, changes);
        indexesInUse.insert(indexPath);
        foldersInUse.insert(watchedFolderOf(location));
        infos.push_back(describe(*index, location));
        calendars.push_back({ index, indexPath, location });
    }
    std::erase_if(indexes_, [&](const auto& entry) { return !indexesInUse.count(entry.first); });
    std::erase_if(upToDate_, [&](const auto& entry) { return !indexesInUse.count(entry.first); });
    watcher_.keepOnly(foldersInUse);
    return std::make_shared<IndexedView>(shared_from_this(), std::move(infos), std::move(calendars));
}

// The index of a calendar, brought up to date unless its folder has been
// watched since it last was and has not changed.
std::shared_ptr<CalendarIndex> IndexedCalendarStore::upToDateIndex(const std::string& indexPath,
    const CalendarLocation& location, const std::map<std::string, ChangeWatcher::FolderChanges>& changes)
{
    std::shared_ptr<CalendarIndex> index = indexAt(indexPath);
    const std::string folder = watchedFolderOf(location);
    std::set<std::string>& upToDate = upToDate_[indexPath];
    if (changes.count(folder) || !watcher_.isWatching(folder))
        upToDate.erase(location.path);
    if (upToDate.count(location.path))
        return index;
    // Watch before looking, so that nothing changes unseen in between.
    const bool watched = watcher_.watch(folder);
    if (!bringUpToDate(*index, location)) {
        index = replaceIndex(indexPath, index->problem().empty() ? "it cannot be written" : index->problem());
        bringUpToDate(*index, location);
    }
    if (watched)
        upToDate_[indexPath].insert(location.path);
    return index;
}

std::shared_ptr<CalendarIndex> IndexedCalendarStore::indexAt(const std::string& path)
{
    std::shared_ptr<CalendarIndex>& index = indexes_[path];
    if (index)
        return index;
    std::error_code error;
    if (!path.empty())
        fs::create_directories(fs::path(path).parent_path(), error);
    index = path.empty() ? nullptr : CalendarIndex::open(path);
    if (!index)
        index = CalendarIndex::inMemory();
    return index;
}

// Gives up the index at `path` for one in memory; a broken file is deleted so
// that the next process builds it anew.
std::shared_ptr<CalendarIndex> IndexedCalendarStore::replaceIndex(const std::string& path, const std::string& problem)
{
    NSLog("EventKit: calendar index %s: %s; keeping the calendars in memory", path.c_str(), problem.c_str());
    if (problem != "it cannot be written") {
        std::error_code error;
        for (const char* suffix : { "", "-wal", "-shm" })
            fs::remove(path + suffix, error);
    }
    upToDate_.erase(path);
    std::shared_ptr<CalendarIndex>& index = indexes_[path];
    index = CalendarIndex::inMemory();
    return index;
}

// Reads again the files of a calendar that are new or changed and forgets
// those gone. False when the index cannot be read or written.
bool IndexedCalendarStore::bringUpToDate(CalendarIndex& index, const CalendarLocation& location)
{
    std::unordered_map<std::string, CalendarIndex::Known> known = index.filesOf(location.path);
    if (!index.problem().empty())
        return false;
    std::vector<std::string> stale;
    for (const std::string& path : itemPaths(location)) {
        auto entry = known.find(path);
        const std::optional<FileStamp> stamp = stampOf(path);
        if (entry == known.end() || !stamp || !CalendarIndex::isFresh(entry->second, *stamp))
            stale.push_back(path);
        if (entry != known.end())
            known.erase(entry);
    }
    if (stale.empty() && known.empty())
        return true;
    const std::int64_t readAt = wallClockNanoseconds();
    std::vector<ReadItemFile> read = readItemFiles(stale, Parsing::WhenNeeded);
    CalendarIndex::Writing writing(index);
    if (!writing.began())
        return false;
    for (const auto& [path, gone] : known) {
        if (!index.forget(path))
            return false;
    }
    for (std::size_t at = 0; at < stale.size(); ++at) {
        ReadItemFile& file = read[at];
        if (!file.read) {
            NSLog("%s", file.problem.c_str());
            if (!index.forget(stale[at]))
                return false;
            continue;
        }
        reportedProblems_.erase(stale[at]);
        if (file.parsed)
            reportProblems(stale[at], *file.parsed);
        if (!index.record(location.path, recordOf(stale[at], readAt, file)))
            return false;
    }
    return index.markSharedUids(location.path) && writing.commit();
}

// The stored files of a calendar that can reach [start, end). An index found
// broken now is given up, and the calendar read into memory for this query.
std::vector<CalendarIndex::StoredFile> IndexedCalendarStore::filesReaching(
    const Calendar& calendar, Instant start, Instant end)
{
    const std::string& path = calendar.location.path;
    std::vector<CalendarIndex::StoredFile> stored
        = calendar.index->filesReaching(path, unixSeconds(start), unixSeconds(end));
    if (calendar.index->problem().empty())
        return stored;
    std::shared_ptr<CalendarIndex> index = indexAt(calendar.indexPath);
    upToDate_[calendar.indexPath].erase(path);
    if (index == calendar.index || !bringUpToDate(*index, calendar.location)) {
        index = replaceIndex(calendar.indexPath, calendar.index->problem());
        bringUpToDate(*index, calendar.location);
    }
    return index->filesReaching(path, unixSeconds(start), unixSeconds(end));
}

// What cannot be read of a file is logged once in the process, when the file
// is parsed, and again after it changes.
void IndexedCalendarStore::reportProblems(const std::string& path, const ParsedFile& parsed)
{
    if (parsed.problems.empty() || !reportedProblems_.insert(path).second)
        return;
    for (const std::string& problem : parsed.problems)
        NSLog("%s", problem.c_str());
}

CalendarInfo IndexedCalendarStore::describe(const CalendarIndex& index, const CalendarLocation& location) const
{
    FolderMetadata metadata;
    if (location.kind == CalendarSource::Kind::Folder)
        metadata = readFolderMetadata(location.path);
    CalendarInfo info { location.identifier };
    if (!metadata.name)
        metadata.name = index.calendarName(location.path);
    if (!metadata.color)
        metadata.color = index.calendarColor(location.path);
    info.title = metadata.name.value_or(location.fallbackTitle);
    info.color = metadata.color.value_or(defaultCalendarColor(location.identifier));
    return info;
}

std::vector<std::vector<Occurrence>> IndexedCalendarStore::occurrences(
    const std::vector<const Calendar*>& calendars, Instant start, Instant end)
{
    std::lock_guard guard(lock_);
    const icaltimezone* floatingZone = TimeZoneRegistry::shared().deviceZone();
    std::vector<std::vector<Occurrence>> found;
    for (const Calendar* calendar : calendars) {
        std::vector<std::shared_ptr<const ParsedFile>> files;
        for (const CalendarIndex::StoredFile& stored : filesReaching(*calendar, start, end)) {
            files.push_back(std::make_shared<const ParsedFile>(parseCalendarFile(stored.text, stored.path)));
            reportProblems(stored.path, *files.back());
        }
        found.push_back(CalendarContents(std::move(files), {}).occurrences(start, end, floatingZone));
    }
    return found;
}

} // namespace eventkit
