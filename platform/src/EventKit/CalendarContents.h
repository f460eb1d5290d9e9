// The items of one calendar, indexed for queries by time.
#pragma once

#include "Occurrences.h"

#include <memory>
#include <vector>

namespace eventkit {

class CalendarContents {
public:
    explicit CalendarContents(std::vector<std::shared_ptr<const ParsedFile>> files);

    // Every occurrence overlapping [start, end), in ascending start order.
    // Floating times and dates are read in `floatingZone`. Called under the
    // calendar cache's lock (it keeps the last span it expanded).
    std::vector<Occurrence> occurrences(Instant start, Instant end, const icaltimezone* floatingZone) const;

    std::size_t itemCount() const { return itemCount_; }

private:
    struct IndexEntry {
        Instant key;
        const Series* series;
        bool operator<(const IndexEntry& other) const { return key < other.key; }
    };

    // The occurrences of a whole span around a window, kept so that the next
    // query (the lock screen builds its list again and again, with "now" moving
    // on a little) is a filter of what is already expanded.
    struct ExpandedSpan {
        Instant start = 0, end = 0;
        const icaltimezone* zone = nullptr;
        std::vector<Occurrence> occurrences;
        bool valid = false;
    };

    void expandSpan(Instant start, Instant end, const icaltimezone* floatingZone) const;
    void addSingles(
        const std::vector<IndexEntry>& index, Instant lowest, Instant highest, const icaltimezone* floatingZone) const;

    std::vector<std::shared_ptr<const ParsedFile>> files_;
    std::vector<IndexEntry> zonedSingles_; // by start instant
    std::vector<IndexEntry> floatingSingles_; // by wall time read as UTC
    std::vector<const Series*> repeating_;
    Instant longestSingle_ = 0;
    std::size_t itemCount_ = 0;
    mutable ExpandedSpan span_;
};

} // namespace eventkit
