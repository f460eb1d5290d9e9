// NSNumber: a boxed Boolean, integer or floating-point number.
#pragma once

#include <Foundation/NSString.h>
#include <platform/Export.h>

#include <cstdint>
#include <variant>

class PLATFORM_EXPORT NSNumber : public objc::Subclass<NSNumber, NSObject> {
public:
    static Class classObject();

    static Ref<NSNumber> numberWithBool(bool value);
    static Ref<NSNumber> numberWithInteger(NSInteger value);
    static Ref<NSNumber> numberWithLongLong(long long value);
    static Ref<NSNumber> numberWithUnsignedLongLong(unsigned long long value);
    static Ref<NSNumber> numberWithDouble(double value);

    bool isBoolean() const { return std::holds_alternative<bool>(value_); }
    bool isFloatingPoint() const { return std::holds_alternative<double>(value_); }

    bool boolValue() const;
    // An integer keeps its low 32 bits, as Foundation does; a floating-point
    // value is truncated toward zero and clamped to the int range.
    int intValue() const;
    // These truncate a floating-point value toward zero and saturate.
    NSInteger integerValue() const;
    long long longLongValue() const;
    unsigned long long unsignedLongLongValue() const;
    double doubleValue() const;
    Ref<NSString> stringValue() const;

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    std::size_t hash() const override;

    using Value = std::variant<bool, long long, unsigned long long, double>;
    explicit NSNumber(Value value);

private:
    Value value_;
};
