// CoreFoundation's levelled log: the same line as NSLog, with a level first.
#pragma once

#include <CoreFoundation/CFBase.h>

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

void CFLog(int32_t level, CFStringRef format, ...);
