// CoreFoundation's levelled log: the format is NSLog's (printf conversions plus
// %@), and the line goes to the same log (platform/Log.h).
#pragma once

#include <CoreFoundation/CFBase.h>
#include <platform/Export.h>

enum : int32_t {
    kCFLogLevelEmergency = 0,
    kCFLogLevelAlert = 1,
    kCFLogLevelCritical = 2,
    kCFLogLevelError = 3,
    kCFLogLevelWarning = 4,
    kCFLogLevelNotice = 5,
    kCFLogLevelInfo = 6,
    kCFLogLevelDebug = 7,
};

PLATFORM_EXPORT void CFLog(int32_t level, CFStringRef format, ...);
