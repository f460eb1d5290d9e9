// The table's event methods: the event source's functions with the table's own
// settings and section headers.
#include "listview/DGLEventTable.h"

#include <events/DateText.h>
#include <events/DayGrouping.h>
#include <events/EventLoading.h>

Ref<NSArray> DGLEventTable::loadEvents()
{
    const Ref<NSMutableArray> records
        = events::loadEventRecords({ onlySelectedCalendars_, daysToDisplay_, maxEventsToDisplay_ });
    return records ? groupByDays(records.get()) : NSArray::array();
}

Ref<NSArray> DGLEventTable::groupByDays(NSMutableArray* records)
{
    if (!records)
        return groupByDays(NSMutableArray::array().get());
    if (!groupByDays_ || records->count() == 0)
        return NSArray::array({ Ref<NSObject>(records) });
    sectionHeaders_ = NSMutableArray::array();
    return events::sectionsByDay(*records, *sectionHeaders_, &createCalendarIconForDate);
}

Ref<NSDate> DGLEventTable::dateWithZeroTimeFromDate(const NSDate* date)
{
    return events::dateWithZeroTimeFromDate(date);
}

Ref<NSString> DGLEventTable::createPrettyDateFrom(const NSDate* date, bool isAllDay)
{
    return events::createPrettyDateFrom(date, isAllDay);
}
