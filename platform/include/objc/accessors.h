// Method implementations for the runtime made from C++ accessors, so that a
// class answers its property selectors as declared properties do on the phone:
// `objc::addMethod(cls, "title", &objc::Getter<&DGLEKEVent::title>::imp)`.
//
// Objects travel as `id`; a setter handed an object of the wrong class stores nil.
// A getter answers its object unretained, as a plain property getter does.
#pragma once

#include <objc/message.h>

namespace objc {

template <typename T> T fromWire(Wire<T> value)
{
    if constexpr (IsObjectPointer<T>::value)
        return dynamicCast<std::remove_cv_t<std::remove_pointer_t<T>>>(value);
    else
        return value;
}

template <typename T> Wire<T> toWire(T value)
{
    if constexpr (IsObjectPointer<T>::value)
        return const_cast<std::remove_cv_t<std::remove_pointer_t<T>>*>(value);
    else
        return value;
}

template <auto setter> struct Setter;
template <typename C, typename T, void (C::*setter)(T)> struct Setter<setter> {
    static void imp(id self, SEL, Wire<T> value) { (static_cast<C*>(self)->*setter)(fromWire<T>(value)); }
};

template <auto getter> struct Getter;
template <typename C, typename R, R (C::*getter)() const> struct Getter<getter> {
    static Wire<R> imp(id self, SEL) { return toWire<R>((static_cast<C*>(self)->*getter)()); }
};

} // namespace objc
