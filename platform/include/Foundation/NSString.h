// NSString: immutable text, stored as UTF-8; lengths and ranges count UTF-16
// code units as on the phone. NSMutableString is the editable kind.
#pragma once

#include <Foundation/FormatString.h>
#include <Foundation/NSRange.h>
#include <objc/NSObjCRuntime.h>
#include <objc/runtime.h>
#include <platform/Export.h>

#include <string>
#include <string_view>

class PLATFORM_EXPORT NSString : public objc::Subclass<NSString, NSObject> {
public:
    static Class classObject();

    NSString() = default;
    explicit NSString(std::string utf8);

    static Ref<NSString> string(std::string_view utf8 = {});
    // printf conversions plus %@, which prints an object's description; each
    // argument is checked against its conversion (Foundation/FormatString.h).
    template <platform::Formattable... Args>
    static Ref<NSString> stringWithFormat(platform::FormatFor<Args...> format, const Args&... arguments)
    {
        return makeRef<NSString>(platform::formatObjC(format.text(), platform::formatArguments(arguments...)));
    }

    const std::string& UTF8String() const { return text_; }
    // The number of UTF-16 code units.
    NSUInteger length() const;
    bool isEqualToString(const NSString* other) const;
    bool hasPrefix(std::string_view prefix) const;
    NSRange rangeOfString(std::string_view needle) const;
    Ref<NSString> substringToIndex(NSUInteger utf16Index) const;
    Ref<NSString> stringByReplacingOccurrencesOfString(std::string_view target, std::string_view replacement) const;
    // Upper case by the rules of the current locale.
    Ref<NSString> uppercaseString() const;

    // Foundation's lenient readings: leading white space and a sign are skipped,
    // digits are read until the first other character (" 12abc" is 12).
    bool boolValue() const;
    int intValue() const;
    NSInteger integerValue() const;
    long long longLongValue() const;
    double doubleValue() const;

    // An immutable string copies as itself; a mutable one as a new immutable string.
    virtual Ref<NSString> copy() const;

    std::string description() const override { return text_; }
    bool isEqual(const NSObject* other) const override;
    std::size_t hash() const override;

protected:
    std::string text_;
};

class PLATFORM_EXPORT NSMutableString : public objc::Subclass<NSMutableString, NSString> {
public:
    static Class classObject();

    NSMutableString() = default;
    explicit NSMutableString(std::string utf8);

    void appendString(std::string_view utf8);
    void setString(std::string_view utf8);
    Ref<NSString> copy() const override;
};

// A string constant, like @"…" in Objective-C.
inline Ref<NSString> operator""_ns(const char* text, std::size_t length)
{
    return NSString::string(std::string_view(text, length));
}
