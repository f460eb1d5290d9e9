#include <CoreFoundation/CFLog.h>

#include "Foundation/Format.h"

#include <Foundation/NSString.h>
#include <platform/Log.h>

#include <cstdarg>

// The device's log keeps the message only, as NSLog's lines; the level decides
// nothing here, since the simulated device shows every level.
void CFLog(int32_t, CFStringRef format, ...)
{
    if (!format)
        return;
    va_list arguments;
    va_start(arguments, format);
    std::string line = platform::formatObjC(format->UTF8String().c_str(), arguments);
    va_end(arguments);
    platform::writeLogLine(std::move(line));
}
