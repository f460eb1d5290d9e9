// The loaded extension's settings as the settings command prints them.
#pragma once

#include <UIKit/UIColor.h>

#include <nlohmann/json.hpp>

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// What each swipe action and icon type code means, by code.
inline constexpr const char* swipeActionMeanings[]
    = { "no action", "open the event in Calendar", "open the day in Fantastical", "launch the configured application" };
inline constexpr const char* iconTypeMeanings[] = { "no icon", "small dot", "large dot", "calendar page" };

std::array<double, 4> rgbaOf(const UIColor* color);
// The name `settings` prints for a colour the settings can hold ("dark grey",
// "lavender grey"); empty for any other.
std::string colorName(const std::array<double, 4>& rgba);

struct SettingsRecord {
    // Colours as red, green, blue, alpha; nil before the first load.
    using Color = std::optional<std::array<double, 4>>;
    // A code with what it means, such as 1 "small dot".
    struct Code {
        long long value;
        const char* meaning;
    };
    using Value = std::variant<bool, long long, Code, Color, std::string>;

    std::vector<std::pair<std::string, Value>> fields;

    // Reads all 26 fields from the loaded extension, in the order it loads them.
    // CommandError when no loaded library has its settings class.
    static SettingsRecord read();

    // One "name  value" line per field.
    std::string text() const;
    // Keys are the field names; Booleans, numbers, [r, g, b, a] and a string.
    nlohmann::ordered_json json() const;
};
