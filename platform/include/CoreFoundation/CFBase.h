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
