// One calendar item's bytes, as a subscription may serve them, in a calendar of
// the device, and the store answering the lock screen's window and a wide one,
// recurrences expanded.
#include "FuzzSupport.h"

#include <EventKit/EventKit.h>
#include <platform/Environment.h>
#include <platform/Log.h>

namespace {

constexpr double day = 86'400;
// 2000-01-01 to 2040-01-01, UTC.
constexpr double wideStart = 946'684'800;
constexpr double wideEnd = 2'208'988'800;

// Every occurrence's texts and dates, read as the list reads them.
void readOccurrences(const EKEventStore& store, double start, double end)
{
    auto predicate = store.predicateForEventsWithStartDate(
        NSDate::dateWithTimeIntervalSince1970(start).get(), NSDate::dateWithTimeIntervalSince1970(end).get(), nullptr);
    const Ref<NSArray> events = store.eventsMatchingPredicate(predicate.get());
    for (NSUInteger i = 0; i < events->count(); ++i) {
        const auto* event = static_cast<const EKEvent*>(events->objectAtIndex(i));
        if (event->title())
            (void)event->title()->length();
        if (event->location())
            (void)event->location()->length();
        (void)event->startDate()->timeIntervalSinceDate(event->endDate());
        (void)event->eventIdentifier();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::warmUp(
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:warm\r\nSUMMARY:Warm\r\nDTSTART;TZID=Europe/Berlin:20250610T120000\r\n"
        "DURATION:PT1H\r\nRRULE:FREQ=DAILY;COUNT=3\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::writeDeviceFile("/var/mobile/Library/Calendars/fuzz/item.ics", fuzzing::asText(data, size));
    {
        EKEventStore store;
        const double now = platform::currentUnixTime();
        readOccurrences(store, now - day, now + 3 * day);
        readOccurrences(store, wideStart, wideEnd);
    }
    platform::clearLog();
    return 0;
}
