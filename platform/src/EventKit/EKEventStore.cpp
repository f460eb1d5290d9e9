#include <EventKit/EKEventStore.h>

#include "CalendarCache.h"

#include <dispatch/dispatch.h>

#include <algorithm>
#include <mutex>

namespace {

// What the host decided for every store of the process.
struct HostSettings {
    std::mutex lock;
    std::vector<std::string> sources;
    bool granted = true;
};

HostSettings& hostSettings()
{
    static HostSettings settings;
    return settings;
}

bool accessGranted()
{
    std::lock_guard guard(hostSettings().lock);
    return hostSettings().granted;
}

// An occurrence on its way to becoming an EKEvent, with what orders it.
struct Found {
    eventkit::Occurrence occurrence;
    std::size_t calendarIndex;
    std::string identifier;

    bool operator<(const Found& other) const
    {
        return std::tie(occurrence.start, occurrence.end, calendarIndex, identifier)
            < std::tie(other.occurrence.start, other.occurrence.end, other.calendarIndex, other.identifier);
    }
};

Ref<NSString> optionalString(const std::optional<std::string>& text)
{
    return text ? NSString::string(*text) : nullptr;
}

Ref<EKEvent> makeEvent(const Found& found, const Ref<EKCalendar>& calendar)
{
    const eventkit::Occurrence& occurrence = found.occurrence;
    const eventkit::ItemRecord& item = *occurrence.item;
    EKEvent::Occurrence values;
    values.title = optionalString(item.title);
    values.location = optionalString(item.location);
    values.startDate = NSDate::dateWithTimeIntervalSince1970(occurrence.start);
    // The phone ends an all-day event one second before the following midnight.
    values.endDate = NSDate::dateWithTimeIntervalSince1970(item.isAllDay() ? occurrence.end - 1 : occurrence.end);
    values.occurrenceDate = NSDate::dateWithTimeIntervalSince1970(occurrence.originalStart);
    values.allDay = item.isAllDay();
    values.detached = occurrence.isDetached();
    values.persistentEvent = makeRef<EKPersistentEvent>(NSString::string(found.identifier));
    return makeRef<EKEvent>(std::move(values), calendar);
}

std::string persistentIdentifier(const EKCalendar& calendar, const eventkit::Occurrence& occurrence)
{
    std::string identifier = calendar.calendarIdentifier()->UTF8String() + ":" + occurrence.item->uid;
    if (occurrence.isDetached())
        identifier += "/RID=" + occurrence.item->recurrenceIdText;
    return identifier;
}

} // namespace

Class EKEventStore::classObject()
{
    static Class cls = objc::registerClass<EKEventStore>("EKEventStore", NSObject::classObject());
    return cls;
}

void EKEventStore::setAdditionalCalendarSources(std::vector<std::string> paths)
{
    std::lock_guard guard(hostSettings().lock);
    hostSettings().sources = std::move(paths);
}

std::vector<std::string> EKEventStore::additionalCalendarSources()
{
    std::lock_guard guard(hostSettings().lock);
    return hostSettings().sources;
}

void EKEventStore::setAccessGranted(bool granted)
{
    std::lock_guard guard(hostSettings().lock);
    hostSettings().granted = granted;
}

EKAuthorizationStatus EKEventStore::authorizationStatusForEntityType(EKEntityType)
{
    return accessGranted() ? EKAuthorizationStatusAuthorized : EKAuthorizationStatusDenied;
}

EKEventStore::EKEventStore()
{
    setIsa(classObject());
    for (const eventkit::CalendarSnapshot& snapshot :
        eventkit::CalendarCache::shared().calendars(additionalCalendarSources())) {
        const eventkit::RGBA& color = snapshot.color;
        calendars_.push_back(
            makeRef<EKCalendar>(NSString::string(snapshot.identifier), NSString::string(snapshot.title),
                makeRef<::CGColor>(color.red, color.green, color.blue, color.alpha), snapshot.contents));
    }
}

void EKEventStore::requestAccessToEntityType(EKEntityType, EKEventStoreRequestAccessCompletionHandler completion) const
{
    if (!completion)
        return;
    const BOOL granted = accessGranted();
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
        [completion = std::move(completion), granted] { completion(granted, nullptr); });
}

Ref<NSArray> EKEventStore::calendars() const
{
    return calendarsForEntityType(EKEntityTypeEvent);
}

Ref<NSArray> EKEventStore::calendarsForEntityType(EKEntityType type) const
{
    if (type != EKEntityTypeEvent || !accessGranted())
        return NSArray::array();
    return NSArray::array(std::vector<Ref<NSObject>>(calendars_.begin(), calendars_.end()));
}

Ref<EKCalendar> EKEventStore::calendarWithIdentifier(const NSString* identifier) const
{
    if (!identifier || !accessGranted())
        return nullptr;
    for (const Ref<EKCalendar>& calendar : calendars_) {
        if (calendar->calendarIdentifier()->isEqualToString(identifier))
            return calendar;
    }
    return nullptr;
}

Ref<EKPredicate> EKEventStore::predicateForEventsWithStartDate(
    const NSDate* startDate, const NSDate* endDate, const NSArray* calendars) const
{
    return makeRef<EKPredicate>(Ref<NSDate>(const_cast<NSDate*>(startDate)), Ref<NSDate>(const_cast<NSDate*>(endDate)),
        calendars ? calendars->copy() : nullptr);
}

Ref<NSArray> EKEventStore::eventsMatchingPredicate(const EKPredicate* predicate) const
{
    if (!predicate || !predicate->startDate() || !predicate->endDate() || !accessGranted())
        return NSArray::array();
    std::vector<std::size_t> searched;
    for (std::size_t index = 0; index < calendars_.size(); ++index) {
        const bool chosen = !predicate->calendars() || predicate->calendars()->containsObject(calendars_[index].get());
        if (chosen)
            searched.push_back(index);
    }
    const double start = predicate->startDate()->timeIntervalSince1970();
    const double end = predicate->endDate()->timeIntervalSince1970();
    std::vector<Found> found;
    for (std::size_t index : searched) {
        const EKCalendar& calendar = *calendars_[index];
        for (const eventkit::Occurrence& occurrence :
            eventkit::CalendarCache::shared().occurrences(*calendar.contents(), start, end))
            found.push_back({ occurrence, index, persistentIdentifier(calendar, occurrence) });
    }
    std::sort(found.begin(), found.end());
    std::vector<Ref<NSObject>> events;
    events.reserve(found.size());
    for (const Found& entry : found)
        events.push_back(makeEvent(entry, calendars_[entry.calendarIndex]));
    return NSArray::array(std::move(events));
}
