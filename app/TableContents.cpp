#include "TableContents.h"

#include <EventKit/EKCalendar.h>
#include <EventKit/EKEventStore.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSString.h>
#include <Foundation/NSURL.h>
#include <UIKit/UIColor.h>
#include <objc/message.h>

namespace {

Ivar tableIvar(NSObject* table, const char* name)
{
    return class_getInstanceVariable(object_getClass(table), name);
}

std::optional<std::string> text(id object)
{
    const auto* string = dynamicCast<NSString>(object);
    return string ? std::optional(string->UTF8String()) : std::nullopt;
}

ListedEvent readEvent(NSObject* table, id record, const EKEventStore& store)
{
    ListedEvent event;
    event.title = text(objc_msgSend<id>(table, "titleShownForEvent:", record));
    if (!tableHidesDetails(table))
        event.location = text(objc_msgSend<id>(record, "location"));
    event.start = dynamicCast<NSDate>(objc_msgSend<id>(record, "startDate"));
    event.end = dynamicCast<NSDate>(objc_msgSend<id>(record, "endDate"));
    event.allDay = objc_msgSend<bool>(record, "isAllDay");
    event.dateText
        = text(objc_msgSend<id>(table, "createPrettyDateFrom:isAllDay:", event.start.get(), event.allDay)).value_or("");
    if (const auto* url = dynamicCast<NSURL>(objc_msgSend<id>(record, "URL")))
        event.url = url->absoluteString()->UTF8String();
    event.calendar = text(objc_msgSend<id>(record, "calendarIdentifier")).value_or("");
    if (const Ref<EKCalendar> calendar = store.calendarWithIdentifier(NSString::string(event.calendar).get()))
        event.calendarTitle = calendar->title() ? calendar->title()->UTF8String() : "";
    if (const auto* color = dynamicCast<UIColor>(objc_msgSend<id>(record, "calendarColor")))
        event.color = { color->red(), color->green(), color->blue(), color->alpha() };
    return event;
}

std::optional<std::string> headerTitle(const NSArray* headers, NSUInteger section)
{
    if (!headers || section >= headers->count())
        return std::nullopt;
    const auto* header = dynamicCast<NSDictionary>(headers->objectAtIndex(section));
    return header ? text(header->objectForKey("title")) : std::nullopt;
}

} // namespace

bool tableHidesDetails(NSObject* table)
{
    return objc_msgSend<bool>(table, "hidesDetails");
}

std::vector<ListedSection> readTableContents(NSObject* table)
{
    const auto* sections = dynamicCast<NSArray>(object_getIvar(table, tableIvar(table, "calendarEvents")));
    const auto* headers = dynamicCast<NSArray>(object_getIvar(table, tableIvar(table, "sectionHeaders")));
    const bool titled = objc_msgSend<bool>(table, "groupByDays");
    std::vector<ListedSection> listed;
    if (!sections)
        return listed;
    const auto store = makeRef<EKEventStore>();
    for (NSUInteger index = 0; index < sections->count(); ++index) {
        ListedSection section;
        if (titled)
            section.title = headerTitle(headers, index);
        if (const auto* records = dynamicCast<NSArray>(sections->objectAtIndex(index)))
            for (const Ref<NSObject>& record : *records)
                section.events.push_back(readEvent(table, record.get(), *store));
        listed.push_back(std::move(section));
    }
    return listed;
}
