// The items of one calendar, indexed for queries by time.
#pragma once

#include "Occurrences.h"
#include "QuickScan.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace eventkit {

// A plain item file left unparsed, known by the instants that bound it. It is
// parsed the first time a query reaches them; its calendar keeps the result
// across rebuilds for as long as the file is unchanged.
struct DeferredItem {
    ItemBounds bounds;
    std::string path;
    std::shared_ptr<const ParsedFile> parsed; // written under the calendar cache's lock
};

// Parses the items not parsed yet, now. Called under the calendar cache's lock.
void parseDeferredItems(const std::vector<DeferredItem*>& items);

// The items of parsed files (`files`) and of plain ones not parsed yet
// (`deferred`); each UID and RECURRENCE-ID of the parsed files counts once
// (see Revisions.h).
class CalendarContents {
public:
    CalendarContents(
        std::vector<std::shared_ptr<const ParsedFile>> files, std::vector<std::shared_ptr<DeferredItem>> deferred);

    // Every occurrence overlapping [start, end), in ascending start order.
    // Floating times and dates are read in `floatingZone`. Deferred items in
    // reach are parsed now, once. Called under the calendar cache's lock (it
    // keeps the last span it expanded).
    std::vector<Occurrence> occurrences(Instant start, Instant end, const icaltimezone* floatingZone) const;
    // Whether the last expansion followed a rule no further than the bound allows.
    bool stoppedAtBound() const;
    // Every UID once.
    std::size_t eventCount() const { return eventCount_; }

private:
    template <typename Time> struct IndexEntry {
        Time key;
        const Series* series;
        bool operator<(const IndexEntry& other) const { return key < other.key; }
    };

    // The occurrences of a whole span around a window, kept so that the next
    // query (the lock screen builds its list again and again, with "now" moving
    // on a little) is a filter of what is already expanded.
    struct ExpandedSpan {
        Instant start, end;
        const icaltimezone* zone = nullptr;
        std::vector<Occurrence> occurrences;
        bool valid = false;
    };

    void addToIndex(const Series& series);
    void expandSpan(Instant start, Instant end, const icaltimezone* floatingZone) const;
    void addDeferred(const icaltimezone* floatingZone) const;
    void addSeries(const Series& series, const icaltimezone* floatingZone) const;
    template <typename Time>
    void addSingles(
        const std::vector<IndexEntry<Time>>& index, Time lowest, Time highest, const icaltimezone* floatingZone) const;

    std::vector<std::shared_ptr<const ParsedFile>> files_;
    std::deque<Series> merged_; // revisions of one UID, merged
    std::vector<IndexEntry<Instant>> zonedSingles_; // by start
    std::vector<IndexEntry<WallTime>> floatingSingles_; // by start, which only a zone makes an instant
    std::vector<const Series*> repeating_;
    // What each repeating series was last found to reach, for the zone it was
    // read in: a series that has ended (or not begun) is not expanded again.
    struct KnownReach {
        const icaltimezone* zone = nullptr;
        SeriesReach reach;
        bool known = false;
    };
    mutable std::vector<KnownReach> reaches_;
    Seconds longestSingle_ {};
    std::vector<std::shared_ptr<DeferredItem>> deferred_; // by their first bound
    Seconds widestDeferred_ {};
    mutable ExpandedSpan span_;
    std::size_t eventCount_ = 0;
};

} // namespace eventkit
