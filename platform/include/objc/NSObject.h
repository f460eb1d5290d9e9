// The root of every object the stand-in platform hands out.
//
// Objects are reference counted intrusively, as on the phone: `retain` and
// `release` move the count, `Ref<T>` is the strong reference that does it for
// you (`NonNullRef<T>` the one that always holds an object), a raw pointer is an
// unretained reference (a captured `self`, a back-pointer to a superview), and
// `WeakRef<T>` (objc/WeakRef.h) a zeroing weak one. `autorelease` hands an
// object to the current autorelease pool, which releases it when the pool is
// popped.
#pragma once

#include <platform/Export.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

typedef struct objc_class* Class;

class NSObject;
class NSString;
typedef NSObject* id;
namespace objc {
template <typename Self, typename Parent> class Subclass;
}
// objc/runtime.h has its values.
enum objc_AssociationPolicy : std::uintptr_t;

#ifndef nil
#define nil nullptr
#endif

class PLATFORM_EXPORT NSObject {
public:
    NSObject();
    virtual ~NSObject();

    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;

    static Class classObject();

    Class isa() const { return isa_; }

    void retain() const;
    void release() const;
    int retainCount() const;

    // Hands the object to the innermost autorelease pool of this thread.
    NSObject* autorelease();

    // Text shown for `%@`; subclasses override it like -description.
    virtual std::string description() const;
    virtual bool isEqual(const NSObject* other) const;
    virtual std::size_t hash() const;
    bool isKindOfClass(Class cls) const;
    bool respondsToSelector(const char* selector) const;

private:
    // Set by `objc::Subclass` while each C++ class of the object is built, and
    // by the runtime after construction for an instance of a runtime-made subclass.
    void setIsa(Class cls) { isa_ = cls; }
    template <typename, typename> friend class objc::Subclass;
    friend NSObject* class_createInstance(Class, std::size_t);
    friend Class object_setClass(id, Class);

    // Retains unless the object is already being deallocated.
    bool tryRetain() const;
    friend id objc_storeWeak(id*, id);
    friend id objc_loadWeakRetained(id*);
    friend void objc_setAssociatedObject(id, const void*, id, objc_AssociationPolicy);

    Class isa_;
    mutable std::atomic<int> retainCount_ { 1 };
    // Set once a weak reference has pointed here: only then does dealloc clear any.
    std::atomic<bool> weaklyReferenced_ { false };
    // Set once an associated object has been attached: only then does dealloc
    // look for any to release.
    std::atomic<bool> hasAssociatedObjects_ { false };
};

namespace objc {

// The base of every C++ class that the runtime knows by name, naming the class
// itself and its C++ parent:
//
//     class UILabel : public objc::Subclass<UILabel, UIView> { … };
//
// Whichever constructor builds the object, it carries Self's runtime class from
// the moment its parent part is built, as Objective-C's `isa` does; none can
// forget to set it and leave the object with its parent's class. Self declares
// `static Class classObject()` and defines it with `objc::registeredClass<Self>`
// (objc/runtime.h), which takes the superclass from Parent. Self's constructors
// name this base to build the parent part: `: Subclass(frame)`.
template <typename Self, typename Parent> class PLATFORM_EXPORT Subclass : public Parent {
public:
    using Super = Parent;

protected:
    template <typename... Args>
    explicit Subclass(Args&&... args)
        : Parent(std::forward<Args>(args)...)
    {
        static_assert(std::is_base_of_v<Subclass, Self>, "Self derives from objc::Subclass<Self, …>");
        this->setIsa(Self::classObject());
    }
};

} // namespace objc

// A strong, nullable reference. Copying retains, destruction releases.
template <typename T> class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) { }
    Ref(T* object)
        : ptr_(object)
    {
        retainIfSet();
    }
    Ref(const Ref& other)
        : ptr_(other.ptr_)
    {
        retainIfSet();
    }
    Ref(Ref&& other) noexcept
        : ptr_(std::exchange(other.ptr_, nullptr))
    {
    }
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(const Ref<U>& other)
        : ptr_(other.get())
    {
        retainIfSet();
    }
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(Ref<U>&& other) noexcept
        : ptr_(other.leak())
    {
    }
    ~Ref() { releaseIfSet(); }

    Ref& operator=(Ref other) noexcept
    {
        std::swap(ptr_, other.ptr_);
        return *this;
    }

    // Takes over a reference the caller already owns (a fresh object's +1).
    static Ref adopt(T* object)
    {
        Ref ref;
        ref.ptr_ = object;
        return ref;
    }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    // Explicit, so that a temporary cannot quietly hand out a pointer that
    // dangles once the statement ends; say `.get()` where a raw pointer is meant.
    explicit operator T*() const { return ptr_; }

    template <typename U> bool operator==(const Ref<U>& other) const { return ptr_ == other.get(); }
    bool operator==(const T* other) const { return ptr_ == other; }
    bool operator==(std::nullptr_t) const { return ptr_ == nullptr; }

    // Gives up ownership without releasing: the caller now owns the +1.
    T* leak() { return std::exchange(ptr_, nullptr); }

private:
    void retainIfSet() const
    {
        if (ptr_)
            ptr_->retain();
    }
    void releaseIfSet() const
    {
        if (ptr_)
            ptr_->release();
    }

    T* ptr_ = nullptr;
};

// Creates a new object owned by the returned reference.
template <typename T, typename... Args> Ref<T> makeRef(Args&&... args)
{
    return Ref<T>::adopt(new T(std::forward<Args>(args)...));
}

// A strong reference that is never nil, for a member that always holds an
// object: it is made from an object, not from a pointer that may be null, and
// nothing empties it (moving one copies it). Copying retains, destruction releases.
template <typename T> class NonNullRef {
public:
    NonNullRef(T& object)
        : ptr_(&object)
    {
        ptr_->retain();
    }
    NonNullRef(const NonNullRef& other)
        : NonNullRef(*other.ptr_)
    {
    }
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    NonNullRef(const NonNullRef<U>& other)
        : NonNullRef(*other.get())
    {
    }
    ~NonNullRef() { ptr_->release(); }

    NonNullRef& operator=(const NonNullRef& other)
    {
        NonNullRef copy(other);
        std::swap(ptr_, copy.ptr_);
        return *this;
    }

    // Takes over a reference the caller already owns (a fresh object's +1).
    static NonNullRef adopt(T& object) { return NonNullRef(object, Adopting {}); }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    operator Ref<T>() const { return Ref<T>(ptr_); }

private:
    struct Adopting {
    };
    NonNullRef(T& object, Adopting)
        : ptr_(&object)
    {
    }

    T* ptr_;
};

// Creates a new object owned by the returned never-nil reference.
template <typename T, typename... Args> NonNullRef<T> makeNonNullRef(Args&&... args)
{
    return NonNullRef<T>::adopt(*new T(std::forward<Args>(args)...));
}

// Downcast that checks the runtime class, like `[obj isKindOfClass:[T class]] ? obj : nil`.
template <typename T> T* dynamicCast(NSObject* object)
{
    return object && object->isKindOfClass(T::classObject()) ? static_cast<T*>(object) : nullptr;
}

template <typename T> Ref<T> dynamicCast(const Ref<NSObject>& object)
{
    return Ref<T>(dynamicCast<T>(object.get()));
}

// Returns an object through the runtime the way a method returns an autoreleased
// result: the caller does not own it, but it lives until the current pool is popped.
template <typename T> T* autoreleased(Ref<T> object)
{
    T* raw = object.leak();
    if (raw)
        raw->autorelease();
    return raw;
}

PLATFORM_EXPORT void* objc_autoreleasePoolPush();
PLATFORM_EXPORT void objc_autoreleasePoolPop(void* pool);

// Pushes a pool for the lifetime of a scope, like `@autoreleasepool { … }`.
class PLATFORM_EXPORT AutoreleasePool {
public:
    AutoreleasePool()
        : token_(objc_autoreleasePoolPush())
    {
    }
    ~AutoreleasePool() { objc_autoreleasePoolPop(token_); }
    AutoreleasePool(const AutoreleasePool&) = delete;
    AutoreleasePool& operator=(const AutoreleasePool&) = delete;

private:
    void* token_;
};
