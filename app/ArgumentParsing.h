// Reading the command line's values: numbers written whole, and the checks that
// turn a bad value into one line naming it.
#pragma once

#include <CLI/CLI.hpp>

#include <charconv>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A number that is all of `text`, as std::from_chars reads it: "12", "-12.5",
// "ff" in base 16. Nothing for anything else, a partial read or an overflow.
template <typename T> std::optional<T> parseWhole(std::string_view text, int base = 10)
{
    T value {};
    const char* end = text.data() + text.size();
    std::from_chars_result result;
    if constexpr (std::is_floating_point_v<T>)
        result = std::from_chars(text.data(), end, value);
    else
        result = std::from_chars(text.data(), end, value, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

// A finite number written whole.
std::optional<double> parseFinite(std::string_view text);

// Where `text` stops being UTF-8: the offset of the first byte that is not part
// of a character, or nothing when all of it is.
std::optional<std::size_t> firstNonUTF8Byte(std::string_view text);

// A check for an option: `isValid` decides, and a value it refuses is reported
// as "'VALUE' <error>". `description` names what the option takes in --help.
CLI::Validator validator(std::string description, std::function<bool(const std::string&)> isValid, std::string error);
