// The small types EventKit's classes share: entity kinds, authorisation states,
// the calendar storage and the access completion.
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

// How the platform keeps the calendars between stores; the host chooses.
enum class EKCalendarStorage {
    // Parsed once for the process and kept up to date with the files.
    Memory,
    // Kept in a persistent index on disk that later processes share; each
    // store reads again only the files that changed.
    Index,
};

// Receives whether access was granted; the error is always nil here.
typedef std::function<void(BOOL granted, NSError* error)> EKEventStoreRequestAccessCompletionHandler;
