#include "events/DGLEKEVent.h"
#include "events/NSDateFormatter+RelativeDateFormat.h"
#include "listview/DGLEventTable.h"

#include <Foundation/NSCalendar.h>
#include <Foundation/NSDateFormatter.h>

namespace {

// The header above the day of `date`: its title in `titleFormatter`'s pattern
// unless the day has a relative name, and its calendar page.
Ref<NSDictionary> headerForDay(const NSDate* date, const NSDateFormatter* titleFormatter)
{
    return NSDictionary::dictionary({
        { "title"_ns, relativeStringFromDateIfPossible(titleFormatter, date) },
        { "icon"_ns, DGLEventTable::createCalendarIconForDate(date) },
    });
}

// Weekday, month name and day number, in the order and punctuation of the
// current locale.
Ref<NSDateFormatter> makeDayTitleFormatter()
{
    auto formatter = makeRef<NSDateFormatter>();
    formatter->setDateFormat(
        NSDateFormatter::dateFormatFromTemplate("EEEEMMMMd"_ns.get(), 0, NSLocale::currentLocale().get()).get());
    return formatter;
}

} // namespace

// The records come sorted by start, so each day's records are adjacent and a
// record opens a new section exactly when it starts on another day than the
// first record of the current one. A record belongs to the day it starts on,
// also when it runs over several days.
Ref<NSArray> DGLEventTable::groupByDays(NSMutableArray* events)
{
    if (!events)
        return groupByDays(NSMutableArray::array().get());
    if (!groupByDays_ || events->count() == 0)
        return NSArray::array({ Ref<NSObject>(events) });

    auto sections = NSMutableArray::array();
    sectionHeaders_ = NSMutableArray::array();
    const Ref<NSCalendar> calendar = NSCalendar::currentCalendar();
    const Ref<NSDateFormatter> titleFormatter = makeDayTitleFormatter();

    Ref<NSMutableArray> section;
    const NSDate* anchor = nullptr;
    for (const Ref<NSObject>& object : *events) {
        DGLEKEVent* event = dynamicCast<DGLEKEVent>(object.get());
        if (!event)
            continue;
        if (!anchor || !calendar->isDateInSameDayAsDate(event->startDate(), anchor)) {
            if (section)
                sections->addObject(section->copy().get());
            section = NSMutableArray::array();
            sectionHeaders_->addObject(headerForDay(event->startDate(), titleFormatter.get()).get());
            anchor = event->startDate();
        }
        section->addObject(event);
    }
    if (section)
        sections->addObject(section->copy().get());
    return sections;
}
