#include <host/SBDashBoardEvent.h>

Class SBDashBoardEvent::classObject()
{
    static Class cls = objc::registerClass<SBDashBoardEvent>(
        "SBDashBoardEvent", NSObject::classObject(), [](Class c) { objc::addMethod(c, "type", &typeImp); });
    return cls;
}

SBDashBoardEvent::SBDashBoardEvent(NSInteger type)
    : type_(type)
{
    setIsa(classObject());
}

Ref<SBDashBoardEvent> SBDashBoardEvent::eventWithType(NSInteger type)
{
    return makeRef<SBDashBoardEvent>(type);
}

NSInteger SBDashBoardEvent::typeImp(id self, SEL)
{
    return static_cast<SBDashBoardEvent*>(self)->type_;
}
