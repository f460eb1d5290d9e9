// What the settings pane knows of the extension's preference file: where it is,
// its keys with the kind of value each takes, and the notification posted after
// every change.
#pragma once

#include <objc/runtime.h>
#include <tweak/SettingsTable.h>

#include <span>
#include <string>
#include <string_view>

enum class PreferenceKind {
    Boolean,
    Integer, // sizes, counts, codes and colour codes
    String,
};

struct PreferenceKey {
    std::string_view name;
    PreferenceKind kind;
};

// In the order the extension reads them.
std::span<const PreferenceKey> preferenceKeys();
// Null for a key the extension does not read.
const PreferenceKey* findPreferenceKey(std::string_view name);
// "groupByDays, customLSTimeoutEnabled, …".
std::string knownPreferenceKeys();

// How VALUE of `prefs set` is stored: as the key's own kind, or as asked.
enum class ValueType { Inferred, Integer, Boolean, String };

// The value to store for a key, from the command-line text. CommandError for text
// that is not of the kind: "maybe" for a Boolean, "12abc" for an integer.
Ref<NSObject> parsePreferenceValue(const PreferenceKey& key, std::string_view text, ValueType type);
