#include "CalendarContents.h"

#include <algorithm>
#include <cmath>

namespace eventkit {
namespace {

constexpr Instant day = 86400;
// The furthest a zone's wall clock is from UTC (UTC-12 to UTC+14), with room to spare.
constexpr Instant widestOffset = 15 * 3600;

Instant lengthBound(const ItemDuration& duration)
{
    return duration.days * (day + 3600) + duration.seconds;
}

} // namespace

CalendarContents::CalendarContents(std::vector<std::shared_ptr<const ParsedFile>> files)
    : files_(std::move(files))
{
    for (const auto& file : files_) {
        for (const Series& series : file->series) {
            itemCount_ += 1 + series.overrides.size();
            if (series.repeats()) {
                repeating_.push_back(&series);
                continue;
            }
            const ItemTime& start = series.master.start;
            auto& index = start.zone ? zonedSingles_ : floatingSingles_;
            index.push_back({ instantOf(start.wall, start.zone), &series });
            longestSingle_ = std::max(longestSingle_, lengthBound(series.master.duration));
        }
    }
    std::sort(zonedSingles_.begin(), zonedSingles_.end());
    std::sort(floatingSingles_.begin(), floatingSingles_.end());
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

// Whole days of UTC around the window, one more on either side, so that the
// window can move on through the day without a new expansion.
void CalendarContents::expandSpan(Instant start, Instant end, const icaltimezone* floatingZone) const
{
    span_.start = std::floor(start / day) * day - day;
    span_.end = std::ceil(end / day) * day + day;
    span_.zone = floatingZone;
    span_.occurrences.clear();
    const Instant lowest = span_.start - longestSingle_;
    addSingles(zonedSingles_, lowest, span_.end, floatingZone);
    addSingles(floatingSingles_, lowest - widestOffset, span_.end + widestOffset, floatingZone);
    for (const Series* series : repeating_)
        expandSeries(*series, span_.start, span_.end, floatingZone, span_.occurrences);
    std::stable_sort(span_.occurrences.begin(), span_.occurrences.end(),
        [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
    span_.valid = true;
}

void CalendarContents::addSingles(
    const std::vector<IndexEntry>& index, Instant lowest, Instant highest, const icaltimezone* floatingZone) const
{
    auto entry = std::lower_bound(index.begin(), index.end(), IndexEntry { lowest, nullptr });
    for (; entry != index.end() && entry->key < highest; ++entry) {
        const auto occurrence = singleOccurrence(*entry->series, floatingZone);
        if (occurrence && overlaps(occurrence->start, occurrence->end, span_.start, span_.end))
            span_.occurrences.push_back(*occurrence);
    }
}

} // namespace eventkit
