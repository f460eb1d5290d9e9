// Property lists, binary and XML, read and written with libplist.
//
// Reading maps dictionaries, arrays, strings, integers, reals, Booleans, dates and
// data to NSDictionary, NSArray, NSString, NSNumber (numberWithLongLong,
// numberWithDouble, numberWithBool), NSDate and NSData; a keyed archive's UID
// becomes the dictionary {"CF$UID": n} that its XML form spells out.
//
// File paths are device paths ("/var/mobile/…"), resolved under the device root
// (platform/Environment.h), as every file the simulated device reads.
#pragma once

#include <Foundation/NSData.h>
#include <objc/runtime.h>
#include <platform/Export.h>

#include <string>

enum NSPropertyListFormat {
    NSPropertyListXMLFormat_v1_0 = 100,
    NSPropertyListBinaryFormat_v1_0 = 200,
};

namespace NSPropertyListSerialization {

// The root object of a property list in memory, binary or XML; nil when the
// bytes are not a well-formed property list.
PLATFORM_EXPORT Ref<NSObject> propertyListWithData(const NSData* data);

// The root object of the file; nil when it is missing, unreadable, empty,
// truncated or malformed.
PLATFORM_EXPORT Ref<NSObject> propertyListWithContentsOfFile(const std::string& devicePath);

// The bytes of `root` in the given format; nil when the tree holds something a
// property list cannot (then `error` says what and where).
PLATFORM_EXPORT Ref<NSData> dataWithPropertyList(
    const NSObject* root, NSPropertyListFormat format, std::string* error = nullptr);

// Writes the file atomically: the bytes go to a temporary file in the same
// folder, are flushed to the disk, and then renamed over the old file, so a
// reader (or a crash) sees the old file or the new one, never a half-written
// one. Missing folders are created; an existing file keeps its permissions.
// On failure answers false and says why in `error`.
PLATFORM_EXPORT bool writePropertyList(
    const NSObject* root, const std::string& devicePath, NSPropertyListFormat format, std::string* error = nullptr);

} // namespace NSPropertyListSerialization
