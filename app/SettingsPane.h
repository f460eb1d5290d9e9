// The settings pane as a page draws it: the extension's preference keys, grouped
// as a settings pane groups them, each with its kind, its default, what it
// takes and the value the preference file holds now.
#pragma once

#include <nlohmann/json.hpp>

// {"file", "groups": [{"title", "settings": [{"key", "kind", "control", "default",
// "takes", "range", "choices", "value"}]}]}. "control" is what the page draws: a
// "switch", a "stepper", a "color" swatch, a "choice", an "application" from
// those installed (SpringBoard's register), or "text". A key that no group names
// is shown under "More", so that a new setting is never left out of the pane.
nlohmann::ordered_json settingsPaneJSON();
