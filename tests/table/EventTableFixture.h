// Event tables built on given events instead of loaded ones, and the events to
// give them.
#pragma once

#include "events/DGLEKEVent.h"
#include "listview/DGLEventTable.h"

#include <string>
#include <vector>

namespace table_testing {

// An event table whose sections come from the test instead of the calendars.
class PreloadedEventTable : public DGLEventTable {
public:
    using DGLEventTable::DGLEventTable;
    using DGLEventTable::eventAtIndexPath;

    // Everything initView does, with these sections in place of the loaded ones.
    void initViewWithSections(Ref<NSArray> sections)
    {
        buildTableView();
        showSections(std::move(sections));
    }
};

// An event of the calendar colour, without a location when `location` is empty.
Ref<DGLEKEVent> makeEvent(
    const std::string& title, const NSDate* start, const std::string& location = "", UIColor* color = nullptr);

// Sections of `rowsPerSection[s]` events each, titled "Event s.r", every other one
// (the odd rows) with a location.
Ref<NSArray> makeSections(const std::vector<int>& rowsPerSection);

// A table with the sample device's look: title 14, location 12, date 11, header 13.
Ref<PreloadedEventTable> makeStyledTable(CGRect frame);

// The height of one line of the system font at that size, in whole points.
CGFloat systemLineHeight(CGFloat size);

} // namespace table_testing
