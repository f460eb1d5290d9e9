// NSLog: printf conversions plus %@. Lines go to the platform's log (platform/Log.h).
#pragma once

void NSLog(const char* format, ...);
