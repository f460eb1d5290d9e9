// Property-list files, binary and XML, read and written with libplist.
//
// Reading maps dictionaries, arrays, strings, integers, reals, Booleans, dates and
// data to NSDictionary, NSArray, NSString, NSNumber, NSDate and NSData.
#pragma once

#include <objc/runtime.h>

#include <string>

enum NSPropertyListFormat {
    NSPropertyListXMLFormat_v1_0 = 100,
    NSPropertyListBinaryFormat_v1_0 = 200,
};

namespace NSPropertyListSerialization {

// The root object of the file; nil when it is missing, unreadable or malformed.
Ref<NSObject> propertyListWithContentsOfFile(const std::string& path);

// Writes the file atomically (a temporary file in the same folder, then a rename),
// so a reader sees the old file or the new one, never a half-written one. On
// failure answers false and says why in `error`.
bool writePropertyList(const NSObject* root, const std::string& path, NSPropertyListFormat format,
                       std::string* error = nullptr);

} // namespace NSPropertyListSerialization
