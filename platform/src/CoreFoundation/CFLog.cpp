#include <CoreFoundation/CFLog.h>

#include <Foundation/NSString.h>
#include <platform/Log.h>

namespace platform {

// The device's log keeps the message only, as NSLog's lines; the level decides
// nothing here, since the simulated device shows every level.
void writeCFLogLine(int32_t, const char* format, std::span<const FormatArgument> arguments)
{
    if (format)
        writeLogLine(formatObjC(format, arguments));
}

void writeCFLogLine(int32_t level, CFStringRef format, std::span<const FormatArgument> arguments)
{
    if (format)
        writeCFLogLine(level, format->UTF8String().c_str(), arguments);
}

} // namespace platform
