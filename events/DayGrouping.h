// The list's day sections: records grouped by the local day they start on, each
// section under a header with the day's title and calendar page.
#pragma once

#include <Foundation/NSArray.h>
#include <Foundation/NSDate.h>
#include <UIKit/UIImage.h>

namespace events {

// The calendar page a day's header shows.
using DayIcon = Ref<UIImage> (*)(const NSDate* day);

// Splits DGLEKEVent records sorted by start into one section per local day of
// their start, and adds one header per section to `headers`: "title" (the day's
// relative name, or weekday, month and day) and "icon" (drawn by `icon`).
Ref<NSArray> sectionsByDay(const NSArray& records, NSMutableArray& headers, DayIcon icon);

} // namespace events
