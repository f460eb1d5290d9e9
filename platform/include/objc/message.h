// Sending a message: `objc_msgSend<R>(receiver, "selector:", args…)`.
//
// The call is looked up through the receiver's class chain at the moment it is
// made, so hooks and added methods take effect at once. Its type encoding, built
// from R and the argument types, must equal the method's: a call that disagrees
// with the implementation is refused with an NSException instead of corrupting
// the stack. A message to nil does nothing and yields zero.
#pragma once

#include <Foundation/NSException.h>
#include <objc/runtime.h>

#include <string>
#include <type_traits>

namespace objc {

// Object pointers of every class travel as `id`, as in the implementations; a
// `Class` (a pointer to an incomplete type) travels as itself.
template <typename T> constexpr bool isObjectPointer()
{
    if constexpr (std::is_pointer_v<T> && !std::is_same_v<T, Class>)
        return std::is_base_of_v<NSObject, std::remove_pointer_t<T>>;
    else
        return false;
}
template <typename T> using Wire = std::conditional_t<isObjectPointer<T>(), id, T>;

[[noreturn]] void throwUnrecognizedSelector(NSObject* receiver, SEL selector);
[[noreturn]] void throwEncodingMismatch(
    NSObject* receiver, SEL selector, const std::string& callTypes, const char* methodTypes);

template <typename R, typename... Args> IMP lookUp(id self, SEL op)
{
    Method method = class_getInstanceMethod(object_getClass(self), op);
    if (!method)
        throwUnrecognizedSelector(self, op);
    static const std::string callTypes = methodEncoding<Wire<R>, Wire<Args>...>();
    const char* methodTypes = method_getTypeEncoding(method);
    if (callTypes != methodTypes)
        throwEncodingMismatch(self, op, callTypes, methodTypes);
    return method_getImplementation(method);
}

} // namespace objc

template <typename R = void, typename... Args> R objc_msgSend(const NSObject* receiver, SEL op, Args... args)
{
    id self = const_cast<id>(receiver);
    if (!self) {
        if constexpr (std::is_void_v<R>)
            return;
        else
            return R {};
    }
    using Fn = objc::Wire<R> (*)(id, SEL, objc::Wire<Args>...);
    auto fn = reinterpret_cast<Fn>(objc::lookUp<R, Args...>(self, op));
    if constexpr (std::is_void_v<R>)
        fn(self, op, static_cast<objc::Wire<Args>>(args)...);
    else
        return static_cast<R>(fn(self, op, static_cast<objc::Wire<Args>>(args)...));
}

template <typename R = void, typename... Args>
R objc_msgSend(const NSObject* receiver, const char* selector, Args... args)
{
    return objc_msgSend<R, Args...>(receiver, sel_registerName(selector), args...);
}
