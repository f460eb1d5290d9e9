#include <EventKit/EKPersistentEvent.h>

namespace {

id eventIdentifierImp(id self, SEL)
{
    return const_cast<NSString*>(static_cast<EKPersistentEvent*>(self)->eventIdentifier());
}

} // namespace

Class EKPersistentEvent::classObject()
{
    return objc::registeredClass<EKPersistentEvent>(
        "EKPersistentEvent", [](Class c) { objc::addMethod(c, "eventIdentifier", &eventIdentifierImp); });
}

EKPersistentEvent::EKPersistentEvent(Ref<NSString> eventIdentifier)
    : eventIdentifier_(std::move(eventIdentifier))
{
}

std::string EKPersistentEvent::description() const
{
    return "EKPersistentEvent {eventIdentifier = " + eventIdentifier_->UTF8String() + ";}";
}
