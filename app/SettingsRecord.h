// The extension's settings as they stand in the loaded library, reached by name,
// so that SpringBoard never links the extension, and typed as the extension
// declares them.
#pragma once

#include "Command.h"

#include <tweak/TweakSettings.h>

#include <nlohmann/json.hpp>

#include <dlfcn.h>

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// The variable named `symbol` in the loaded library, of the type T the extension
// gives it. CommandError when the library lacks it.
template <typename T> T& extensionVariable(void* library, const char* symbol)
{
    void* address = dlsym(library, symbol);
    if (!address)
        throw CommandError(std::string("the loaded extension has no setting named ") + symbol);
    return *static_cast<T*>(address);
}

// One setting of the loaded extension, by its variable's name: `DAYGLASS_EXTENSION_SETTING(library, daysToDisplay) =
// 7`.
#define DAYGLASS_EXTENSION_SETTING(library, symbol) extensionVariable<decltype(::symbol)>(library, #symbol)

// What each swipe action and icon type code means, by code.
inline constexpr const char* swipeActionMeanings[]
    = { "no action", "open the event in Calendar", "open the day in Fantastical", "launch the configured application" };
inline constexpr const char* iconTypeMeanings[] = { "no icon", "small dot", "large dot", "calendar page" };

std::array<double, 4> rgbaOf(const UIColor* colour);
// The name `settings` prints for a colour the settings can hold ("dark grey",
// "lavender grey"); empty for any other.
std::string colourName(const std::array<double, 4>& rgba);

struct SettingsRecord {
    // Colours as red, green, blue, alpha; nil before the first load.
    using Colour = std::optional<std::array<double, 4>>;
    // A code with what it means, such as 1 "small dot".
    struct Code {
        long long value;
        const char* meaning;
    };
    using Value = std::variant<bool, long long, Code, Colour, std::string>;

    std::vector<std::pair<std::string, Value>> fields;

    // Reads all 26 fields, in the order the extension loads them. CommandError when
    // the library lacks one.
    static SettingsRecord read(void* library);

    // One "name  value" line per field.
    std::string text() const;
    // Keys are the field names; Booleans, numbers, [r, g, b, a] and a string.
    nlohmann::ordered_json json() const;
};
