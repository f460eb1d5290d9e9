// Method implementations for the runtime made from C++ accessors, so that the
// extension's classes answer their property selectors as declared properties do
// on the phone: `objc::addMethod(cls, "title", &Getter<&DGLEKEVent::title>::imp)`.
//
// Objects travel as `id`; a setter handed an object of the wrong class stores nil.
// A getter answers its object unretained, as a plain property getter does.
#pragma once

#include <objc/message.h>

#include <type_traits>

namespace runtime_accessors {

template <typename T>
inline constexpr bool isObjectPointer
    = std::is_pointer_v<T>&& std::is_base_of_v<NSObject, std::remove_cv_t<std::remove_pointer_t<T>>>;

template <typename T> T fromWire(objc::Wire<T> value)
{
    if constexpr (isObjectPointer<T>)
        return dynamicCast<std::remove_cv_t<std::remove_pointer_t<T>>>(value);
    else
        return value;
}

template <typename T> objc::Wire<T> toWire(T value)
{
    if constexpr (isObjectPointer<T>)
        return const_cast<std::remove_cv_t<std::remove_pointer_t<T>>*>(value);
    else
        return value;
}

template <auto setter> struct Setter;
template <typename C, typename T, void (C::*setter)(T)> struct Setter<setter> {
    static void imp(id self, SEL, objc::Wire<T> value) { (static_cast<C*>(self)->*setter)(fromWire<T>(value)); }
};

template <auto getter> struct Getter;
template <typename C, typename R, R (C::*getter)() const> struct Getter<getter> {
    static objc::Wire<R> imp(id self, SEL) { return toWire<R>((static_cast<C*>(self)->*getter)()); }
};

} // namespace runtime_accessors
