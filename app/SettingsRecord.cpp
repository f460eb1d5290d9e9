#include "SettingsRecord.h"
#include "Command.h"

#include <Foundation/NSString.h>
#include <UIKit/UIColor.h>
#include <objc/NSObjCRuntime.h>

#include <dlfcn.h>

#include <cstdio>

namespace {

enum class FieldKind { Boolean, Integer, Colour, String };

struct Field {
    const char* name;
    FieldKind kind;
};

constexpr Field fieldTable[] = {
    { "groupByDays", FieldKind::Boolean },
    { "customLSTimeoutEnabled", FieldKind::Boolean },
    { "customLSTimeout", FieldKind::Integer },
    { "headerIsUppercase", FieldKind::Boolean },
    { "sectionHeaderBackgroundColor", FieldKind::Colour },
    { "sectionHeaderTextColor", FieldKind::Colour },
    { "isEnabled", FieldKind::Boolean },
    { "customLaunchAppBundleID", FieldKind::String },
    { "showSeparatorLines", FieldKind::Boolean },
    { "rightAlignedDate", FieldKind::Boolean },
    { "onlySelectedCalendars", FieldKind::Boolean },
    { "displayLocation", FieldKind::Boolean },
    { "sameHeightRows", FieldKind::Boolean },
    { "swipeAction", FieldKind::Integer },
    { "iconType", FieldKind::Integer },
    { "textColor", FieldKind::Colour },
    { "titleColorSameAsCalendarColor", FieldKind::Boolean },
    { "backgroundColor", FieldKind::Colour },
    { "headerTextSize", FieldKind::Integer },
    { "textSize", FieldKind::Integer },
    { "subtitleTextColor", FieldKind::Colour },
    { "subtitleTextSize", FieldKind::Integer },
    { "dateTextColor", FieldKind::Colour },
    { "dateTextSize", FieldKind::Integer },
    { "daysToDisplay", FieldKind::Integer },
    { "maxEventsToDisplay", FieldKind::Integer },
};

SettingsRecord::Value readField(const void* address, FieldKind kind)
{
    switch (kind) {
    case FieldKind::Boolean:
        return *static_cast<const bool*>(address);
    case FieldKind::Integer:
        return static_cast<long long>(*static_cast<const NSInteger*>(address));
    case FieldKind::Colour: {
        const UIColor* colour = *static_cast<UIColor* const*>(address);
        if (!colour)
            return SettingsRecord::Colour();
        return SettingsRecord::Colour({ colour->red(), colour->green(), colour->blue(), colour->alpha() });
    }
    case FieldKind::String: {
        const NSString* string = *static_cast<NSString* const*>(address);
        return string ? string->UTF8String() : std::string();
    }
    }
    return false;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

struct NamedColour {
    const char* name;
    std::array<double, 4> rgba;
};

// The colours the settings can hold: the UIKit presets and the three the
// extension mixes itself.
constexpr double third = 1.0 / 3.0;
constexpr NamedColour namedColours[] = {
    { "red", { 1, 0, 0, 1 } },
    { "black", { 0, 0, 0, 1 } },
    { "dark grey", { third, third, third, 1 } },
    { "white", { 1, 1, 1, 1 } },
    { "green", { 0, 1, 0, 1 } },
    { "blue", { 0, 0, 1, 1 } },
    { "yellow", { 1, 1, 0, 1 } },
    { "orange", { 1, 0.5, 0, 1 } },
    { "purple", { 0.5, 0, 0.5, 1 } },
    { "brown", { 0.6, 0.4, 0.2, 1 } },
    { "clear", { 0, 0, 0, 0 } },
    { "lavender grey", { 186 / 255.0, 183 / 255.0, 191 / 255.0, 1 } },
    { "near-black", { 0.01, 0.01, 0.01, 1 } },
    { "half-transparent white", { 1, 1, 1, 0.5 } },
};

std::string colourText(const std::array<double, 4>& rgba)
{
    std::string text
        = "(" + number(rgba[0]) + ", " + number(rgba[1]) + ", " + number(rgba[2]) + ", " + number(rgba[3]) + ")";
    for (const NamedColour& colour : namedColours)
        if (colour.rgba == rgba)
            return std::string(colour.name) + " " + text;
    return text;
}

// What the coded settings mean, so that the record reads without the table at hand.
std::string codeMeaning(const std::string& field, long long code)
{
    static const char* const swipeActions[] = { "no action", "open the event in Calendar",
        "open the day in Fantastical", "launch the configured application" };
    static const char* const iconTypes[] = { "no icon", "small dot", "large dot", "calendar page" };
    if (code < 0 || code > 3)
        return {};
    if (field == "swipeAction")
        return swipeActions[code];
    if (field == "iconType")
        return iconTypes[code];
    return {};
}

std::string textOf(const std::string& field, const SettingsRecord::Value& value)
{
    if (auto* flag = std::get_if<bool>(&value))
        return *flag ? "YES" : "NO";
    if (auto* integer = std::get_if<long long>(&value)) {
        const std::string meaning = codeMeaning(field, *integer);
        return std::to_string(*integer) + (meaning.empty() ? "" : " (" + meaning + ")");
    }
    if (auto* colour = std::get_if<SettingsRecord::Colour>(&value))
        return *colour ? colourText(**colour) : "nil";
    return nlohmann::json(std::get<std::string>(value)).dump();
}

} // namespace

SettingsRecord SettingsRecord::read(void* library)
{
    SettingsRecord record;
    for (const Field& field : fieldTable) {
        const void* address = dlsym(library, field.name);
        if (!address)
            throw CommandError(std::string("the loaded extension has no setting named ") + field.name);
        record.fields.emplace_back(field.name, readField(address, field.kind));
    }
    return record;
}

std::string SettingsRecord::text() const
{
    std::string text;
    for (const auto& [name, value] : fields) {
        char line[64];
        std::snprintf(line, sizeof line, "%-30s", name.c_str());
        text += line + textOf(name, value) + "\n";
    }
    return text;
}

nlohmann::ordered_json SettingsRecord::json() const
{
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (const auto& [name, value] : fields)
        std::visit(
            [&, &key = name](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, Colour>)
                    object[key] = v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json();
                else
                    object[key] = v;
            },
            value);
    return object;
}
