#include "PropertyListJSON.h"

#include "IsoTime.h"

#include <Foundation/NSArray.h>
#include <Foundation/NSData.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSString.h>
#include <Foundation/NSValue.h>

namespace {

std::string base64(const std::uint8_t* bytes, std::size_t length)
{
    static constexpr char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < length; i += 3) {
        const std::size_t taken = std::min<std::size_t>(3, length - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j)
            group = group << 8 | (j < taken ? bytes[i + j] : 0);
        for (std::size_t j = 0; j < 4; ++j)
            text += j <= taken ? digits[group >> (18 - 6 * j) & 63] : '=';
    }
    return text;
}

template <typename T> T* as(const NSObject* value)
{
    return dynamicCast<T>(const_cast<NSObject*>(value));
}

} // namespace

nlohmann::ordered_json propertyListJSON(const NSObject* value)
{
    if (!value)
        return nullptr;
    if (auto* number = as<NSNumber>(value)) {
        if (number->isBoolean())
            return number->boolValue();
        if (number->isFloatingPoint())
            return number->doubleValue();
        return number->longLongValue();
    }
    if (auto* string = as<NSString>(value))
        return string->UTF8String();
    if (auto* date = as<NSDate>(value))
        return isoTime(date, NSTimeZone::timeZoneWithName("UTC").get());
    if (auto* data = as<NSData>(value))
        return base64(data->bytes(), data->length());
    if (auto* array = as<NSArray>(value)) {
        nlohmann::ordered_json items = nlohmann::ordered_json::array();
        for (NSUInteger i = 0; i < array->count(); ++i)
            items.push_back(propertyListJSON(array->objectAtIndex(i)));
        return items;
    }
    if (auto* dictionary = as<NSDictionary>(value)) {
        nlohmann::ordered_json entries = nlohmann::ordered_json::object();
        for (const auto& [key, item] : dictionary->entries())
            entries[key->description()] = propertyListJSON(item.get());
        return entries;
    }
    return value->description();
}

std::string propertyListLine(const NSObject* value)
{
    return propertyListJSON(value).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
