#include "SettingsPane.h"

#include "PreferenceFile.h"
#include "PreferenceKeys.h"
#include "PropertyListJSON.h"
#include "SettingsRecord.h"

#include <host/SBApplicationController.h>

#include <set>
#include <span>
#include <string_view>

namespace {

struct SettingsPaneGroup {
    const char* title;
    std::span<const std::string_view> keys;
};

constexpr std::string_view switchedOn[] = { "enabled" };
constexpr std::string_view shown[] = { "groupByDays", "headerIsUppercase", "showSeparatorLines", "rightAlignedDate",
    "displayLocation", "sameHeightRows", "iconType", "onlySelectedCalendars" };
constexpr std::string_view colors[] = { "textColor", "backgroundColor", "sectionHeaderBackgroundColor",
    "sectionHeaderTextColor", "subtitleTextColor", "dateTextColor" };
constexpr std::string_view sizes[] = { "textSize", "headerTextSize", "subtitleTextSize", "dateTextSize" };
constexpr std::string_view daysAndCount[] = { "daysToDisplay", "maxEventsToDisplay" };
constexpr std::string_view swipe[] = { "swipeAction", "customLaunchAppBundleID" };
constexpr std::string_view timeout[] = { "customLSTimeoutEnabled", "customLSTimeout" };

constexpr SettingsPaneGroup groups[] = {
    { "Dayglass", switchedOn },
    { "What the list shows", shown },
    { "Colours", colors },
    { "Sizes", sizes },
    { "Days and events", daysAndCount },
    { "Swipe to open", swipe },
    { "Lock-screen time-out", timeout },
};

const char* controlFor(const PreferenceKey& key)
{
    switch (key.setting) {
    case SettingKind::Switch:
        return "switch";
    case SettingKind::Color:
    case SettingKind::TitleColor:
        return "color";
    case SettingKind::IconType:
    case SettingKind::SwipeAction:
        return "choice";
    case SettingKind::Text:
        return "application";
    default:
        return "stepper";
    }
}

// The choices a pane lists: the named values, the swipe actions by their
// meaning, the installed applications by name.
nlohmann::ordered_json choicesFor(const PreferenceKey& key)
{
    nlohmann::ordered_json choices = nlohmann::ordered_json::array();
    if (key.setting == SettingKind::SwipeAction)
        for (std::size_t code = 0; code < std::size(swipeActionMeanings); ++code)
            choices.push_back({ { "value", std::to_string(code) }, { "name", swipeActionMeanings[code] } });
    if (key.setting == SettingKind::Text)
        for (const Ref<NSObject>& entry : *SBApplicationController::sharedInstance()->allApplications())
            if (auto* application = dynamicCast<SBApplication>(entry.get()))
                choices.push_back({ { "value", application->bundleIdentifier()->UTF8String() },
                    { "name", application->displayName()->UTF8String() } });
    for (const OfferedValues::Choice& choice : offeredValues(key).choices) {
        nlohmann::ordered_json entry = { { "value", choice.value }, { "name", choice.name } };
        if (choice.rgba)
            entry["rgba"] = *choice.rgba;
        choices.push_back(std::move(entry));
    }
    return choices;
}

nlohmann::ordered_json settingJSON(const PreferenceKey& key, const NSDictionary* stored)
{
    const std::optional<OfferedValues::Range> range = offeredValues(key).range;
    return { { "key", key.name }, { "kind", preferenceKindName(key.kind) }, { "control", controlFor(key) },
        { "default", key.defaultText }, { "takes", allowedValues(key) },
        { "range",
            range ? nlohmann::ordered_json { { "lowest", range->lowest }, { "highest", range->highest },
                        { "unit", range->unit } }
                  : nlohmann::ordered_json(nullptr) },
        { "choices", choicesFor(key) }, { "value", propertyListJSON(stored->objectForKey(key.name)) } };
}

} // namespace

nlohmann::ordered_json settingsPaneJSON()
{
    const StoredPreferences stored = readPreferences();
    nlohmann::ordered_json groupList = nlohmann::ordered_json::array();
    std::set<std::string_view> grouped;
    for (const SettingsPaneGroup& group : groups) {
        nlohmann::ordered_json settings = nlohmann::ordered_json::array();
        for (std::string_view name : group.keys) {
            settings.push_back(settingJSON(knownPreferenceKey(name), stored.values.get()));
            grouped.insert(name);
        }
        groupList.push_back({ { "title", group.title }, { "settings", settings } });
    }
    nlohmann::ordered_json more = nlohmann::ordered_json::array();
    for (const PreferenceKey& key : preferenceKeys())
        if (!grouped.count(key.name))
            more.push_back(settingJSON(key, stored.values.get()));
    if (!more.empty())
        groupList.push_back({ { "title", "More" }, { "settings", more } });
    return { { "file", preferencesFile() }, { "damaged", stored.damaged }, { "groups", groupList } };
}
