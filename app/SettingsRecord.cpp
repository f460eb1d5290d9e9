#include "SettingsRecord.h"
#include "ExtensionSettings.h"

#include <Foundation/NSString.h>
#include <UIKit/UIColor.h>
#include <objc/NSObjCRuntime.h>

#include <cstdio>
#include <span>

namespace {

// The extension stores only codes of its tables, whatever the file said.
template <std::size_t count> SettingsRecord::Value coded(NSInteger code, const char* const (&meanings)[count])
{
    return SettingsRecord::Code { code, static_cast<std::size_t>(code) < count ? meanings[code] : nullptr };
}

SettingsRecord::Value valueOf(BOOL flag)
{
    return flag;
}

SettingsRecord::Value valueOf(NSInteger number)
{
    return static_cast<long long>(number);
}

SettingsRecord::Value valueOf(DGLSwipeAction action)
{
    return coded(action, swipeActionMeanings);
}

SettingsRecord::Value valueOf(DGLIconType type)
{
    return coded(type, iconTypeMeanings);
}

SettingsRecord::Value valueOf(const UIColor* color)
{
    return color ? SettingsRecord::Color(rgbaOf(color)) : SettingsRecord::Color();
}

SettingsRecord::Value valueOf(const NSString* string)
{
    return string ? string->UTF8String() : std::string();
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string colorText(const std::array<double, 4>& rgba)
{
    const std::string text
        = "(" + number(rgba[0]) + ", " + number(rgba[1]) + ", " + number(rgba[2]) + ", " + number(rgba[3]) + ")";
    const std::string name = colorName(rgba);
    return name.empty() ? text : name + " " + text;
}

std::string textOf(const SettingsRecord::Value& value)
{
    if (auto* flag = std::get_if<bool>(&value))
        return *flag ? "YES" : "NO";
    if (auto* integer = std::get_if<long long>(&value))
        return std::to_string(*integer);
    if (auto* code = std::get_if<SettingsRecord::Code>(&value))
        return std::to_string(code->value) + (code->meaning ? std::string(" (") + code->meaning + ")" : "");
    if (auto* color = std::get_if<SettingsRecord::Color>(&value))
        return *color ? colorText(**color) : "nil";
    return nlohmann::json(std::get<std::string>(value)).dump();
}

} // namespace

std::array<double, 4> rgbaOf(const UIColor* color)
{
    return { color->red(), color->green(), color->blue(), color->alpha() };
}

std::string colorName(const std::array<double, 4>& rgba)
{
    for (const auto& colors :
        { std::span<const NamedColor>(standardColors), std::span<const NamedColor>(ownColors) })
        for (const NamedColor& color : colors)
            if (rgbaOf(color.make().get()) == rgba)
                return color.name;
    return {};
}

SettingsRecord SettingsRecord::read()
{
    SettingsRecord record;
#define DAYGLASS_READ_SETTING(symbol, key, kind, fallback)                                                             \
    record.fields.emplace_back(#symbol, valueOf(extensionSetting<setting::symbol>()));
    DAYGLASS_SETTINGS(DAYGLASS_READ_SETTING)
#undef DAYGLASS_READ_SETTING
    return record;
}

std::string SettingsRecord::text() const
{
    std::string text;
    for (const auto& [name, value] : fields) {
        char line[64];
        std::snprintf(line, sizeof line, "%-30s", name.c_str());
        text += line + textOf(value) + "\n";
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
                if constexpr (std::is_same_v<T, Color>)
                    object[key] = v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json();
                else if constexpr (std::is_same_v<T, Code>)
                    object[key] = v.value;
                else
                    object[key] = v;
            },
            value);
    return object;
}
