#include "CalendarContents.h"

#include "CalendarFiles.h"
#include "Revisions.h"

#include <Foundation/NSLog.h>

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace eventkit {
namespace {

// The furthest a zone's wall clock is from UTC (UTC-12 to UTC+14), with room to spare.
constexpr std::chrono::hours widestOffset { 15 };

Seconds lengthBound(const ItemDuration& duration)
{
    return duration.days * (oneDay + std::chrono::hours(1)) + Seconds(duration.seconds);
}

} // namespace

CalendarContents::CalendarContents(
    std::vector<std::shared_ptr<const ParsedFile>> files, std::vector<std::shared_ptr<DeferredItem>> deferred)
    : files_(std::move(files))
    , deferred_(std::move(deferred))
{
    for (const auto& item : deferred_)
        widestDeferred_ = std::max(widestDeferred_, item->bounds.to - item->bounds.from);
    std::sort(deferred_.begin(), deferred_.end(),
        [](const auto& a, const auto& b) { return a->bounds.from < b->bounds.from; });
    std::unordered_map<std::string_view, std::vector<const Series*>> byUid;
    for (const auto& file : files_) {
        for (const Series& series : file->series)
            byUid[series.master.uid].push_back(&series);
    }
    for (const auto& file : files_) {
        for (const Series& series : file->series) {
            std::vector<const Series*>& sameUid = byUid[series.master.uid];
            if (sameUid.empty())
                continue; // merged with an earlier one
            if (!holdsRevisions(sameUid)) {
                addToIndex(series);
                continue;
            }
            for (Series& merged : latestRevisions(sameUid)) {
                merged_.push_back(std::move(merged));
                addToIndex(merged_.back());
            }
            sameUid.clear();
        }
    }
    // A plain item shares its UID with no other file (CalendarSource parses those).
    eventCount_ = byUid.size() + deferred_.size();
    reaches_.resize(repeating_.size());
    std::sort(zonedSingles_.begin(), zonedSingles_.end());
    std::sort(floatingSingles_.begin(), floatingSingles_.end());
}

void CalendarContents::addToIndex(const Series& series)
{
    if (series.repeats()) {
        repeating_.push_back(&series);
        return;
    }
    const ItemTime& start = series.master.start;
    if (start.zone)
        zonedSingles_.push_back({ instantOf(start.wall, start.zone), &series });
    else
        floatingSingles_.push_back({ start.local(), &series });
    longestSingle_ = std::max(longestSingle_, lengthBound(series.master.duration));
}

std::vector<Occurrence> CalendarContents::occurrences(
    Instant start, Instant end, const icaltimezone* floatingZone) const
{
    if (!span_.valid || span_.zone != floatingZone || start < span_.start || end > span_.end)
        expandSpan(start, end, floatingZone);
    std::vector<Occurrence> found;
    for (const Occurrence& occurrence : span_.occurrences) {
        if (occurrence.start >= end)
            break;
        if (overlaps(occurrence.start, occurrence.end, start, end))
            found.push_back(occurrence);
    }
    return found;
}

bool CalendarContents::stoppedAtBound() const
{
    return std::any_of(reaches_.begin(), reaches_.end(),
        [](const KnownReach& known) { return known.known && known.reach.stoppedAtBound; });
}

// Whole days of UTC around the window, a day before it and a week after, so
// that the window can move on for a week of rebuilds without a new expansion.
void CalendarContents::expandSpan(Instant start, Instant end, const icaltimezone* floatingZone) const
{
    span_.start = std::chrono::floor<std::chrono::days>(start) - oneDay;
    span_.end = std::chrono::ceil<std::chrono::days>(end) + 7 * oneDay;
    span_.zone = floatingZone;
    span_.occurrences.clear();
    const Instant lowest = span_.start - longestSingle_;
    addSingles(zonedSingles_, lowest, span_.end, floatingZone);
    // Any zone's clock reads within the widest offset of a UTC clock.
    addSingles(floatingSingles_, wallTimeIn(lowest, nullptr) - widestOffset,
        wallTimeIn(span_.end, nullptr) + widestOffset, floatingZone);
    addDeferred(floatingZone);
    for (std::size_t index = 0; index < repeating_.size(); ++index) {
        KnownReach& known = reaches_[index];
        const bool outside = known.reach.latest < span_.start || known.reach.earliest >= span_.end;
        if (known.known && known.zone == floatingZone && outside)
            continue;
        known.reach = expandSeries(*repeating_[index], span_.start, span_.end, floatingZone, span_.occurrences);
        known.zone = floatingZone;
        known.known = true;
    }
    std::stable_sort(span_.occurrences.begin(), span_.occurrences.end(),
        [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
    span_.valid = true;
}

template <typename Time>
void CalendarContents::addSingles(
    const std::vector<IndexEntry<Time>>& index, Time lowest, Time highest, const icaltimezone* floatingZone) const
{
    auto entry = std::lower_bound(index.begin(), index.end(), IndexEntry<Time> { lowest, nullptr });
    for (; entry != index.end() && entry->key < highest; ++entry)
        addSeries(*entry->series, floatingZone);
}

void CalendarContents::addSeries(const Series& series, const icaltimezone* floatingZone) const
{
    if (series.repeats()) {
        expandSeries(series, span_.start, span_.end, floatingZone, span_.occurrences);
        return;
    }
    const auto occurrence = singleOccurrence(series, floatingZone);
    if (occurrence && overlaps(occurrence->start, occurrence->end, span_.start, span_.end))
        span_.occurrences.push_back(*occurrence);
}

void CalendarContents::addDeferred(const icaltimezone* floatingZone) const
{
    const Instant lowest = span_.start - widestDeferred_;
    auto entry = std::lower_bound(deferred_.begin(), deferred_.end(), lowest,
        [](const auto& item, Instant from) { return item->bounds.from < from; });
    std::vector<DeferredItem*> reached;
    for (; entry != deferred_.end() && (*entry)->bounds.from < span_.end; ++entry) {
        if ((*entry)->bounds.to > span_.start)
            reached.push_back(entry->get());
    }
    parseDeferredItems(reached);
    for (DeferredItem* item : reached) {
        for (const Series& series : item->parsed->series)
            addSeries(series, floatingZone);
    }
}

void parseDeferredItems(const std::vector<DeferredItem*>& items)
{
    std::vector<std::string> paths;
    std::vector<DeferredItem*> unread;
    for (DeferredItem* item : items) {
        if (!item->parsed) {
            paths.push_back(item->path);
            unread.push_back(item);
        }
    }
    std::vector<ErrorOr<ReadItemFile>> read = readItemFiles(paths, Parsing::Now);
    for (std::size_t index = 0; index < unread.size(); ++index) {
        // A file gone since it was glanced at holds nothing; the next store reads the folder again.
        if (!read[index])
            logSkipped(paths[index], read[index].error());
        unread[index]->parsed = read[index] ? read[index]->parsed : std::make_shared<const ParsedFile>();
        for (const std::string& problem : unread[index]->parsed->problems)
            NSLog("%s", problem.c_str());
    }
}

} // namespace eventkit
