// CoreFoundation's Darwin notification centre: names only, no objects or user
// information, delivered to every observer of the device, in this process and in
// every other process booted on the same device root (platform::deviceRoot()).
//
// Deliveries always arrive later, on the receiving process's main run loop
// (CFRunLoop.h), never inside the post. Like the phone's notify system, the
// centre coalesces: a name posted several times before its observers have run
// is delivered once. A process starts listening to other processes when its first
// observer is added, on the device root current then; when the root changes, the
// next pass of the main run loop moves it to the new root.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <platform/Export.h>

typedef struct __CFNotificationCenter* CFNotificationCenterRef;

typedef void (*CFNotificationCallback)(
    CFNotificationCenterRef center, void* observer, CFStringRef name, const void* object, CFDictionaryRef userInfo);

// Accepted for compatibility; the Darwin centre coalesces whatever is asked.
enum CFNotificationSuspensionBehavior : CFIndex {
    CFNotificationSuspensionBehaviorDrop = 1,
    CFNotificationSuspensionBehaviorCoalesce = 2,
    CFNotificationSuspensionBehaviorHold = 3,
    CFNotificationSuspensionBehaviorDeliverImmediately = 4,
};

PLATFORM_EXPORT CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter();

// Registers `callback` for `name` (which must not be null; the Darwin centre has
// no "every name"). Registering the same observer, callback and name again
// changes nothing. `object` is ignored, as on the Darwin centre.
PLATFORM_EXPORT void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
    CFNotificationCallback callback, CFStringRef name, const void* object,
    CFNotificationSuspensionBehavior suspensionBehavior);
// Removes the observer's registrations for `name`, or for every name when null.
PLATFORM_EXPORT void CFNotificationCenterRemoveObserver(
    CFNotificationCenterRef center, const void* observer, CFStringRef name, const void* object);
PLATFORM_EXPORT void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef center, const void* observer);
// Posts `name` to the observers of this process and of every other process on
// the device root. `object`, `userInfo` and `deliverImmediately` are ignored.
PLATFORM_EXPORT void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFStringRef name,
    const void* object, CFDictionaryRef userInfo, Boolean deliverImmediately);
