// The extension's settings as they stand in the loaded library, read field by
// field by name, so that SpringBoard never links the extension.
#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct SettingsRecord {
    // Colours as red, green, blue, alpha; nil before the first load.
    using Colour = std::optional<std::array<double, 4>>;
    using Value = std::variant<bool, long long, Colour, std::string>;

    std::vector<std::pair<std::string, Value>> fields;

    // Reads all 26 fields, in the order the extension loads them. CommandError when
    // the library lacks one.
    static SettingsRecord read(void* library);

    // One "name  value" line per field.
    std::string text() const;
    // Keys are the field names; Booleans, numbers, [r, g, b, a] and a string.
    nlohmann::ordered_json json() const;
};
