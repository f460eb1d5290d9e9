#include <host/SBDashBoardEvent.h>

Class SBDashBoardEvent::classObject()
{
    return objc::registeredClass<SBDashBoardEvent>(
        "SBDashBoardEvent", [](Class c) { objc::addMethod(c, "type", &typeImp); });
}

SBDashBoardEvent::SBDashBoardEvent(NSInteger type)
    : type_(type)
{
}

Ref<SBDashBoardEvent> SBDashBoardEvent::eventWithType(NSInteger type)
{
    return makeRef<SBDashBoardEvent>(type);
}

NSInteger SBDashBoardEvent::typeImp(id self, SEL)
{
    return static_cast<SBDashBoardEvent*>(self)->type_;
}
