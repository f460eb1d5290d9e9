// CoreFoundation's levelled log: the format is NSLog's (printf conversions plus
// %@, each argument checked against its conversion, see Foundation/FormatString.h), and
// the line goes to the same log (platform/Log.h).
#pragma once

#include <CoreFoundation/CFBase.h>
#include <Foundation/FormatString.h>
#include <platform/Export.h>

#include <span>

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

namespace platform {
// Writes the line of a CFLog call; nothing for a null format.
PLATFORM_EXPORT void writeCFLogLine(int32_t level, const char* format, std::span<const FormatArgument> arguments);
PLATFORM_EXPORT void writeCFLogLine(int32_t level, CFStringRef format, std::span<const FormatArgument> arguments);
} // namespace platform

// A format written in the source, as CFSTR("…") is on the phone: checked when compiled.
template <platform::Formattable... Args>
void CFLog(int32_t level, platform::FormatFor<Args...> format, const Args&... arguments)
{
    platform::writeCFLogLine(level, format.text(), platform::formatArguments(arguments...));
}

// A CFString made at run time: checked as the line is written.
template <platform::Formattable... Args> void CFLog(int32_t level, CFStringRef format, const Args&... arguments)
{
    platform::writeCFLogLine(level, format, platform::formatArguments(arguments...));
}
