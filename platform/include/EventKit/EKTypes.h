// The small types EventKit's classes share: entity kinds, authorisation states
// and the access completion.
#pragma once

#include <objc/NSObjCRuntime.h>
#include <objc/runtime.h>

#include <functional>

class NSError;

enum EKEntityType : NSUInteger {
    EKEntityTypeEvent = 0,
    EKEntityTypeReminder = 1,
};

enum EKAuthorizationStatus : NSInteger {
    EKAuthorizationStatusNotDetermined = 0,
    EKAuthorizationStatusRestricted = 1,
    EKAuthorizationStatusDenied = 2,
    EKAuthorizationStatusAuthorized = 3,
};

// Receives whether access was granted; the error is always nil here.
typedef std::function<void(BOOL granted, NSError* error)> EKEventStoreRequestAccessCompletionHandler;
