#include <EventKit/EKPersistentEvent.h>

namespace {

id eventIdentifierImp(id self, SEL)
{
    return const_cast<NSString*>(static_cast<EKPersistentEvent*>(self)->eventIdentifier());
}

} // namespace

Class EKPersistentEvent::classObject()
{
    static Class cls = objc::registerClass(objc::ClassDefinition { "EKPersistentEvent", NSObject::classObject(), {} },
        [](Class c) { objc::addMethod(c, "eventIdentifier", &eventIdentifierImp); });
    return cls;
}

EKPersistentEvent::EKPersistentEvent(Ref<NSString> eventIdentifier)
    : eventIdentifier_(std::move(eventIdentifier))
{
    setIsa(classObject());
}

std::string EKPersistentEvent::description() const
{
    return "EKPersistentEvent {eventIdentifier = " + eventIdentifier_->UTF8String() + ";}";
}
