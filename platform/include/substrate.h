// Cydia Substrate's message hook.
#pragma once

#include <objc/runtime.h>
#include <platform/Export.h>

// Replaces the implementation of `selector` on `cls` and stores the one it
// replaces in `*result`. A method the class defines itself is swapped in place.
// A method it only inherits gets an override on `cls` alone, and `*result` then
// holds the superclass's implementation, so calling through reaches it.
// With a nil class or an unknown selector nothing changes and `*result` is null.
PLATFORM_EXPORT void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* result);
