// Cydia Substrate's message hook.
#pragma once

#include <objc/runtime.h>
#include <platform/Export.h>

#include <string>

// Replaces the implementation of `selector` on `cls` and stores the one it
// replaces in `*result`. A method the class defines itself is swapped in place.
// A method it only inherits gets an override on `cls` alone, and `*result` then
// holds the superclass's implementation, so calling through reaches it.
// With a nil class or an unknown selector nothing changes and `*result` is null.
PLATFORM_EXPORT void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* result);

namespace substrate {

// MSHookMessageEx when `types` is the method's own type encoding; otherwise
// nothing changes and one line is logged (see hookMethod).
PLATFORM_EXPORT void hookMessageOfTypes(Class cls, SEL selector, IMP replacement, IMP* result, const char* types);

// MSHookMessageEx typed by the replacement: the replacement and the slot that
// keeps the replaced implementation have one signature (receiver, selector, then
// the method's arguments), and the hook writes the slot itself, before the
// replacement can be called. The type encoding derived from that signature, as
// objc::addMethod derives one, must be the method's own: a replacement that
// reads its arguments otherwise than the method is called with is refused, the
// method and the slot are left alone, and one line is logged, such as
// "MS:Error: not hooking -[Page viewWillAppear:]: the replacement's types are v@:q, the method's v@:B".
template <typename R, typename... Args>
void hookMethod(Class cls, const char* selector, R (*replacement)(id, SEL, Args...), R (**saved)(id, SEL, Args...))
{
    const std::string types = objc::methodEncoding<R, Args...>();
    hookMessageOfTypes(cls, sel_registerName(selector), reinterpret_cast<IMP>(replacement),
        reinterpret_cast<IMP*>(saved), types.c_str());
}

} // namespace substrate
