// NSLog: printf conversions plus %@. Lines go to the platform's log (platform/Log.h).
#pragma once

#include <platform/Export.h>
PLATFORM_EXPORT void NSLog(const char* format, ...);
