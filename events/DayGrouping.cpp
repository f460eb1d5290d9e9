#include "events/DayGrouping.h"
#include "events/DGLEKEVent.h"
#include "events/NSDateFormatter+RelativeDateFormat.h"

#include <Foundation/NSCalendar.h>
#include <Foundation/NSDateFormatter.h>
#include <Foundation/NSDictionary.h>

namespace {

// The header above the day of `date`: its title in `titleFormatter`'s pattern
// unless the day has a relative name, and its calendar page.
Ref<NSDictionary> headerForDay(const NSDate* date, const NSDateFormatter* titleFormatter, events::DayIcon icon)
{
    return NSDictionary::dictionary({
        { "title"_ns, relativeStringFromDateIfPossible(titleFormatter, date) },
        { "icon"_ns, icon(date) },
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
Ref<NSArray> events::sectionsByDay(const NSArray& records, NSMutableArray& headers, DayIcon icon)
{
    auto sections = NSMutableArray::array();
    const Ref<NSCalendar> calendar = NSCalendar::currentCalendar();
    const Ref<NSDateFormatter> titleFormatter = makeDayTitleFormatter();

    Ref<NSMutableArray> section;
    const NSDate* anchor = nullptr;
    for (const Ref<NSObject>& object : records) {
        DGLEKEVent* event = dynamicCast<DGLEKEVent>(object.get());
        if (!event)
            continue;
        if (!anchor || !calendar->isDateInSameDayAsDate(event->startDate(), anchor)) {
            if (section)
                sections->addObject(section->copy().get());
            section = NSMutableArray::array();
            headers.addObject(headerForDay(event->startDate(), titleFormatter.get(), icon).get());
            anchor = event->startDate();
        }
        section->addObject(event);
    }
    if (section)
        sections->addObject(section->copy().get());
    return sections;
}
