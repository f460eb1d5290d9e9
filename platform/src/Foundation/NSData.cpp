#include <Foundation/NSData.h>

#include <functional>
#include <string_view>

Class NSData::classObject()
{
    return objc::registeredClass<NSData>("NSData");
}

NSData::NSData(std::vector<std::uint8_t> bytes)
    : bytes_(std::move(bytes))
{
}

Ref<NSData> NSData::data()
{
    return makeRef<NSData>();
}

Ref<NSData> NSData::dataWithBytes(const void* bytes, NSUInteger length)
{
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    return makeRef<NSData>(length ? std::vector<std::uint8_t>(first, first + length) : std::vector<std::uint8_t>());
}

bool NSData::isEqualToData(const NSData* other) const
{
    return other && bytes_ == other->bytes_;
}

Ref<NSData> NSData::copy() const
{
    return Ref<NSData>(const_cast<NSData*>(this));
}

std::string NSData::description() const
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text = "<";
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            text += ' ';
        text += digits[bytes_[i] >> 4];
        text += digits[bytes_[i] & 0xF];
    }
    return text + ">";
}

bool NSData::isEqual(const NSObject* other) const
{
    return isEqualToData(dynamicCast<NSData>(const_cast<NSObject*>(other)));
}

std::size_t NSData::hash() const
{
    return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
}
