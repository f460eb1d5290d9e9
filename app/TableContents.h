// What an event table holds once built, read through the runtime as plain
// values: its day sections with their header titles, and each row's record
// with the date text the row shows.
#pragma once

#include <Foundation/NSDate.h>
#include <objc/NSObject.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

struct ListedEvent {
    // As the row shows them: while the table hides its details, the calendar's
    // name and no location.
    std::optional<std::string> title;
    std::optional<std::string> location;
    Ref<NSDate> start;
    Ref<NSDate> end;
    bool allDay = false;
    // What the row shows as its date (createPrettyDateFrom:isAllDay:).
    std::string dateText;
    // The link a swipe opens; empty when the record has none.
    std::string url;
    std::string calendar;
    // The calendar's name; empty when the store no longer knows it.
    std::string calendarTitle;
    // Red, green, blue, alpha.
    std::array<double, 4> color {};
};

struct ListedSection {
    // The day's header title; nothing when the table does not group by day.
    std::optional<std::string> title;
    std::vector<ListedEvent> events;
};

// The sections in `calendarEvents`, titled from `sectionHeaders` while the table
// groups by day.
std::vector<ListedSection> readTableContents(NSObject* table);

// Whether the table's rows show their calendars' names in place of the events'
// titles and no locations, for a lock screen that has not recognised its owner.
bool tableHidesDetails(NSObject* table);
