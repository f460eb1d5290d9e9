// The simulated SpringBoard's classes, registered in the runtime under SpringBoard's
// own names so that an extension finds, hooks and extends them by name.
#pragma once

#include <objc/message.h>

namespace host {

// Registers every SpringBoard class. Must run before any extension is loaded: an
// extension looks the classes up from its initialiser.
void registerSpringBoardClasses();

// `[[T alloc] init]` through the runtime, so that a hooked -init runs exactly as
// SpringBoard's own would. Nil when -init answers nil or an object of another class.
template <typename T> Ref<T> allocInit(Class cls = T::classObject())
{
    Ref<NSObject> allocated = Ref<NSObject>::adopt(class_createInstance(cls, 0));
    return Ref<T>(dynamicCast<T>(objc_msgSend<id>(allocated.get(), "init")));
}

// `[super selector]`: the superclass's implementation as it stands now, hooks included.
template <typename R = void, typename... Args>
R sendSuper(Class superclass, id self, const char* selector, Args... args)
{
    SEL op = sel_registerName(selector);
    IMP imp = class_getMethodImplementation(superclass, op);
    if (!imp)
        objc::throwUnrecognizedSelector(self, op);
    return reinterpret_cast<R (*)(id, SEL, Args...)>(imp)(self, op, args...);
}

} // namespace host
