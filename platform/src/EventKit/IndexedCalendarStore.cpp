#include "IndexedCalendarStore.h"

#include "CalendarContents.h"
#include "ItemParser.h"
#include "TimeZones.h"

#include <Foundation/NSLog.h>
#include <platform/Environment.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;

namespace eventkit {

// A calendar's item files as they are now: their names in the folder that
// holds them, and a stamp for each (none for a name that is no longer a file).
struct ListedFiles {
    std::string folder;
    // Each held by `namesRead`, or by the listing the index gave.
    std::vector<const char*> names;
    std::vector<std::string> namesRead; // read from the folder
    std::vector<std::optional<FileStamp>> stamps;
    // Of a calendar folder: its stamp taken before its names were.
    std::optional<FileStamp> folderStamp;
    // The names are those the index knows, in its order, the folder unchanged.
    bool namesFromIndex = false;
    // Why the folder's names could not be read.
    std::optional<StoreError> unlisted;

    std::string pathOf(std::size_t at) const { return folder + "/" + names[at]; }
};

// How a calendar's files stand against what the index knows of them: indexes
// into the known files, and into the names listed now.
struct Differences {
    std::vector<std::size_t> unchanged; // known, and as they were
    struct Stale {
        std::size_t listed;
        std::optional<std::size_t> known; // none for a new file
    };
    std::vector<Stale> stale; // new or changed
    std::vector<std::size_t> gone; // known, and no longer listed
};

namespace {

constexpr const char* deviceIndexFolder = "/var/mobile/Library/Calendar";
constexpr const char* indexFileName = "dayglass-index.sqlite";
// Added to each side of a file's reach: floating times and dates read in any
// zone, and whole days that a daylight-saving change stretches.
constexpr Seconds reachMargin = 2 * oneDay;
// The occurrences of a file's items are worked out ahead over this span around
// the time it is read, so that a query inside parses nothing: what the lock
// screen and the command ask for, a few days from now, with room for three
// months of queries before the file is expanded again. Longer costs the first
// reading (a year ahead took half its time).
constexpr Seconds expandedBefore = 31 * oneDay;
constexpr Seconds expandedAfter = 124 * oneDay;

std::int64_t wallClockNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// A folder whose stamp has not moved since its names were read holds the same
// names: adding, removing or renaming an entry changes the folder's times. Only
// a rewritten file is then left to find, which each file's own stamp tells.
ListedFiles listedFiles(const CalendarLocation& location, const std::optional<CalendarIndex::Listing>& known)
{
    ListedFiles listed;
    if (location.kind == CalendarSource::Kind::File) {
        const fs::path path(location.path);
        listed.folder = path.parent_path().string();
        listed.namesRead = { path.filename().string() };
    } else {
        listed.folder = location.path;
        listed.folderStamp = folderStampOf(location.path);
        const bool unmoved = known && known->folder && listed.folderStamp
            && CalendarIndex::isFresh(*known->folder, *listed.folderStamp);
        listed.namesFromIndex = unmoved;
        if (unmoved) {
            for (const CalendarIndex::Listing::Entry& entry : known->files)
                listed.names.push_back(entry.name);
        } else if (ErrorOr<std::vector<std::string>> names = itemNamesIn(location.path)) {
            listed.namesRead = std::move(names).value();
        } else {
            // Listed again by the next store, however its stamp stands.
            listed.unlisted = std::move(names).error();
            listed.folderStamp.reset();
        }
    }
    for (const std::string& name : listed.namesRead)
        listed.names.push_back(name.c_str());
    const int folder = open(listed.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    listed.stamps = stampsAt(folder, listed.names);
    if (folder >= 0)
        close(folder);
    return listed;
}

const std::vector<CalendarIndex::Listing::Entry> noKnownFiles;

// How a calendar's files stand against what the index knows of them.
Differences differences(const ListedFiles& listed, const std::optional<CalendarIndex::Listing>& known)
{
    const auto& knownFiles = known ? known->files : noKnownFiles;
    // Names read from the index line up with what it knows; others are looked up.
    std::unordered_map<std::string_view, std::size_t> knownAt;
    if (!listed.namesFromIndex) {
        knownAt.reserve(knownFiles.size());
        for (std::size_t at = 0; at < knownFiles.size(); ++at)
            knownAt.emplace(knownFiles[at].name, at);
    }
    const auto knownIndexOf = [&](std::size_t at) -> std::optional<std::size_t> {
        if (listed.namesFromIndex)
            return at;
        const auto entry = knownAt.find(listed.names[at]);
        return entry == knownAt.end() ? std::nullopt : std::optional(entry->second);
    };
    Differences found;
    std::vector<bool> stillListed(knownFiles.size(), listed.namesFromIndex);
    for (std::size_t at = 0; at < listed.names.size(); ++at) {
        const std::optional<std::size_t> was = knownIndexOf(at);
        if (was)
            stillListed[*was] = true;
        if (was && listed.stamps[at] && CalendarIndex::isFresh(knownFiles[*was].known, *listed.stamps[at]))
            found.unchanged.push_back(*was);
        else
            found.stale.push_back({ at, was });
    }
    for (std::size_t at = 0; at < knownFiles.size(); ++at) {
        if (!stillListed[at])
            found.gone.push_back(at);
    }
    return found;
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

// Whether a series reads alike in every zone, but for where its floating times
// fall: its times are all in zones, or all floating (dates included), its
// rules' ends too. Only then can it be expanded ahead of the zone it is read in.
bool readsAlikeInEveryZone(const Series& series)
{
    const bool floating = !series.master.start.zone;
    const auto alike = [floating](const ItemTime& time) { return !time.zone == floating; };
    for (const ItemRecord& change : series.overrides) {
        if (!alike(change.start) || !alike(*change.recurrenceId))
            return false;
    }
    if (!series.recurrence)
        return true;
    const RecurrenceRules& rules = *series.recurrence;
    return std::all_of(rules.dates.begin(), rules.dates.end(), [&](const auto& date) { return alike(date.time); })
        && std::all_of(rules.exceptions.begin(), rules.exceptions.end(), alike)
        && std::none_of(rules.rules.begin(), rules.rules.end(), [floating](const std::string& rule) {
               return floating && icaltime_is_utc(icalrecurrencetype_from_string(rule.c_str()).until);
           });
}

// The occurrences of a parsed file over the horizon around `now`, its floating
// times read as if in UTC; nothing when a series cannot be expanded ahead or a
// rule stops at the bound (the query expands those itself).
std::optional<CalendarIndex::FileRecord::Expansion> expansionOf(
    const std::shared_ptr<const ParsedFile>& parsed, Instant now)
{
    if (!std::all_of(parsed->series.begin(), parsed->series.end(), readsAlikeInEveryZone))
        return std::nullopt;
    const Instant from = std::chrono::floor<std::chrono::days>(now) - expandedBefore;
    const Instant to = from + expandedBefore + expandedAfter;
    const CalendarContents contents({ parsed }, {});
    std::vector<Occurrence> occurrences = contents.occurrences(from, to, TimeZoneRegistry::utc());
    if (contents.stoppedAtBound())
        return std::nullopt;
    return CalendarIndex::FileRecord::Expansion { unixSeconds(from), unixSeconds(to), std::move(occurrences) };
}

// A stored occurrence as the device's zone reads it.
Occurrence readIn(Occurrence occurrence, const icaltimezone* floatingZone)
{
    if (!occurrence.floating)
        return occurrence;
    occurrence.start = resolve(wallTimeIn(occurrence.start, nullptr), floatingZone);
    occurrence.end = occurrenceEnd(occurrence.start, occurrence.length, floatingZone);
    occurrence.originalStart = resolve(wallTimeIn(occurrence.originalStart, nullptr), floatingZone);
    return occurrence;
}

// What the index keeps of a file just read. A plain item (QuickScan.h) is
// known by its bounds alone, and parsed when a query reaches it.
CalendarIndex::FileRecord recordOf(const std::string& path, const ReadItemFile& read)
{
    CalendarIndex::FileRecord record { path };
    Reach reach;
    if (read.deferred) {
        reach.add(read.deferred->from, read.deferred->to);
        record.uids.push_back(read.deferred->uid);
        record.plain = true;
    } else {
        for (const Series& series : read.parsed->series) {
            const Reach one = seriesReach(series);
            reach.add(one.from, one.to);
            record.uids.push_back(series.master.uid);
        }
        record.calendarName = read.parsed->calendarName;
        if (read.parsed->skipped)
            record.skipped = read.parsed->skipped->message;
        record.calendarColor = read.parsed->calendarColor;
        record.expansion = expansionOf(read.parsed, instantFromUnixSeconds(platform::currentUnixTime()));
    }
    record.reachFrom = unixSeconds(reach.from - reachMargin);
    record.reachTo = unixSeconds(reach.to + reachMargin);
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
        std::vector<Calendar*> searched;
        for (std::size_t index : chosen)
            searched.push_back(&calendars_.at(index));
        return store_->occurrences(searched, start, end);
    }

    std::size_t eventCount(std::size_t calendar) const override { return store_->eventCount(calendars_.at(calendar)); }

private:
    std::shared_ptr<IndexedCalendarStore> store_;
    std::vector<CalendarInfo> infos_;
    // Each brought up to date once, when first needed.
    mutable std::vector<Calendar> calendars_;
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

// The calendars as they are listed now, each with the index that keeps it.
std::vector<IndexedCalendarStore::Calendar> IndexedCalendarStore::calendarsOf(
    const std::vector<std::string>& additionalSources)
{
    std::vector<CalendarLocation> locations = locations_.listDevice(CalendarLocations::deviceFolder());
    const std::size_t deviceCount = locations.size();
    for (const std::string& path : additionalSources)
        CalendarLocations::addNew(locations, locations_.listHost(CalendarLocations::normalised(path)));
    std::vector<Calendar> calendars;
    for (std::size_t at = 0; at < locations.size(); ++at) {
        // An empty path keeps the calendar in an index in memory.
        const std::string indexPath = !locations[at].indexed ? ""
            : at < deviceCount                               ? deviceIndexPath()
                                                             : hostIndexPath();
        calendars.push_back({ indexPath, std::move(locations[at]) });
    }
    return calendars;
}

std::shared_ptr<const CalendarView> IndexedCalendarStore::view(const std::vector<std::string>& additionalSources)
{
    std::lock_guard guard(lock_);
    std::vector<Calendar> calendars = calendarsOf(additionalSources);
    std::vector<CalendarInfo> infos;
    std::set<std::string> indexesInUse, foldersInUse;
    for (Calendar& calendar : calendars) {
        indexesInUse.insert(calendar.indexPath);
        foldersInUse.insert(watchedFolderOf(calendar.location));
        infos.push_back(describe(calendar));
    }
    std::erase_if(indexes_, [&](const auto& entry) { return !indexesInUse.count(entry.first); });
    watcher_.keepOnly(foldersInUse);
    return std::make_shared<IndexedView>(shared_from_this(), std::move(infos), std::move(calendars));
}

// What each calendar left out when this process last brought it up to date; a
// calendar not brought up to date yet is now. A command asks once it has listed
// the events, and no calendar is read twice for it.
std::vector<SkippedFile> IndexedCalendarStore::skippedFiles(const std::vector<std::string>& additionalSources)
{
    std::lock_guard guard(lock_);
    std::vector<SkippedFile> skipped;
    for (Calendar& calendar : calendarsOf(additionalSources)) {
        const std::pair<std::string, std::string> key { calendar.indexPath, calendar.location.path };
        if (!skipped_.count(key))
            upToDateIndex(calendar);
        const std::vector<SkippedFile>& found = skipped_[key];
        skipped.insert(skipped.end(), found.begin(), found.end());
    }
    return skipped;
}

// The index of a calendar, brought up to date unless its folder has been
// watched since it last was and has not changed. A folder is watched from its
// second look on (a process that looks once, such as a command that lists the
// events, has no use for it), and before that look, so that nothing changes
// unseen in between.
std::shared_ptr<CalendarIndex> IndexedCalendarStore::upToDateIndex(Calendar& calendar)
{
    if (calendar.upToDate)
        return indexAt(calendar.indexPath);
    for (const auto& change : watcher_.takeChanges())
        std::erase_if(upToDate_, [&change](const auto& entry) { return entry.second == change.first; });
    std::shared_ptr<CalendarIndex> index = indexAt(calendar.indexPath);
    const std::pair<std::string, std::string> key { calendar.indexPath, calendar.location.path };
    const std::string folder = watchedFolderOf(calendar.location);
    if (upToDate_.count(key) && watcher_.isWatching(folder))
        return index;
    const bool watched = lookedAt_.count(key) && watcher_.watch(folder);
    if (ErrorOr<void> updated = bringUpToDate(*index, calendar); !updated) {
        index = replaceIndex(calendar.indexPath, updated.error());
        // An index in memory fails only when memory does; the calendar then shows nothing.
        (void)bringUpToDate(*index, calendar);
    }
    lookedAt_.insert(key);
    if (watched)
        upToDate_[key] = folder;
    calendar.upToDate = true;
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
// that the next process builds it anew, one that refused a write is left.
std::shared_ptr<CalendarIndex> IndexedCalendarStore::replaceIndex(const std::string& path, const StoreError& error)
{
    NSLog("EventKit: calendar index %s: %s; keeping the calendars in memory", path.c_str(), error.message.c_str());
    if (!error.refusedWriting())
        CalendarIndex::remove(path);
    std::erase_if(upToDate_, [&path](const auto& entry) { return entry.first.first == path; });
    std::shared_ptr<CalendarIndex>& index = indexes_[path];
    index = CalendarIndex::inMemory();
    return index;
}

// Reads again the files of a calendar that are new or changed, forgets those
// gone, and notes what the calendar leaves out.
ErrorOr<void> IndexedCalendarStore::bringUpToDate(CalendarIndex& index, const Calendar& calendar)
{
    const CalendarLocation& location = calendar.location;
    // Taken before the folder's stamp: what changes after it shows in the stamps.
    const std::int64_t readAt = wallClockNanoseconds();
    // Holds the names that `listed` and `found` point to.
    const std::optional<CalendarIndex::Listing> known = TRY(index.listingOf(location.path));
    const ListedFiles listed = listedFiles(location, known);
    std::vector<SkippedFile> skipped;
    if (listed.unlisted) {
        // Logged once, until the folder can be listed again.
        if (reportedProblems_.insert(location.path).second)
            logSkipped(location.path, *listed.unlisted);
        skipped.push_back({ location.path, listed.unlisted->message });
    } else if (location.kind == CalendarSource::Kind::Folder) {
        reportedProblems_.erase(location.path);
    }
    const Differences found = differences(listed, known);
    // A folder listed again is recorded again, so that the next store can trust its names.
    const bool relisted = location.kind == CalendarSource::Kind::Folder && !listed.namesFromIndex;
    if (!found.stale.empty() || !found.gone.empty() || relisted)
        TRY(recordChanges(index, location, { known, listed, found, readAt }, skipped));
    std::vector<SkippedFile> recorded = TRY(index.skippedFiles(location.path));
    skipped.insert(skipped.end(), recorded.begin(), recorded.end());
    std::sort(
        skipped.begin(), skipped.end(), [](const SkippedFile& a, const SkippedFile& b) { return a.path < b.path; });
    skipped_[{ calendar.indexPath, location.path }] = std::move(skipped);
    return {};
}

// Reads the new and changed files of a calendar, and records them with its
// listing, in one transaction.
ErrorOr<void> IndexedCalendarStore::recordChanges(CalendarIndex& index, const CalendarLocation& location,
    const Changes& changes, std::vector<SkippedFile>& unreadable)
{
    const ListedFiles& listed = changes.listed;
    const auto& knownFiles = changes.known ? changes.known->files : noKnownFiles;
    std::vector<std::string> stale;
    for (const Differences::Stale& file : changes.found.stale)
        stale.push_back(listed.pathOf(file.listed));
    const std::vector<ErrorOr<ReadItemFile>> read = readItemFiles(stale, Parsing::WhenNeeded);
    CalendarIndex::Writing writing(index);
    TRY(writing.begin());
    // A calendar listed for the first time, or whose listing was damaged, starts afresh.
    if (!changes.known)
        TRY(index.forgetCalendar(location.path));
    const auto forget = [&](std::size_t known) { return index.forget(listed.folder + "/" + knownFiles[known].name); };
    for (std::size_t known : changes.found.gone)
        TRY(forget(known));
    CalendarIndex::Listing now;
    if (listed.folderStamp)
        now.folder = CalendarIndex::Known { *listed.folderStamp, changes.readAt };
    for (std::size_t at : changes.found.unchanged)
        now.files.push_back(knownFiles[at]);
    for (std::size_t at = 0; at < stale.size(); ++at) {
        const std::optional<std::size_t> known = changes.found.stale[at].known;
        if (known)
            TRY(forget(*known));
        const char* name = listed.names[changes.found.stale[at].listed];
        if (!read[at]) {
            logSkipped(stale[at], read[at].error());
            unreadable.push_back({ stale[at], read[at].error().message });
            // Listed with a stamp that is never fresh, so that a listing the
            // next store trusts still names it, and it is tried again.
            now.files.push_back({ name, {} });
            continue;
        }
        const ReadItemFile& file = read[at].value();
        // A file read again only because it was read just after a change is the same file.
        if (!known || !(knownFiles[*known].known.stamp == file.stamp))
            reportedProblems_.erase(stale[at]);
        if (file.parsed)
            reportProblems(stale[at], *file.parsed);
        TRY(index.record(location.path, recordOf(stale[at], file)));
        now.files.push_back({ name, { file.stamp, changes.readAt } });
    }
    if (!stale.empty() || !changes.found.gone.empty())
        TRY(index.markSharedUids(location.path));
    TRY(index.recordListing(location.path, now));
    return writing.commit();
}

// The occurrences of a calendar in [start, end): the stored ones of files
// expanded over a horizon that covers it, and those of the other files that
// can reach it, parsed and expanded now. The occurrences of a plain item
// parsed now (it is parsed only once a query reaches it), or of a file whose
// horizon the window has left, are kept for the next queries, over a horizon
// around now, where that covers the window.
ErrorOr<std::vector<Occurrence>> IndexedCalendarStore::occurrencesIn(
    CalendarIndex& index, const std::string& calendar, Instant start, Instant end)
{
    const icaltimezone* floatingZone = TimeZoneRegistry::shared().deviceZone();
    const Instant now = instantFromUnixSeconds(platform::currentUnixTime());
    const std::vector<CalendarIndex::StoredFile> reaching
        = TRY(index.filesReaching(calendar, unixSeconds(start), unixSeconds(end)));
    std::unordered_set<std::string_view> parsedNow;
    for (const CalendarIndex::StoredFile& file : reaching)
        parsedNow.insert(file.path);
    const std::vector<Occurrence> stored
        = TRY(index.occurrencesReaching(calendar, unixSeconds(start), unixSeconds(end), parsedNow));
    std::vector<std::shared_ptr<const ParsedFile>> files;
    std::vector<std::pair<std::string, CalendarIndex::FileRecord::Expansion>> expanded;
    for (const CalendarIndex::StoredFile& file : reaching) {
        // Gone since the index was brought up to date: the next store forgets it.
        const std::optional<std::string> text = readWholeFile(file.path);
        if (!text)
            continue;
        files.push_back(std::make_shared<const ParsedFile>(parseCalendarFile(*text, file.path)));
        reportProblems(file.path, *files.back());
        if (!file.expandable)
            continue;
        auto expansion = expansionOf(files.back(), now);
        if (expansion && CalendarIndex::covers(*expansion, unixSeconds(start), unixSeconds(end)))
            expanded.emplace_back(file.path, std::move(*expansion));
    }
    // Keeping them is only for the next query: an index that refuses the
    // write now still answers.
    if (ErrorOr<void> kept = recordExpansions(index, calendar, expanded); !kept && !kept.error().refusedWriting())
        return std::move(kept).error();
    std::vector<Occurrence> found = CalendarContents(std::move(files), {}).occurrences(start, end, floatingZone);
    for (const Occurrence& kept : stored) {
        Occurrence occurrence = readIn(kept, floatingZone);
        if (overlaps(occurrence.start, occurrence.end, start, end))
            found.push_back(std::move(occurrence));
    }
    std::stable_sort(
        found.begin(), found.end(), [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
    return found;
}

ErrorOr<void> IndexedCalendarStore::recordExpansions(CalendarIndex& index, const std::string& calendar,
    const std::vector<std::pair<std::string, CalendarIndex::FileRecord::Expansion>>& expanded)
{
    if (expanded.empty())
        return {};
    CalendarIndex::Writing writing(index);
    TRY(writing.begin());
    for (const auto& [path, expansion] : expanded)
        TRY(index.recordExpansion(calendar, path, expansion));
    return writing.commit();
}

// The occurrences of a calendar in [start, end). An index found broken now is
// given up, and the calendar read into memory for this query.
std::vector<Occurrence> IndexedCalendarStore::occurrencesOf(Calendar& calendar, Instant start, Instant end)
{
    std::shared_ptr<CalendarIndex> index = upToDateIndex(calendar);
    ErrorOr<std::vector<Occurrence>> found = occurrencesIn(*index, calendar.location.path, start, end);
    if (found)
        return std::move(found).value();
    index = replaceIndex(calendar.indexPath, found.error());
    (void)bringUpToDate(*index, calendar);
    found = occurrencesIn(*index, calendar.location.path, start, end);
    return found ? std::move(found).value() : std::vector<Occurrence>();
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

// A calendar's name and colour come from its folder's files, else from its
// items' calendar properties, which only an index brought up to date can tell.
CalendarInfo IndexedCalendarStore::describe(Calendar& calendar)
{
    const CalendarLocation& location = calendar.location;
    FolderMetadata metadata;
    if (location.kind == CalendarSource::Kind::Folder)
        metadata = readFolderMetadata(location.path);
    // An index that fails to answer here fails its next query too, and is given up then.
    if (!metadata.name || !metadata.color) {
        const std::shared_ptr<CalendarIndex> index = upToDateIndex(calendar);
        if (ErrorOr<std::optional<std::string>> name = index->calendarName(location.path); !metadata.name && name)
            metadata.name = std::move(name).value();
        if (ErrorOr<std::optional<RGBA>> color = index->calendarColor(location.path); !metadata.color && color)
            metadata.color = color.value();
    }
    CalendarInfo info { location.identifier };
    info.title = metadata.name.value_or(location.fallbackTitle);
    info.color = metadata.color.value_or(defaultCalendarColor(location.identifier));
    info.path = location.path;
    return info;
}

// As in describe, an index that fails to answer is given up at its next query.
std::size_t IndexedCalendarStore::eventCount(Calendar& calendar)
{
    std::lock_guard guard(lock_);
    const ErrorOr<std::size_t> count = upToDateIndex(calendar)->eventCount(calendar.location.path);
    return count ? count.value() : 0;
}

std::vector<std::vector<Occurrence>> IndexedCalendarStore::occurrences(
    const std::vector<Calendar*>& calendars, Instant start, Instant end)
{
    std::lock_guard guard(lock_);
    std::vector<std::vector<Occurrence>> found;
    for (Calendar* calendar : calendars)
        found.push_back(occurrencesOf(*calendar, start, end));
    return found;
}

} // namespace eventkit
