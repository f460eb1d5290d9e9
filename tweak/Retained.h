// The extension's process-wide strong references are plain pointers that own one
// retain each. A variable with a destructor would give the library a module
// initialiser of its own (the one that registers the destructor), and the extension
// must have exactly one: its load entry. These variables live until the process ends.
#pragma once

#include <utility>

// Stores `value` in `slot`, retaining it and releasing what the slot held before.
template <typename T> void assignRetained(T*& slot, T* value)
{
    if (slot == value)
        return;
    if (value)
        value->retain();
    if (T* previous = std::exchange(slot, value))
        previous->release();
}
