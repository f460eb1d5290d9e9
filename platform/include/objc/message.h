// Sending a message: `objc_msgSend<R>(receiver, "selector:", args…)`, where the
// receiver is an object (instance methods) or a class (class methods, found in
// its metaclass).
//
// The call is looked up through the receiver's class chain at the moment it is
// made, so hooks and added methods take effect at once. Its type encoding, built
// from R and the argument types, must equal the method's: a call that disagrees
// with the implementation is refused with an NSException instead of corrupting
// the stack. A message to nil does nothing and yields zero.
#pragma once

#include <objc/runtime.h>
#include <platform/Export.h>

#include <string>
#include <type_traits>

namespace objc {

// Object pointers of every class travel as `id`, as in the implementations; a
// class travels as itself.
template <typename T> struct IsObjectPointer : std::false_type {
};
template <typename T> struct IsObjectPointer<T*> : std::is_base_of<NSObject, std::remove_cv_t<T>> {
};
template <> struct IsObjectPointer<Class> : std::false_type {
};
template <typename T> using Wire = std::conditional_t<IsObjectPointer<T>::value, id, T>;

// Each raises NSInvalidArgumentException. Foundation defines them: the runtime
// only names the failure, and a caller that catches it includes
// <Foundation/NSException.h>.
[[noreturn]] PLATFORM_EXPORT void throwUnrecognizedSelector(NSObject* receiver, SEL selector);
[[noreturn]] PLATFORM_EXPORT void throwUnrecognizedSelector(Class receiver, SEL selector);
// `method` reads "-[Class selector]" or "+[Class selector]".
[[noreturn]] PLATFORM_EXPORT void throwEncodingMismatch(
    const std::string& method, const std::string& callTypes, const char* methodTypes);

inline std::string methodName(const NSObject* receiver, SEL op)
{
    return std::string("-[") + class_getName(object_getClass(receiver)) + " " + sel_getName(op) + "]";
}
inline std::string methodName(Class receiver, SEL op)
{
    return std::string("+[") + class_getName(receiver) + " " + sel_getName(op) + "]";
}

// The implementation `cls` answers for a call of these types to `receiver`,
// found through its superclasses and checked against the method's encoding.
template <typename R, typename... Args, typename Receiver> IMP lookUp(Receiver receiver, Class cls, SEL op)
{
    Method method = class_getInstanceMethod(cls, op);
    if (!method)
        throwUnrecognizedSelector(receiver, op);
    static const std::string callTypes = methodEncoding<Wire<R>, Wire<Args>...>();
    const char* methodTypes = method_getTypeEncoding(method);
    if (callTypes != methodTypes)
        throwEncodingMismatch(methodName(receiver, op), callTypes, methodTypes);
    return method_getImplementation(method);
}

// An object's methods are its class's; a class's are its metaclass's.
template <typename R, typename... Args, typename Receiver> IMP lookUp(Receiver receiver, SEL op)
{
    return lookUp<R, Args...>(receiver, object_getClass(receiver), op);
}

template <typename R, typename Receiver, typename... Args> R send(Receiver self, SEL op, Args... args)
{
    if (!self) {
        if constexpr (std::is_void_v<R>)
            return;
        else
            return R {};
    }
    using Fn = Wire<R> (*)(Receiver, SEL, Wire<Args>...);
    auto fn = reinterpret_cast<Fn>(lookUp<R, Args...>(self, op));
    if constexpr (std::is_void_v<R>)
        fn(self, op, static_cast<Wire<Args>>(args)...);
    else
        return static_cast<R>(fn(self, op, static_cast<Wire<Args>>(args)...));
}

} // namespace objc

template <typename R = void, typename... Args> R objc_msgSend(const NSObject* receiver, SEL op, Args... args)
{
    return objc::send<R>(const_cast<id>(receiver), op, args...);
}

template <typename R = void, typename... Args>
R objc_msgSend(const NSObject* receiver, const char* selector, Args... args)
{
    return objc_msgSend<R, Args...>(receiver, sel_registerName(selector), args...);
}

// A class method: `objc_msgSend<id>(objc_getClass("LSApplicationWorkspace"), "defaultWorkspace")`.
template <typename R = void, typename... Args> R objc_msgSend(Class receiver, SEL op, Args... args)
{
    return objc::send<R>(receiver, op, args...);
}

template <typename R = void, typename... Args> R objc_msgSend(Class receiver, const char* selector, Args... args)
{
    return objc_msgSend<R, Args...>(receiver, sel_registerName(selector), args...);
}

// A message to a literal nil, which would otherwise be as much a class as an object.
template <typename R = void, typename... Args> R objc_msgSend(std::nullptr_t, const char*, Args...)
{
    if constexpr (!std::is_void_v<R>)
        return R {};
}
