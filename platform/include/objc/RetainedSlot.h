// A process-wide strong reference that needs no code to set up or tear down.
// A variable with a destructor gives its library a module initialiser (the one
// that registers the destructor), and an extension must have exactly one: its
// load entry. So a slot owns one retain of what it holds, takes and gives it back
// on assignment, and has no destructor: what it holds when the process ends is
// never released, as on the phone.
#pragma once

#include <type_traits>
#include <utility>

template <typename T> class RetainedSlot {
public:
    constexpr RetainedSlot() = default;
    RetainedSlot(const RetainedSlot&) = delete;
    RetainedSlot& operator=(const RetainedSlot&) = delete;

    // Holds `object`, retaining it and releasing what the slot held before.
    RetainedSlot& operator=(T* object)
    {
        if (object == object_)
            return *this;
        if (object)
            object->retain();
        if (T* previous = std::exchange(object_, object))
            previous->release();
        return *this;
    }

    // Read as the plain pointer it is: the slot outlives every reader.
    operator T*() const { return object_; }
    T* operator->() const { return object_; }

private:
    T* object_ = nullptr;
};

static_assert(std::is_trivially_destructible_v<RetainedSlot<int>>);
