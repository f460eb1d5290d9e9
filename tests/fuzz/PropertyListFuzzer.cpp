// Property-list bytes, binary or XML, through the reader, every value read back
// as the extension reads values (the lenient number readings of strings, the
// conversions of numbers), and the tree written again in both formats. The same
// bytes are also read as one string's numeric value.
#include "FuzzSupport.h"

#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSValue.h>

namespace {

// Deeper trees are read but not walked: the walk recurses.
constexpr int maxDepth = 64;

void readString(const NSString& string)
{
    (void)string.boolValue();
    (void)string.intValue();
    (void)string.integerValue();
    (void)string.longLongValue();
    (void)string.doubleValue();
    const NSUInteger length = string.length();
    (void)string.substringToIndex(length / 2);
    (void)string.uppercaseString();
}

void readNumber(const NSNumber& number)
{
    (void)number.boolValue();
    (void)number.intValue();
    (void)number.integerValue();
    (void)number.longLongValue();
    (void)number.unsignedLongLongValue();
    (void)number.doubleValue();
    (void)number.stringValue();
}

void walk(NSObject* object, int depth)
{
    if (!object || depth > maxDepth)
        return;
    if (const auto* string = dynamicCast<NSString>(object))
        readString(*string);
    else if (const auto* number = dynamicCast<NSNumber>(object))
        readNumber(*number);
    else if (const auto* array = dynamicCast<NSArray>(object))
        for (const Ref<NSObject>& element : *array)
            walk(element.get(), depth + 1);
    else if (const auto* dictionary = dynamicCast<NSDictionary>(object)) {
        const Ref<NSArray> keys = dictionary->allKeys();
        for (const Ref<NSObject>& key : *keys) {
            walk(key.get(), depth + 1);
            walk(dictionary->objectForKey(key.get()), depth + 1);
        }
    }
}

void writeAndReadBack(const NSObject* root)
{
    for (NSPropertyListFormat format : { NSPropertyListXMLFormat_v1_0, NSPropertyListBinaryFormat_v1_0 })
        if (const Ref<NSData> written = NSPropertyListSerialization::dataWithPropertyList(root, format))
            (void)NSPropertyListSerialization::propertyListWithData(written.get());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::warmUp("<plist><dict><key>a</key><string>b</string></dict></plist>");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    readString(*NSString::string(fuzzing::asText(data, size)));
    const Ref<NSData> bytes = NSData::dataWithBytes(data, size);
    const Ref<NSObject> root = NSPropertyListSerialization::propertyListWithData(bytes.get());
    walk(root.get(), 0);
    if (root) {
        (void)root->description();
        writeAndReadBack(root.get());
    }
    return 0;
}
