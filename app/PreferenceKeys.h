// What the settings pane knows of the extension's preference file: its keys from
// the extension's own settings table, the values a pane offers for each, and
// how a typed value becomes the value stored.
#pragma once

#include <objc/runtime.h>
#include <schema/SettingsTable.h>

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The most events a settings pane offers for maxEventsToDisplay (0: no limit).
inline constexpr long long mostEventsOffered = 1000;

// How a value is stored in the file.
enum class PreferenceKind {
    Boolean,
    Integer, // sizes, counts, codes and colour codes
    String,
};

// "Boolean", "integer", "string".
const char* preferenceKindName(PreferenceKind kind);

struct PreferenceKey {
    std::string_view name;
    // The extension's variable that the key fills ("isEnabled" for "enabled").
    std::string_view symbol;
    SettingKind setting;
    PreferenceKind kind;
    // Colour keys only: how the extension reads the code.
    const ColorCodes* colors;
    // What an absent key means, as `prefs keys` shows it.
    std::string defaultText;
};

// In the order the extension reads them.
std::span<const PreferenceKey> preferenceKeys();
// Null for a key the extension does not read.
const PreferenceKey* findPreferenceKey(std::string_view name);
// The key, else a UsageError that says what was probably meant.
const PreferenceKey& knownPreferenceKey(std::string_view name);
// "groupByDays, customLSTimeoutEnabled, …".
std::string knownPreferenceKeys();
// What a settings pane offers for a key: whole numbers in a range, or a choice
// of named values (the colours of its colour codes, the icon types), or, for a
// switch and a text, neither.
struct OfferedValues {
    struct Range {
        long long lowest;
        long long highest;
        // " points", " days", …
        const char* unit;
    };
    struct Choice {
        // As `prefs set` takes it and the file stores it: "3", "DOT".
        std::string value;
        // "white", "small dot".
        std::string name;
        // A colour's red, green, blue and alpha.
        std::optional<std::array<double, 4>> rgba;
    };
    std::optional<Range> range;
    std::vector<Choice> choices;
};
OfferedValues offeredValues(const PreferenceKey& key);
// The same in words, such as "1 to 200 points".
std::string allowedValues(const PreferenceKey& key);

// How VALUE of `prefs set` is stored: as the pane would store it, or as asked.
enum class ValueType { Pane, Integer, Boolean, String };

// The value to store for a key, from the command-line text. UsageError for text
// that the pane would not offer ("maybe" for a switch, "-5" for a text size,
// bytes that are not UTF-8), saying what the key takes.
Ref<NSObject> parsePreferenceValue(const PreferenceKey& key, std::string_view text, ValueType type);
// Why a script may not set the key to the text as the pane would, or an empty
// string when it may.
std::string preferenceProblem(const std::string& key, const std::string& value);
