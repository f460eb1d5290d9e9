#include <EventKit/EKEventStore.h>

#include "CalendarLocations.h"
#include "CalendarStore.h"
#include "StandardInput.h"

#include <dispatch/dispatch.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// What the host decided for every store of the process.
struct HostSettings {
    std::mutex lock;
    std::vector<std::string> sources;
    bool granted = true;
    EKCalendarStorage storage = EKCalendarStorage::Memory;
    std::shared_ptr<eventkit::CalendarStore> store;
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

// The store the host chose, and the sources it added.
std::pair<std::shared_ptr<eventkit::CalendarStore>, std::vector<std::string>> currentStore()
{
    HostSettings& settings = hostSettings();
    std::lock_guard guard(settings.lock);
    if (!settings.store)
        settings.store = eventkit::makeCalendarStore(settings.storage);
    return { settings.store, settings.sources };
}

std::shared_ptr<const eventkit::CalendarView> currentView()
{
    const auto [store, sources] = currentStore();
    return store->view(sources);
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

Ref<NSDate> dateOf(eventkit::Instant instant)
{
    return NSDate::dateWithTimeIntervalSince1970(eventkit::unixSeconds(instant));
}

Ref<EKEvent> makeEvent(const Found& found, const Ref<EKCalendar>& calendar)
{
    const eventkit::Occurrence& occurrence = found.occurrence;
    EKEvent::Occurrence values;
    values.title = optionalString(occurrence.title);
    values.location = optionalString(occurrence.location);
    values.startDate = dateOf(occurrence.start);
    // The phone ends an all-day event one second before the following midnight.
    values.endDate = dateOf(occurrence.allDay ? occurrence.end - eventkit::Seconds(1) : occurrence.end);
    values.occurrenceDate = dateOf(occurrence.originalStart);
    values.allDay = occurrence.allDay;
    values.detached = occurrence.isDetached();
    values.persistentEvent = makeRef<EKPersistentEvent>(NSString::string(found.identifier));
    return makeRef<EKEvent>(std::move(values), calendar);
}

std::string persistentIdentifier(const EKCalendar& calendar, const eventkit::Occurrence& occurrence)
{
    std::string identifier = calendar.calendarIdentifier()->UTF8String() + ":" + occurrence.uid;
    if (occurrence.isDetached())
        identifier += "/RID=" + occurrence.recurrenceId;
    return identifier;
}

} // namespace

Class EKEventStore::classObject()
{
    return objc::registeredClass<EKEventStore>("EKEventStore");
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

void EKEventStore::setCalendarStorage(EKCalendarStorage storage)
{
    HostSettings& settings = hostSettings();
    std::lock_guard guard(settings.lock);
    if (settings.store && settings.storage == storage)
        return;
    settings.storage = storage;
    settings.store = eventkit::makeCalendarStore(storage);
}

void EKEventStore::setAccessGranted(bool granted)
{
    std::lock_guard guard(hostSettings().lock);
    hostSettings().granted = granted;
}

std::vector<EKSkippedCalendarFile> EKEventStore::skippedCalendarFiles()
{
    std::vector<EKSkippedCalendarFile> skipped;
    const auto [store, sources] = currentStore();
    for (eventkit::SkippedFile& file : store->skippedFiles(sources)) {
        const bool standardInput = eventkit::isStandardInputCopy(file.path);
        skipped.push_back({ standardInput ? "standard input" : std::move(file.path), std::move(file.reason) });
    }
    return skipped;
}

EKAuthorizationStatus EKEventStore::authorizationStatusForEntityType(EKEntityType)
{
    return accessGranted() ? EKAuthorizationStatusAuthorized : EKAuthorizationStatusDenied;
}

EKEventStore::EKEventStore()
    : view_(currentView())
{
    for (const eventkit::CalendarInfo& calendar : view_->calendars()) {
        const eventkit::RGBA& color = calendar.color;
        calendars_.push_back(makeRef<EKCalendar>(NSString::string(calendar.identifier),
            NSString::string(calendar.title), makeRef<::CGColor>(color.red, color.green, color.blue, color.alpha)));
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

std::size_t EKEventStore::indexOf(const EKCalendar* calendar) const
{
    for (std::size_t index = 0; index < calendars_.size(); ++index)
        if (calendars_[index].get() == calendar)
            return index;
    throw std::out_of_range("the calendar is not one of this store's");
}

EKCalendarOrigin EKEventStore::originOfCalendar(const EKCalendar* calendar) const
{
    const eventkit::CalendarInfo& info = view_->calendars().at(indexOf(calendar));
    // The device's calendars are the folders of its calendar folder.
    return { info.path, fs::path(info.path).parent_path() == eventkit::CalendarLocations::deviceFolder() };
}

std::size_t EKEventStore::eventCountOfCalendar(const EKCalendar* calendar) const
{
    return view_->eventCount(indexOf(calendar));
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
    const auto start = eventkit::instantFromUnixSeconds(predicate->startDate()->timeIntervalSince1970());
    const auto end = eventkit::instantFromUnixSeconds(predicate->endDate()->timeIntervalSince1970());
    std::vector<std::vector<eventkit::Occurrence>> occurrences = view_->occurrences(searched, start, end);
    std::vector<Found> found;
    for (std::size_t chosen = 0; chosen < searched.size(); ++chosen) {
        const std::size_t index = searched[chosen];
        for (eventkit::Occurrence& occurrence : occurrences[chosen]) {
            std::string identifier = persistentIdentifier(*calendars_[index], occurrence);
            found.push_back({ std::move(occurrence), index, std::move(identifier) });
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<Ref<NSObject>> events;
    events.reserve(found.size());
    for (const Found& entry : found)
        events.push_back(makeEvent(entry, calendars_[entry.calendarIndex]));
    return NSArray::array(std::move(events));
}
