// NSLog: printf conversions plus %@, each argument checked against its
// conversion (Foundation/FormatString.h). Lines go to the platform's log (platform/Log.h).
#pragma once

#include <Foundation/FormatString.h>
#include <platform/Log.h>

template <platform::Formattable... Args> void NSLog(platform::FormatFor<Args...> format, const Args&... arguments)
{
    platform::writeLogLine(platform::formatObjC(format.text(), platform::formatArguments(arguments...)));
}
