#include "ArgumentParsing.h"

#include <cmath>

#include <unicode/utf8.h>

std::optional<double> parseFinite(std::string_view text)
{
    const std::optional<double> value = parseWhole<double>(text);
    return value && std::isfinite(*value) ? value : std::nullopt;
}

CLI::Validator validator(std::string description, std::function<bool(const std::string&)> isValid, std::string error)
{
    return CLI::Validator(
        [isValid = std::move(isValid), error = std::move(error)](
            std::string& value) { return isValid(value) ? std::string() : "'" + value + "' " + error; },
        std::move(description));
}

std::optional<std::size_t> firstNonUTF8Byte(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t offset = 0; offset < length;) {
        const int32_t start = offset;
        UChar32 c;
        U8_NEXT(bytes, offset, length, c);
        if (c < 0)
            return static_cast<std::size_t>(start);
    }
    return std::nullopt;
}
