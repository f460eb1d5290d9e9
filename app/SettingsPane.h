// The settings pane as a page draws it: the extension's preference keys, grouped
// as a settings pane groups them, each with its kind, its default, what it
// takes and the value the preference file holds now.
#pragma once

#include <nlohmann/json.hpp>

#include <span>
#include <string_view>

struct SettingsPaneGroup {
    const char* title;
    std::span<const std::string_view> keys;
};

// Every preference key in exactly one group, in the order a pane shows them.
std::span<const SettingsPaneGroup> settingsPaneGroups();

// {"file", "groups": [{"title", "settings": [{"key", "kind", "control", "default",
// "takes", "range", "choices", "value"}]}]}. "control" is what the page draws: a
// "switch", a "stepper", a "colour" swatch, a "choice", an "application" from
// those installed (SpringBoard's register), or "text".
nlohmann::ordered_json settingsPaneJSON();
