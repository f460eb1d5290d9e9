#include <EventKit/EKEvent.h>

namespace {

id persistentEventImp(id self, SEL)
{
    return static_cast<EKEvent*>(self)->persistentEvent();
}

id eventIdentifierImp(id self, SEL)
{
    return const_cast<NSString*>(static_cast<EKEvent*>(self)->eventIdentifier());
}

std::string describe(const NSObject* object)
{
    return object ? object->description() : "(null)";
}

} // namespace

Class EKEvent::classObject()
{
    return objc::registeredClass<EKEvent>("EKEvent", [](Class c) {
        objc::addMethod(c, "_persistentEvent", &persistentEventImp);
        objc::addMethod(c, "eventIdentifier", &eventIdentifierImp);
    });
}

EKEvent::EKEvent(Occurrence occurrence, Ref<EKCalendar> calendar)
    : occurrence_(std::move(occurrence))
    , calendar_(std::move(calendar))
{
}

const NSString* EKEvent::eventIdentifier() const
{
    return occurrence_.persistentEvent ? occurrence_.persistentEvent->eventIdentifier() : nullptr;
}

NSComparisonResult EKEvent::compareStartDateWithEvent(const EKEvent* other) const
{
    return startDate()->compare(other->startDate());
}

std::string EKEvent::description() const
{
    return "EKEvent {title = " + describe(title()) + "; location = " + describe(location()) + "; startDate = "
        + describe(startDate()) + "; endDate = " + describe(endDate()) + "; allDay = " + (isAllDay() ? "1" : "0")
        + "; calendar = " + describe(calendar_ ? calendar_->title() : nullptr)
        + "; identifier = " + describe(eventIdentifier()) + ";}";
}
