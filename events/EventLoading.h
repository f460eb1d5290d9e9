// The upcoming events as the list shows them: chosen from the calendar store,
// sorted and capped, and copied into records.
#pragma once

#include <Foundation/NSArray.h>
#include <objc/NSObjCRuntime.h>

namespace events {

// What the list asks for.
struct EventWindow {
    // The calendars the calendar application shows, or those of the own calendar list.
    bool onlySelectedCalendars = false;
    // From now until this many calendar days ahead.
    NSInteger daysToDisplay = 0;
    // The most records; 0 or less for all.
    NSInteger maxEventsToDisplay = 0;
};

// The events of the window's calendars as DGLEKEVent records, sorted by start.
// Nil when there is nothing to group: no calendar of the own list, or no event
// found. An event without a start is skipped (and logged), so that every event
// found may still give an empty array.
Ref<NSMutableArray> loadEventRecords(const EventWindow& window);

} // namespace events
