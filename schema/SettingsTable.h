// The extension's settings as one table: every place that needs the list of them
// (the variables, the loader, the copy into a new event table, the table's
// selectors, the dayglass command) walks DAYGLASS_SETTINGS, so adding a setting
// is one row here. Header-only, so that the extension and the dayglass command
// agree on it without the command linking the extension: the command reaches the
// loaded settings through the runtime, by the names given here.
#pragma once

#include <Foundation/NSString.h>
#include <UIKit/UIColor.h>
#include <schema/DGLRowCodes.h>

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

inline constexpr const char* preferencesFilePath = "/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist";
inline constexpr const char* preferencesChangedNotification = "com.quarnel.dayglass2.preferencesChanged";

// How a setting is stored and read; the kind fixes the variable's type.
enum class SettingKind {
    Switch, // BOOL, read with boolValue
    Seconds, // NSInteger, read with integerValue
    TextSize, // NSInteger points, read with intValue (32 bits, widened with the sign)
    DayCount, // NSInteger, read with intValue
    EventCount, // NSInteger, read with intValue; 0 or less is no limit
    Color, // UIColor, chosen by an integer code from the row's colour codes
    TitleColor, // a Colour whose code 999 also sets titleColorSameAsCalendarColor
    FollowsTitleColor, // BOOL with no key of its own: set through "textColor"
    Text, // NSString, the stored object itself
    SwipeAction, // DGLSwipeAction, read with integerValue; codes outside 0 to 3 become 1
    IconType, // DGLIconType, compared as a string against iconTypeNames
};

template <SettingKind kind> struct SettingStorage {
    using Type = NSInteger;
};
template <> struct SettingStorage<SettingKind::Switch> {
    using Type = BOOL;
};
template <> struct SettingStorage<SettingKind::FollowsTitleColor> {
    using Type = BOOL;
};
template <> struct SettingStorage<SettingKind::Color> {
    using Type = UIColor*;
};
template <> struct SettingStorage<SettingKind::TitleColor> {
    using Type = UIColor*;
};
template <> struct SettingStorage<SettingKind::Text> {
    using Type = NSString*;
};
template <> struct SettingStorage<SettingKind::SwipeAction> {
    using Type = DGLSwipeAction;
};
template <> struct SettingStorage<SettingKind::IconType> {
    using Type = DGLIconType;
};
template <SettingKind kind> using SettingType = typename SettingStorage<kind>::Type;

// The strings "iconType" is compared with, by code; any other string is the
// calendar page, which the settings pane writes as "CALENDAR".
inline constexpr const char* iconTypeNames[] = { "NONE", "DOT", "DOT_LARGE", "CALENDAR" };

using ColorMaker = Ref<UIColor> (*)();

struct NamedColor {
    const char* name;
    ColorMaker make;
};

inline Ref<UIColor> lavenderGreyColor()
{
    return UIColor::colorWithRed(186 / 255.0, 183 / 255.0, 191 / 255.0, 1.0);
}

inline Ref<UIColor> nearBlackColor()
{
    return UIColor::colorWithRed(0.01, 0.01, 0.01, 1.0);
}

inline Ref<UIColor> halfTransparentWhiteColor()
{
    return UIColor::colorWithWhite(1.0, 0.5);
}

// Codes 0 to 9: UIKit's preset colours.
inline constexpr NamedColor standardColors[10] = {
    { "red", &UIColor::redColor },
    { "black", &UIColor::blackColor },
    { "dark grey", &UIColor::darkGrayColor },
    { "white", &UIColor::whiteColor },
    { "green", &UIColor::greenColor },
    { "blue", &UIColor::blueColor },
    { "yellow", &UIColor::yellowColor },
    { "orange", &UIColor::orangeColor },
    { "purple", &UIColor::purpleColor },
    { "brown", &UIColor::brownColor },
};

// The colours some fields choose outside the standard table.
inline constexpr NamedColor ownColors[] = {
    { "clear", &UIColor::clearColor },
    { "lavender grey", &lavenderGreyColor },
    { "near-black", &nearBlackColor },
    { "half-transparent white", &halfTransparentWhiteColor },
};

// The furthest a day count looks ahead, as far as the settings pane offers. A
// file another program wrote may ask for millions of years, which would keep
// the lock screen loading every repetition of every series for seconds.
inline constexpr NSInteger longestDayCount = 3660;

// The code that asks for the event's calendar colour or a transparent background.
inline constexpr NSInteger calendarColorCode = 999;

// How one colour field reads its code: entries of the standard table it replaces,
// and its own colours for code 999, for any other code outside 0 to 9 and for an
// absent key (its default).
struct ColorCodes {
    ColorMaker replaced[10];
    ColorMaker code999;
    ColorMaker otherCode;
    ColorMaker absent;

    Ref<UIColor> colorFor(NSInteger code) const
    {
        // Unsigned, so that negative codes fall outside the table too.
        const auto index = static_cast<std::size_t>(code);
        if (index < 10)
            return replaced[index] ? replaced[index]() : standardColors[index].make();
        return code == calendarColorCode ? code999() : otherCode();
    }
};

inline constexpr ColorCodes sectionHeaderBackgroundCodes { {}, &UIColor::whiteColor, &UIColor::whiteColor,
    &UIColor::whiteColor };
inline constexpr ColorCodes sectionHeaderTextCodes { {}, &UIColor::darkGrayColor, &UIColor::darkGrayColor,
    &UIColor::darkGrayColor };
inline constexpr ColorCodes textCodes { {}, &UIColor::whiteColor, &UIColor::blackColor, &UIColor::blackColor };
inline constexpr ColorCodes backgroundCodes { { nullptr, nullptr, &lavenderGreyColor }, &UIColor::clearColor,
    &lavenderGreyColor, &lavenderGreyColor };
inline constexpr ColorCodes subtitleTextCodes { {}, &UIColor::whiteColor, &UIColor::whiteColor,
    &UIColor::darkGrayColor };
inline constexpr ColorCodes dateTextCodes { { nullptr, &nearBlackColor, &halfTransparentWhiteColor },
    &UIColor::brownColor, &UIColor::brownColor, &UIColor::brownColor };

// The settings, in the order the loader reads them: X(symbol, key, kind, fallback).
// `symbol` names the field (the extension's process-wide variable, and its class
// property on the settings class below), `key` the preference-file key (null when
// the setting has none), `fallback` the value of an absent key, or for a colour
// the codes it is read with, whose `absent` entry is its default.
// clang-format off
#define DAYGLASS_SETTINGS(X) \
    X(groupByDays,                   "groupByDays",                  Switch,             YES) \
    X(customLSTimeoutEnabled,        "customLSTimeoutEnabled",       Switch,             NO) \
    X(customLSTimeout,               "customLSTimeout",              Seconds,            3) \
    X(headerIsUppercase,             "headerIsUppercase",            Switch,             YES) \
    X(sectionHeaderBackgroundColor,  "sectionHeaderBackgroundColor", Color,             sectionHeaderBackgroundCodes) \
    X(sectionHeaderTextColor,        "sectionHeaderTextColor",       Color,             sectionHeaderTextCodes) \
    X(isEnabled,                     "enabled",                      Switch,             YES) \
    X(customLaunchAppBundleID,       "customLaunchAppBundleID",      Text,               "") \
    X(showSeparatorLines,            "showSeparatorLines",           Switch,             YES) \
    X(rightAlignedDate,              "rightAlignedDate",             Switch,             YES) \
    X(onlySelectedCalendars,         "onlySelectedCalendars",        Switch,             YES) \
    X(displayLocation,               "displayLocation",              Switch,             NO) \
    X(sameHeightRows,                "sameHeightRows",               Switch,             YES) \
    X(swipeAction,                   "swipeAction",                  SwipeAction,        DGLSwipeActionOpenEvent) \
    X(iconType,                      "iconType",                     IconType,           DGLIconTypeNone) \
    X(textColor,                     "textColor",                    TitleColor,        textCodes) \
    X(titleColorSameAsCalendarColor, nullptr,                        FollowsTitleColor, NO) \
    X(backgroundColor,               "backgroundColor",              Color,             backgroundCodes) \
    X(headerTextSize,                "headerTextSize",               TextSize,           13) \
    X(textSize,                      "textSize",                     TextSize,           13) \
    X(subtitleTextColor,             "subtitleTextColor",            Color,             subtitleTextCodes) \
    X(subtitleTextSize,              "subtitleTextSize",             TextSize,           12) \
    X(dateTextColor,                 "dateTextColor",                Color,             dateTextCodes) \
    X(dateTextSize,                  "dateTextSize",                 TextSize,           11) \
    X(daysToDisplay,                 "daysToDisplay",                DayCount,           2) \
    X(maxEventsToDisplay,            "maxEventsToDisplay",           EventCount,         0) \
    X(hideDetailsWhileLocked,        "hideDetailsWhileLocked",       Switch,             NO)
// clang-format on

// What createEventTable copies into every new event table, in the order it copies
// it: X(setter, symbol) gives DGLEventTable's `setter` (a selector too) the field
// `symbol`. The other fields are read by the lock-screen hooks themselves:
// isEnabled, the custom time-out, and hideDetailsWhileLocked, which together with
// whether the owner has been recognised decides whether a new table hides its
// rows' details.
// clang-format off
#define DAYGLASS_EVENT_TABLE_SETTINGS(X) \
    X(setDisplayLocation,               displayLocation) \
    X(setIconType,                      iconType) \
    X(setTitleTextSize,                 textSize) \
    X(setTitleColor,                    textColor) \
    X(setSubtitleTextSize,              subtitleTextSize) \
    X(setSubtitleColor,                 subtitleTextColor) \
    X(setDateTextSize,                  dateTextSize) \
    X(setDateColor,                     dateTextColor) \
    X(setSameHeightRows,                sameHeightRows) \
    X(setShowsRowSeparators,            showSeparatorLines) \
    X(setTitleColorSameAsCalendarColor, titleColorSameAsCalendarColor) \
    X(setDateIsRightAligned,            rightAlignedDate) \
    X(setDaysToDisplay,                 daysToDisplay) \
    X(setMaxEventsToDisplay,            maxEventsToDisplay) \
    X(setSwipeAction,                   swipeAction) \
    X(setGroupByDays,                   groupByDays) \
    X(setOnlySelectedCalendars,         onlySelectedCalendars) \
    X(setSectionHeaderBackgroundColor,  sectionHeaderBackgroundColor) \
    X(setSectionHeaderTextColor,        sectionHeaderTextColor) \
    X(setCustomLaunchAppBundleID,       customLaunchAppBundleID) \
    X(setHeaderTextSize,                headerTextSize) \
    X(setBackgroundColor,               backgroundColor) \
    X(setHeaderIsUppercase,             headerIsUppercase)
// clang-format on

// The runtime class through which a host that does not link the extension (the
// dayglass command) reaches the loaded settings: every field is a class property
// under its own name, `+[DGLTweakSettings daysToDisplay]` and `+setDaysToDisplay:`.
inline constexpr const char* settingsClassName = "DGLTweakSettings";

// The setter's selector of a field: "daysToDisplay" gives "setDaysToDisplay:".
inline std::string settingSetterName(std::string_view field)
{
    std::string selector = "set" + std::string(field) + ":";
    selector[3] = static_cast<char>(std::toupper(static_cast<unsigned char>(selector[3])));
    return selector;
}
