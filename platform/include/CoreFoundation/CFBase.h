// CoreFoundation's basic types. CF strings and dictionaries are the Foundation
// objects themselves, as with toll-free bridging on the phone.
#pragma once

#include <cstdint>

class NSString;
class NSDictionary;

typedef long CFIndex;
typedef unsigned char Boolean;
typedef const NSString* CFStringRef;
typedef const NSDictionary* CFDictionaryRef;
typedef double CFTimeInterval;
// Seconds since 2001-01-01 00:00:00 UTC, on the platform's clock.
typedef double CFAbsoluteTime;
inline constexpr CFTimeInterval kCFAbsoluteTimeIntervalSince1970 = 978307200.0;
