#include "events/EventLoading.h"
#include "events/DGLEKEVent.h"

#include <EventKit/EventKit.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <objc/message.h>

namespace {

// The calendar application's own preferences: which calendars the user hid there.
constexpr const char* calendarAppPreferencesPath = "/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist";
constexpr const char* deselectedCalendarsKey = "LastDeselectedCalendars";
// The calendars the settings pane lets the user pick for the list.
constexpr const char* calendarListPath = "/var/mobile/Library/Preferences/com.quarnel.dayglass2.calendars.plist";

void calendarAccessAnswered(BOOL granted, NSError*)
{
    if (!granted)
        NSLog("QTX: calendar access NOT granted");
}

bool isDeselected(const EKCalendar* calendar, const NSArray* deselected)
{
    if (!deselected)
        return false;
    const NSString* identifier = calendar->calendarIdentifier();
    for (const Ref<NSObject>& disabled : *deselected) {
        NSLog("TXQ: comparing calendar id %@ with disabled calendar id %@", identifier, disabled.get());
        if (identifier->isEqual(disabled.get())) {
            NSLog("TXQ: calendar %@ is disabled", identifier);
            return true;
        }
    }
    return false;
}

// Every calendar of the store that the calendar application does not hide. An
// unreadable preference file chooses none; a file without the key hides none.
Ref<NSMutableArray> calendarsShownByCalendarApp(const EKEventStore& store)
{
    auto chosen = NSMutableArray::array();
    const Ref<NSDictionary> preferences = NSDictionary::dictionaryWithContentsOfFile(calendarAppPreferencesPath);
    if (!preferences)
        return chosen;
    NSLog("DGL2: got %lu items from calendar config file", static_cast<unsigned long>(preferences->count()));
    // A value of another kind under the key hides nothing rather than being
    // walked as if it were a list.
    const NSArray* deselected = dynamicCast<NSArray>(preferences->objectForKey(deselectedCalendarsKey));
    NSLog("DGL2:disabledCalendarsArray=%@", deselected);
    const Ref<NSArray> calendars = store.calendars();
    NSLog("DGL2: allCalendars=%@", calendars.get());
    for (const Ref<NSObject>& object : *calendars) {
        const auto* calendar = dynamicCast<EKCalendar>(object.get());
        if (calendar && !isDeselected(calendar, deselected))
            chosen->addObject(object.get());
    }
    return chosen;
}

// The calendars of the own list that the store knows, in the file's order; nil
// when the list is missing, unreadable or empty.
Ref<NSMutableArray> calendarsOfOwnList(const EKEventStore& store)
{
    const Ref<NSArray> identifiers = NSArray::arrayWithContentsOfFile(calendarListPath);
    if (!identifiers || identifiers->count() == 0)
        return nullptr;
    auto chosen = NSMutableArray::array();
    for (const Ref<NSObject>& identifier : *identifiers) {
        if (Ref<EKCalendar> calendar = store.calendarWithIdentifier(dynamicCast<NSString>(identifier.get())))
            chosen->addObject(calendar.get());
        else
            NSLog("DGL2: unable to find calendar with UUID %@, skipping", identifier.get());
    }
    return chosen;
}

const NSDate* startOf(NSObject* object)
{
    const auto* event = dynamicCast<EKEvent>(object);
    return event ? event->startDate() : nullptr;
}

// Ascending by start. The store never answers a hole, but should one come, it
// goes last, so that the order stays consistent.
NSComparisonResult compareStarts(NSObject* first, NSObject* second)
{
    const NSDate* a = startOf(first);
    const NSDate* b = startOf(second);
    if (!a || !b)
        return a ? NSOrderedAscending : (b ? NSOrderedDescending : NSOrderedSame);
    return a->compare(b);
}

// The link names the stored event, not the occurrence: the identifier of the
// event behind it (whose ":" separators become path separators, and whose
// occurrence suffix is cut off) with the occurrence's own start as `o`.
Ref<NSString> eventLinkText(const EKEvent* event)
{
    const id persistentEvent = objc_msgSend<id>(event, "_persistentEvent");
    const auto* identifier = dynamicCast<NSString>(objc_msgSend<id>(persistentEvent, "eventIdentifier"));
    Ref<NSString> path = identifier ? identifier->stringByReplacingOccurrencesOfString(":", "/") : nullptr;
    if (path) {
        const NSRange occurrenceSuffix = path->rangeOfString("/RID");
        if (occurrenceSuffix.location != NSNotFound)
            path = path->substringToIndex(occurrenceSuffix.location);
    }
    return NSString::stringWithFormat(
        "x-apple-calevent://%@?o=%.1f", path.get(), event->startDate()->timeIntervalSinceReferenceDate());
}

Ref<DGLEKEVent> recordOf(const EKEvent* event)
{
    auto record = makeRef<DGLEKEVent>();
    record->setTitle(event->title());
    record->setStartDate(event->startDate());
    record->setEndDate(event->endDate());
    record->setLocation(event->location());
    record->setAllDay(event->isAllDay());
    const EKCalendar* calendar = event->calendar();
    record->setCalendarColor(calendar ? UIColor::colorWithCGColor(calendar->CGColor()).get() : nullptr);
    const Ref<NSString> link = eventLinkText(event);
    record->setURL(NSURL::URLWithString(link.get()).get());
    NSLog("got event url: %@", link.get());
    record->setCalendarIdentifier(calendar ? calendar->calendarIdentifier() : nullptr);
    return record;
}

} // namespace

namespace events {

// Runs on the thread that builds the list, against a store made for this load
// alone. The access request is not waited for: its answer only shows in the log,
// and a store without access simply answers nothing.
Ref<NSMutableArray> loadEventRecords(const EventWindow& window)
{
    const auto store = makeRef<EKEventStore>();
    store->requestAccessToEntityType(EKEntityTypeEvent, &calendarAccessAnswered);

    Ref<NSMutableArray> calendars;
    if (window.onlySelectedCalendars) {
        calendars = calendarsShownByCalendarApp(*store);
    } else {
        calendars = calendarsOfOwnList(*store);
        if (!calendars) {
            NSLog("DGL2: no enabled calendars found, not searching the DB!");
            return nullptr;
        }
    }
    NSLog("DGL2: selected calendars: %@", calendars.get());

    // One reading of the clock for both ends, so that the window is exactly
    // `daysToDisplay` calendar days long.
    const Ref<NSDate> start = NSDate::date();
    auto length = makeRef<NSDateComponents>();
    length->setDay(window.daysToDisplay);
    const Ref<NSDate> end = NSCalendar::currentCalendar()->dateByAddingComponents(length.get(), start.get(), 0);

    const Ref<NSArray> found = store->eventsMatchingPredicate(
        store->predicateForEventsWithStartDate(start.get(), end.get(), calendars.get()).get());
    if (found->count() == 0)
        return nullptr;

    const Ref<NSArray> sorted = found->sortedArrayUsingComparator(&compareStarts);
    auto records = NSMutableArray::array();
    NSInteger added = 0;
    for (const Ref<NSObject>& object : *sorted) {
        const auto* event = dynamicCast<EKEvent>(object.get());
        if (!event || !event->startDate()) {
            NSLog("%@ skipping nil event...", "DGL2"_ns.get());
            continue;
        }
        records->addObject(recordOf(event).get());
        if (window.maxEventsToDisplay >= 1 && ++added >= window.maxEventsToDisplay)
            break;
    }
    return records;
}

} // namespace events
