// Zeroing weak references: a back-link that reads nil once its target has been
// deallocated, never a dangling pointer (a delegate, a data source, a presenter).
//
// `objc_storeWeak`/`objc_loadWeakRetained` work on a location the runtime
// watches; `WeakRef<T>` owns one such location, and `WeakProtocolRef<P>` holds
// an object through one of its protocols.
#pragma once

#include <objc/NSObject.h>
#include <platform/Export.h>

// Makes `*location` a weak reference to `object` (nil clears it) and answers the object.
PLATFORM_EXPORT id objc_storeWeak(id* location, id object);
// The object `*location` refers to, retained (+1), or nil once it is being deallocated.
PLATFORM_EXPORT id objc_loadWeakRetained(id* location);
// The same, autoreleased into the current pool.
PLATFORM_EXPORT id objc_loadWeak(id* location);

template <typename T> class WeakRef {
public:
    WeakRef() = default;
    WeakRef(T* object) { objc_storeWeak(&slot_, object); }
    WeakRef(const WeakRef& other) { objc_storeWeak(&slot_, other.strong().get()); }
    WeakRef& operator=(const WeakRef& other)
    {
        objc_storeWeak(&slot_, other.strong().get());
        return *this;
    }
    WeakRef& operator=(T* object)
    {
        objc_storeWeak(&slot_, object);
        return *this;
    }
    ~WeakRef() { objc_storeWeak(&slot_, nullptr); }

    // A strong reference for as long as the caller needs the target; nil when it is gone.
    Ref<T> strong() const { return Ref<T>::adopt(static_cast<T*>(objc_loadWeakRetained(&slot_))); }
    // The target without a reference, for a caller on the thread that owns it
    // (UIKit's main thread), where it cannot go away in between.
    T* get() const { return strong().get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    mutable id slot_ = nullptr;
};

namespace objc {
// Raises NSInvalidArgumentException; Foundation defines it.
[[noreturn]] PLATFORM_EXPORT void throwWeakProtocolWithoutObject();
} // namespace objc

template <typename P> class WeakProtocolRef {
public:
    WeakProtocolRef() = default;
    // Protocols are abstract classes here; whoever adopts one must be an object,
    // as `id<Protocol>` is, so that the reference can watch it.
    WeakProtocolRef& operator=(P* protocol)
    {
        auto* object = dynamic_cast<NSObject*>(protocol);
        if (protocol && !object)
            objc::throwWeakProtocolWithoutObject();
        object_ = object;
        protocol_ = protocol;
        return *this;
    }
    P* get() const { return object_.get() ? protocol_ : nullptr; }
    P* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    WeakRef<NSObject> object_;
    P* protocol_ = nullptr;
};
