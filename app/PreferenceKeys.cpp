#include "PreferenceKeys.h"
#include "Command.h"

#include <Foundation/NSValue.h>
#include <tweak/SettingsTable.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace {

constexpr PreferenceKind preferenceKindOf(SettingKind kind)
{
    switch (kind) {
    case SettingKind::Switch:
    case SettingKind::FollowsTitleColour:
        return PreferenceKind::Boolean;
    case SettingKind::Text:
    case SettingKind::IconType:
        return PreferenceKind::String;
    default:
        return PreferenceKind::Integer;
    }
}

struct Row {
    const char* key;
    SettingKind kind;
};

#define DAYGLASS_SETTING_ROW(symbol, key, kind, ...) Row { key, SettingKind::kind },
constexpr Row settingRows[] = { DAYGLASS_SETTINGS(DAYGLASS_SETTING_ROW, DAYGLASS_SETTING_ROW) };
#undef DAYGLASS_SETTING_ROW

// The rows with a key of their own, in the order the extension reads them.
constexpr auto keyTable = [] {
    std::array<PreferenceKey, std::ranges::count_if(settingRows, [](const Row& row) { return row.key; })> keys {};
    auto next = keys.begin();
    for (const Row& row : settingRows)
        if (row.key)
            *next++ = { row.key, preferenceKindOf(row.kind) };
    return keys;
}();

std::string lowercase(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

Ref<NSObject> booleanFrom(const PreferenceKey& key, std::string_view text)
{
    const std::string word = lowercase(text);
    if (word == "yes" || word == "true" || word == "1")
        return NSNumber::numberWithBool(true);
    if (word == "no" || word == "false" || word == "0")
        return NSNumber::numberWithBool(false);
    throw CommandError(
        std::string(key.name) + " takes YES or NO (or true/false, 1/0), not \"" + std::string(text) + "\"");
}

Ref<NSObject> integerFrom(const PreferenceKey& key, std::string_view text)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        throw CommandError(std::string(key.name) + " takes a whole number, not \"" + std::string(text) + "\"");
    return NSNumber::numberWithLongLong(value);
}

PreferenceKind kindFor(const PreferenceKey& key, ValueType type)
{
    switch (type) {
    case ValueType::Integer:
        return PreferenceKind::Integer;
    case ValueType::Boolean:
        return PreferenceKind::Boolean;
    case ValueType::String:
        return PreferenceKind::String;
    case ValueType::Inferred:
        break;
    }
    return key.kind;
}

} // namespace

std::span<const PreferenceKey> preferenceKeys()
{
    return keyTable;
}

const PreferenceKey* findPreferenceKey(std::string_view name)
{
    auto it
        = std::find_if(keyTable.begin(), keyTable.end(), [&](const PreferenceKey& key) { return key.name == name; });
    return it == keyTable.end() ? nullptr : &*it;
}

std::string knownPreferenceKeys()
{
    std::string list;
    for (const PreferenceKey& key : keyTable)
        list += (list.empty() ? "" : ", ") + std::string(key.name);
    return list;
}

Ref<NSObject> parsePreferenceValue(const PreferenceKey& key, std::string_view text, ValueType type)
{
    switch (kindFor(key, type)) {
    case PreferenceKind::Boolean:
        return booleanFrom(key, text);
    case PreferenceKind::Integer:
        return integerFrom(key, text);
    case PreferenceKind::String:
        break;
    }
    return NSString::string(text);
}
