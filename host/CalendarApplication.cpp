#include <host/CalendarApplication.h>

#include <EventKit/EKEventStore.h>
#include <Foundation/NSDateFormatter.h>
#include <platform/Environment.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace host {
namespace {

constexpr std::string_view eventScheme = "x-apple-calevent://";

struct EventLink {
    std::string identifier;
    double occurrenceStart; // seconds since the reference date
};

std::optional<double> occurrenceParameter(std::string_view query)
{
    for (std::size_t start = 0; start <= query.size();) {
        const std::size_t end = std::min(query.find('&', start), query.size());
        const std::string_view parameter = query.substr(start, end - start);
        if (parameter.starts_with("o=")) {
            double seconds = 0;
            const std::string_view value = parameter.substr(2);
            const auto [rest, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (error == std::errc() && rest == value.data() + value.size() && std::isfinite(seconds))
                return seconds;
            return std::nullopt;
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<EventLink> readEventLink(const NSURL* url)
{
    const std::string_view text = url ? std::string_view(url->absoluteString()->UTF8String()) : std::string_view();
    if (!text.starts_with(eventScheme))
        return std::nullopt;
    const std::string_view rest = text.substr(eventScheme.size());
    const std::size_t question = rest.find('?');
    if (question == std::string_view::npos || question == 0)
        return std::nullopt;
    const std::optional<double> seconds = occurrenceParameter(rest.substr(question + 1));
    if (!seconds)
        return std::nullopt;
    return EventLink { std::string(rest.substr(0, question)), *seconds };
}

// The stored event's identifier as a link writes it.
std::string linkIdentifier(const EKEvent& event)
{
    std::string identifier = event.eventIdentifier()->UTF8String();
    std::replace(identifier.begin(), identifier.end(), ':', '/');
    return identifier.substr(0, identifier.find("/RID"));
}

// The occurrence that starts at the link's instant, in the calendar its
// identifier begins with.
Ref<EKEvent> findOccurrence(const EventLink& link)
{
    auto store = makeRef<EKEventStore>();
    Ref<NSMutableArray> calendars = NSMutableArray::array();
    Ref<NSArray> allCalendars = store->calendars();
    for (const Ref<NSObject>& object : *allCalendars) {
        auto* calendar = static_cast<EKCalendar*>(object.get());
        if (link.identifier.starts_with(calendar->calendarIdentifier()->UTF8String() + "/"))
            calendars->addObject(calendar);
    }
    if (calendars->count() == 0)
        return nullptr;
    // Long enough to hold an occurrence of no duration; the start is matched to
    // the link's one decimal.
    Ref<EKPredicate> predicate = store->predicateForEventsWithStartDate(
        NSDate::dateWithTimeIntervalSinceReferenceDate(link.occurrenceStart).get(),
        NSDate::dateWithTimeIntervalSinceReferenceDate(link.occurrenceStart + 1).get(), calendars.get());
    Ref<NSArray> events = store->eventsMatchingPredicate(predicate.get());
    for (const Ref<NSObject>& object : *events) {
        auto* event = static_cast<EKEvent*>(object.get());
        if (std::abs(event->startDate()->timeIntervalSinceReferenceDate() - link.occurrenceStart) < 0.05
            && linkIdentifier(*event) == link.identifier)
            return Ref<EKEvent>(event);
    }
    return nullptr;
}

std::string formatted(const NSDate* date, const char* pattern)
{
    auto formatter = makeRef<NSDateFormatter>();
    formatter->setDateFormat(NSString::string(pattern).get());
    return formatter->stringFromDate(date)->UTF8String();
}

std::string describeOccurrence(const EKEvent& event)
{
    const std::string title = event.title() ? event.title()->UTF8String() : "New Event";
    if (event.isAllDay())
        return title + ", " + formatted(event.startDate(), "EEE d MMM y") + ", all day";
    return title + ", " + formatted(event.startDate(), "EEE d MMM y 'at' HH:mm") + " "
        + platform::currentTimeZoneIdentifier();
}

} // namespace

std::string calendarApplicationShows(const NSURL* url)
{
    if (std::optional<EventLink> link = readEventLink(url))
        if (Ref<EKEvent> occurrence = findOccurrence(*link))
            return describeOccurrence(*occurrence);
    return "Today, " + formatted(NSDate::date().get(), "EEE d MMM y");
}

} // namespace host
