#include <Foundation/NSString.h>

#include <platform/Environment.h>

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <functional>
#include <locale.h>

namespace {

const char* skipSpace(const char* p)
{
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
        ++p;
    return p;
}

// Reads an optional sign and the digits after it, saturating at the type's limits
// like Foundation's scanner; anything after the digits is ignored.
long long scanInteger(const std::string& text, long long min, long long max)
{
    const char* p = skipSpace(text.c_str());
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    const unsigned long long cap
        = negative ? static_cast<unsigned long long>(max) + 1 : static_cast<unsigned long long>(max);
    unsigned long long magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        if (magnitude > (cap - digit) / 10)
            return negative ? min : max;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative)
        return static_cast<long long>(magnitude);
    return magnitude == cap ? min : -static_cast<long long>(magnitude);
}

// UTF-8 byte offset of the given UTF-16 index.
size_t byteOffsetOfUtf16Index(const std::string& text, NSUInteger index)
{
    NSUInteger units = 0;
    size_t i = 0;
    while (i < text.size() && units < index) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        units += bytes == 4 ? 2 : 1;
        i += bytes;
    }
    return std::min(i, text.size());
}

bool returnsBool(id self, SEL)
{
    return static_cast<NSString*>(self)->boolValue();
}
int returnsInt(id self, SEL)
{
    return static_cast<NSString*>(self)->intValue();
}
NSInteger returnsInteger(id self, SEL)
{
    return static_cast<NSString*>(self)->integerValue();
}
double returnsDouble(id self, SEL)
{
    return static_cast<NSString*>(self)->doubleValue();
}
NSUInteger returnsLength(id self, SEL)
{
    return static_cast<NSString*>(self)->length();
}

} // namespace

Class NSString::classObject()
{
    return objc::registeredClass<NSString>("NSString", [](Class c) {
        objc::addMethod(c, "boolValue", &returnsBool);
        objc::addMethod(c, "intValue", &returnsInt);
        objc::addMethod(c, "integerValue", &returnsInteger);
        objc::addMethod(c, "doubleValue", &returnsDouble);
        objc::addMethod(c, "length", &returnsLength);
    });
}

NSString::NSString(std::string utf8)
    : text_(std::move(utf8))
{
}

Ref<NSString> NSString::string(std::string_view utf8)
{
    return makeRef<NSString>(std::string(utf8));
}

NSUInteger NSString::length() const
{
    NSUInteger units = 0;
    for (unsigned char byte : text_) {
        if ((byte & 0xC0) != 0x80)
            units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool NSString::isEqualToString(const NSString* other) const
{
    return other && text_ == other->text_;
}

bool NSString::hasPrefix(std::string_view prefix) const
{
    return std::string_view(text_).substr(0, prefix.size()) == prefix;
}

NSRange NSString::rangeOfString(std::string_view needle) const
{
    const size_t at = needle.empty() ? std::string::npos : text_.find(needle);
    if (at == std::string::npos)
        return { NSNotFound, 0 };
    const NSUInteger location = NSString(text_.substr(0, at)).length();
    return { location, NSString(std::string(needle)).length() };
}

Ref<NSString> NSString::substringToIndex(NSUInteger utf16Index) const
{
    return string(text_.substr(0, byteOffsetOfUtf16Index(text_, utf16Index)));
}

Ref<NSString> NSString::stringByReplacingOccurrencesOfString(
    std::string_view target, std::string_view replacement) const
{
    if (target.empty())
        return copy();
    std::string result;
    size_t from = 0;
    for (size_t at; (at = text_.find(target, from)) != std::string::npos; from = at + target.size()) {
        result.append(text_, from, at - from);
        result.append(replacement);
    }
    result.append(text_, from);
    return string(result);
}

Ref<NSString> NSString::uppercaseString() const
{
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(text_);
    text.toUpper(icu::Locale(platform::currentLocaleIdentifier().c_str()));
    std::string upper;
    text.toUTF8String(upper);
    return string(upper);
}

bool NSString::boolValue() const
{
    // Foundation: YES on "Y", "y", "T", "t" or a digit 1-9 after white space, an
    // optional sign and leading zeros; NO otherwise.
    const char* p = skipSpace(text_.c_str());
    if (*p == '+' || *p == '-')
        ++p;
    while (*p == '0')
        ++p;
    return *p == 'Y' || *p == 'y' || *p == 'T' || *p == 't' || (*p >= '1' && *p <= '9');
}

int NSString::intValue() const
{
    return static_cast<int>(scanInteger(text_, INT_MIN, INT_MAX));
}

NSInteger NSString::integerValue() const
{
    return static_cast<NSInteger>(scanInteger(text_, LONG_MIN, LONG_MAX));
}

long long NSString::longLongValue() const
{
    return scanInteger(text_, LLONG_MIN, LLONG_MAX);
}

double NSString::doubleValue() const
{
    // Decimal text only, whatever the process's C locale: no hex, "inf" or "nan".
    const char* p = skipSpace(text_.c_str());
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    const char* end = p;
    auto skipDigits = [&end] {
        const char* from = end;
        while (*end >= '0' && *end <= '9')
            ++end;
        return end != from;
    };
    bool digits = skipDigits();
    if (*end == '.') {
        ++end;
        digits = skipDigits() || digits;
    }
    if (!digits)
        return 0.0;
    if (*end == 'e' || *end == 'E') {
        const char* mantissaEnd = end++;
        if (*end == '+' || *end == '-')
            ++end;
        if (!skipDigits())
            end = mantissaEnd;
    }
    // Out of range answers HUGE_VAL or 0, as Foundation does.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const double value = strtod_l(std::string(p, end).c_str(), nullptr, cLocale);
    return negative ? -value : value;
}

Ref<NSString> NSString::copy() const
{
    return Ref<NSString>(const_cast<NSString*>(this));
}

bool NSString::isEqual(const NSObject* other) const
{
    auto* string = dynamicCast<NSString>(const_cast<NSObject*>(other));
    return string && string->text_ == text_;
}

std::size_t NSString::hash() const
{
    return std::hash<std::string>()(text_);
}

Class NSMutableString::classObject()
{
    return objc::registeredClass<NSMutableString>("NSMutableString");
}

NSMutableString::NSMutableString(std::string utf8)
    : Subclass(std::move(utf8))
{
}

void NSMutableString::appendString(std::string_view utf8)
{
    text_.append(utf8);
}

void NSMutableString::setString(std::string_view utf8)
{
    text_.assign(utf8);
}

Ref<NSString> NSMutableString::copy() const
{
    return NSString::string(text_);
}
