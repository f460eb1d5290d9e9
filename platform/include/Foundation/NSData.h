// NSData: an immutable buffer of bytes, as property lists' data values hold.
#pragma once

#include <objc/NSObjCRuntime.h>
#include <objc/runtime.h>
#include <platform/Export.h>

#include <cstdint>
#include <string>
#include <vector>

class PLATFORM_EXPORT NSData : public objc::Subclass<NSData, NSObject> {
public:
    static Class classObject();

    NSData() = default;
    explicit NSData(std::vector<std::uint8_t> bytes);

    static Ref<NSData> data();
    static Ref<NSData> dataWithBytes(const void* bytes, NSUInteger length);

    NSUInteger length() const { return bytes_.size(); }
    const std::uint8_t* bytes() const { return bytes_.data(); }
    const std::vector<std::uint8_t>& byteVector() const { return bytes_; }
    bool isEqualToData(const NSData* other) const;
    // Immutable: a copy is the same object.
    Ref<NSData> copy() const;

    // "<0102abcd 0e>": lower-case hex in groups of four bytes, as Foundation prints data.
    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    std::size_t hash() const override;

private:
    std::vector<std::uint8_t> bytes_;
};
