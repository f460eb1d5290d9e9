#include "PreferenceKeys.h"

#include "ArgumentParsing.h"
#include "Command.h"
#include "SettingsRecord.h"
#include "Suggestions.h"

#include <Foundation/NSValue.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <optional>
#include <vector>

namespace {

PreferenceKind storedKindOf(SettingKind kind)
{
    switch (kind) {
    case SettingKind::Switch:
    case SettingKind::FollowsTitleColor:
        return PreferenceKind::Boolean;
    case SettingKind::Text:
    case SettingKind::IconType:
        return PreferenceKind::String;
    default:
        return PreferenceKind::Integer;
    }
}

using Range = OfferedValues::Range;

// The whole numbers a pane offers for a size or a count.
std::optional<Range> rangeOf(SettingKind kind)
{
    switch (kind) {
    case SettingKind::Seconds:
        return Range { 1, 3600, " seconds" };
    case SettingKind::TextSize:
        return Range { 1, 200, " points" };
    case SettingKind::DayCount:
        return Range { 0, longestDayCount, " days" };
    case SettingKind::EventCount:
        return Range { 0, mostEventsOffered, " events (0: no limit)" };
    case SettingKind::SwipeAction:
        return Range { DGLSwipeActionNone, DGLSwipeActionLaunchApplication, "" };
    default:
        return std::nullopt;
    }
}

std::string lowercase(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

// The codes a pane offers for a colour key: the table, and 999 where it means
// something of its own (the calendar's colour, a clear background).
std::vector<NSInteger> colorCodesOffered(const ColorCodes& codes)
{
    std::vector<NSInteger> offered { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
    if (codes.code999 != codes.otherCode)
        offered.push_back(calendarColorCode);
    return offered;
}

// What code 999 of the title colour stands for, besides the white it gives.
constexpr const char* calendarColorName = "calendar";

std::string colorCodeName(const PreferenceKey& key, NSInteger code)
{
    if (key.setting == SettingKind::TitleColor && code == calendarColorCode)
        return calendarColorName;
    return colorName(rgbaOf(key.colors->colorFor(code).get()));
}

std::string defaultTextOf(BOOL flag)
{
    return flag ? "YES" : "NO";
}
std::string defaultTextOf(int number)
{
    return std::to_string(number);
}
std::string defaultTextOf(DGLSwipeAction action)
{
    return std::to_string(action);
}
std::string defaultTextOf(DGLIconType type)
{
    return iconTypeNames[type];
}
std::string defaultTextOf(const char* text)
{
    return "\"" + std::string(text) + "\"";
}
std::string defaultTextOf(const ColorCodes& codes)
{
    return colorName(rgbaOf(codes.absent().get()));
}

template <typename T> const ColorCodes* colorsOf(const T&)
{
    return nullptr;
}
const ColorCodes* colorsOf(const ColorCodes& codes)
{
    return &codes;
}

// Every row of the settings table, those without a key of their own included.
#define DAYGLASS_PREFERENCE_KEY(symbol, key, kind, fallback)                                                           \
    PreferenceKey { key ? key : "", #symbol, SettingKind::kind, storedKindOf(SettingKind::kind), colorsOf(fallback),  \
        defaultTextOf(fallback) },
const std::vector<PreferenceKey>& settingRows()
{
    static const std::vector<PreferenceKey> rows { DAYGLASS_SETTINGS(DAYGLASS_PREFERENCE_KEY) };
    return rows;
}
#undef DAYGLASS_PREFERENCE_KEY

const std::vector<PreferenceKey>& keyTable()
{
    static const std::vector<PreferenceKey> keys = [] {
        std::vector<PreferenceKey> withKeys;
        std::copy_if(settingRows().begin(), settingRows().end(), std::back_inserter(withKeys),
            [](const PreferenceKey& row) { return !row.name.empty(); });
        return withKeys;
    }();
    return keys;
}

[[noreturn]] void refuse(const PreferenceKey& key, std::string_view text, const std::string& takes)
{
    throw UsageError(std::string(key.name) + " takes " + takes + ", not \"" + std::string(text) + "\"");
}

Ref<NSObject> booleanFrom(const PreferenceKey& key, std::string_view text)
{
    const std::string word = lowercase(text);
    if (word == "yes" || word == "true" || word == "1")
        return NSNumber::numberWithBool(true);
    if (word == "no" || word == "false" || word == "0")
        return NSNumber::numberWithBool(false);
    refuse(key, text, "YES or NO (or true/false, 1/0)");
}

Ref<NSObject> integerFrom(const PreferenceKey& key, std::string_view text, std::optional<Range> range)
{
    const std::optional<long long> value = parseWhole<long long>(text);
    if (!value || (range && (*value < range->lowest || *value > range->highest)))
        refuse(key, text, "a whole number" + (range ? " from " + allowedValues(key) : std::string()));
    return NSNumber::numberWithLongLong(*value);
}

Ref<NSObject> textFrom(const PreferenceKey& key, std::string_view text)
{
    if (const std::optional<std::size_t> offset = firstNonUTF8Byte(text))
        throw UsageError(std::string(key.name) + " takes UTF-8 text; byte " + std::to_string(*offset + 1)
            + " of the value is not part of a character");
    return NSString::string(text);
}

// The pane stores the icon's name; the codes 0 to 3 are accepted for it.
Ref<NSObject> iconTypeFrom(const PreferenceKey& key, std::string_view text)
{
    const std::string word = lowercase(text);
    for (std::size_t code = 0; code < std::size(iconTypeNames); ++code)
        if (word == lowercase(iconTypeNames[code]) || word == std::to_string(code))
            return NSString::string(iconTypeNames[code]);
    refuse(key, text, allowedValues(key));
}

// A code, or the name of the colour a code gives for this key.
Ref<NSObject> colorFrom(const PreferenceKey& key, std::string_view text)
{
    const std::string word = lowercase(text);
    for (NSInteger code : colorCodesOffered(*key.colors))
        if (word == std::to_string(code) || word == colorCodeName(key, code))
            return NSNumber::numberWithInteger(code);
    refuse(key, text, allowedValues(key));
}

Ref<NSObject> paneValueFrom(const PreferenceKey& key, std::string_view text)
{
    switch (key.setting) {
    case SettingKind::Switch:
    case SettingKind::FollowsTitleColor:
        return booleanFrom(key, text);
    case SettingKind::Color:
    case SettingKind::TitleColor:
        return colorFrom(key, text);
    case SettingKind::Text:
        return textFrom(key, text);
    case SettingKind::IconType:
        return iconTypeFrom(key, text);
    default:
        return integerFrom(key, text, rangeOf(key.setting));
    }
}

} // namespace

const char* preferenceKindName(PreferenceKind kind)
{
    switch (kind) {
    case PreferenceKind::Boolean:
        return "Boolean";
    case PreferenceKind::Integer:
        return "integer";
    case PreferenceKind::String:
        break;
    }
    return "string";
}

std::span<const PreferenceKey> preferenceKeys()
{
    return keyTable();
}

const PreferenceKey* findPreferenceKey(std::string_view name)
{
    const auto& keys = keyTable();
    auto it = std::find_if(keys.begin(), keys.end(), [&](const PreferenceKey& key) { return key.name == name; });
    return it == keys.end() ? nullptr : &*it;
}

const PreferenceKey& knownPreferenceKey(std::string_view name)
{
    if (const PreferenceKey* key = findPreferenceKey(name))
        return *key;
    const std::string unknown = "unknown preference \"" + std::string(name) + "\"";
    for (const PreferenceKey& row : settingRows())
        if (row.symbol == name && row.name.empty())
            throw UsageError(unknown + ": " + std::string(name)
                + " has no key of its own; textColor 999 (or \"calendar\") turns it on, any other textColor off");
    // A variable's name, or a slip of the keyboard.
    std::vector<std::string> candidates;
    for (const PreferenceKey& key : keyTable())
        candidates.emplace_back(key.name);
    std::optional<std::string> meant;
    for (const PreferenceKey& key : keyTable())
        if (key.symbol == name)
            meant = key.name;
    if (!meant)
        meant = nearestName(name, candidates);
    if (meant)
        throw UsageError(unknown + "; did you mean " + *meant + "? (`dayglass prefs keys` lists them all)");
    throw UsageError(unknown + "; the known ones are " + knownPreferenceKeys());
}

std::string knownPreferenceKeys()
{
    std::string list;
    for (const PreferenceKey& key : keyTable())
        list += (list.empty() ? "" : ", ") + std::string(key.name);
    return list;
}

OfferedValues offeredValues(const PreferenceKey& key)
{
    OfferedValues offered { .range = rangeOf(key.setting) };
    if (key.setting == SettingKind::IconType)
        for (std::size_t code = 0; code < std::size(iconTypeNames); ++code)
            offered.choices.push_back({ iconTypeNames[code], iconTypeMeanings[code], std::nullopt });
    if (key.colors)
        for (NSInteger code : colorCodesOffered(*key.colors))
            offered.choices.push_back(
                { std::to_string(code), colorCodeName(key, code), rgbaOf(key.colors->colorFor(code).get()) });
    return offered;
}

std::string allowedValues(const PreferenceKey& key)
{
    if (const std::optional<Range> range = rangeOf(key.setting))
        return std::to_string(range->lowest) + " to " + std::to_string(range->highest) + range->unit;
    switch (key.setting) {
    case SettingKind::Switch:
        return "YES or NO";
    case SettingKind::IconType:
        return "NONE, DOT, DOT_LARGE or CALENDAR (or 0 to 3)";
    case SettingKind::Color:
    case SettingKind::TitleColor: {
        std::string list;
        for (const OfferedValues::Choice& choice : offeredValues(key).choices)
            list += (list.empty() ? "" : ", ") + choice.value + " " + choice.name;
        return "a colour code or its name: " + list;
    }
    default:
        return "any UTF-8 text";
    }
}

Ref<NSObject> parsePreferenceValue(const PreferenceKey& key, std::string_view text, ValueType type)
{
    switch (type) {
    case ValueType::Integer:
        return integerFrom(key, text, std::nullopt);
    case ValueType::Boolean:
        return booleanFrom(key, text);
    case ValueType::String:
        return textFrom(key, text);
    case ValueType::Pane:
        break;
    }
    return paneValueFrom(key, text);
}

std::string preferenceProblem(const std::string& key, const std::string& value)
{
    try {
        parsePreferenceValue(knownPreferenceKey(key), value, ValueType::Pane);
    } catch (const UsageError& error) {
        return error.what();
    }
    return {};
}
