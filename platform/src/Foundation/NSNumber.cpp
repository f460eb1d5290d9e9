#include <Foundation/NSValue.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <functional>

namespace {

bool returnsBool(id self, SEL)
{
    return static_cast<NSNumber*>(self)->boolValue();
}
int returnsInt(id self, SEL)
{
    return static_cast<NSNumber*>(self)->intValue();
}
NSInteger returnsInteger(id self, SEL)
{
    return static_cast<NSNumber*>(self)->integerValue();
}
double returnsDouble(id self, SEL)
{
    return static_cast<NSNumber*>(self)->doubleValue();
}

// A double converts to an integer by truncation; out-of-range values saturate
// instead of being undefined.
long long truncateToLongLong(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2233720368547758e18)
        return LLONG_MAX;
    if (value <= -9.2233720368547758e18)
        return LLONG_MIN;
    return static_cast<long long>(value);
}

} // namespace

Class NSNumber::classObject()
{
    return objc::registeredClass<NSNumber>("NSNumber", [](Class c) {
        objc::addMethod(c, "boolValue", &returnsBool);
        objc::addMethod(c, "intValue", &returnsInt);
        objc::addMethod(c, "integerValue", &returnsInteger);
        objc::addMethod(c, "doubleValue", &returnsDouble);
    });
}

NSNumber::NSNumber(Value value)
    : value_(value)
{
}

Ref<NSNumber> NSNumber::numberWithBool(bool value)
{
    return makeRef<NSNumber>(Value(value));
}

Ref<NSNumber> NSNumber::numberWithInteger(NSInteger value)
{
    return makeRef<NSNumber>(Value(static_cast<long long>(value)));
}

Ref<NSNumber> NSNumber::numberWithLongLong(long long value)
{
    return makeRef<NSNumber>(Value(value));
}

Ref<NSNumber> NSNumber::numberWithUnsignedLongLong(unsigned long long value)
{
    return makeRef<NSNumber>(Value(value));
}

Ref<NSNumber> NSNumber::numberWithDouble(double value)
{
    return makeRef<NSNumber>(Value(value));
}

bool NSNumber::boolValue() const
{
    return std::visit([](auto v) { return v != 0; }, value_);
}

int NSNumber::intValue() const
{
    // Foundation keeps an integer's low 32 bits (4294967297 reads as 1), but
    // clamps a floating-point value to the int range.
    const long long value = longLongValue();
    if (isFloatingPoint())
        return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
    return static_cast<int>(static_cast<unsigned int>(value));
}

NSInteger NSNumber::integerValue() const
{
    return static_cast<NSInteger>(longLongValue());
}

long long NSNumber::longLongValue() const
{
    if (auto* d = std::get_if<double>(&value_))
        return truncateToLongLong(*d);
    if (auto* u = std::get_if<unsigned long long>(&value_))
        return static_cast<long long>(*u);
    if (auto* b = std::get_if<bool>(&value_))
        return *b ? 1 : 0;
    return std::get<long long>(value_);
}

unsigned long long NSNumber::unsignedLongLongValue() const
{
    if (auto* u = std::get_if<unsigned long long>(&value_))
        return *u;
    return static_cast<unsigned long long>(longLongValue());
}

double NSNumber::doubleValue() const
{
    return std::visit([](auto v) { return static_cast<double>(v); }, value_);
}

Ref<NSString> NSNumber::stringValue() const
{
    return NSString::string(description());
}

std::string NSNumber::description() const
{
    if (auto* d = std::get_if<double>(&value_)) {
        // The shortest text that reads back as the same double: 0.1 prints "0.1".
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, *d);
        return std::string(buffer, result.ptr);
    }
    if (auto* u = std::get_if<unsigned long long>(&value_))
        return std::to_string(*u);
    return std::to_string(longLongValue());
}

bool NSNumber::isEqual(const NSObject* other) const
{
    auto* number = dynamicCast<NSNumber>(const_cast<NSObject*>(other));
    if (!number)
        return false;
    if (isFloatingPoint() || number->isFloatingPoint())
        return doubleValue() == number->doubleValue();
    return longLongValue() == number->longLongValue();
}

std::size_t NSNumber::hash() const
{
    return std::hash<double>()(doubleValue());
}
