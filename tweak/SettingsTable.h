// The extension's settings as one table: every place that needs the list of them
// (the variables, the loader, the copy into a new event table, the table's
// selectors, the dayglass command) walks DAYGLASS_SETTINGS, so adding a setting
// is one row here. Header-only: the command reads it without linking the
// extension, and reaches the variables in the loaded library by their names.
#pragma once

#include "listview/DGLRowCodes.h"

#include <Foundation/NSString.h>
#include <UIKit/UIColor.h>
#include <objc/RetainedSlot.h>

#include <cstddef>

inline constexpr const char* preferencesFilePath = "/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist";
inline constexpr const char* preferencesChangedNotification = "com.quarnel.dayglass2.preferencesChanged";

// How a setting is stored and read; the kind fixes the variable's type.
enum class SettingKind {
    Switch, // BOOL, read with boolValue
    Seconds, // NSInteger, read with integerValue
    TextSize, // NSInteger points, read with intValue (32 bits, widened with the sign)
    DayCount, // NSInteger, read with intValue
    EventCount, // NSInteger, read with intValue; 0 or less is no limit
    Colour, // UIColor, chosen by an integer code from the row's colour codes
    TitleColour, // a Colour whose code 999 also sets titleColorSameAsCalendarColor
    FollowsTitleColour, // BOOL with no key of its own: set through "textColor"
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
template <> struct SettingStorage<SettingKind::FollowsTitleColour> {
    using Type = BOOL;
};
template <> struct SettingStorage<SettingKind::Colour> {
    using Type = RetainedSlot<UIColor>;
};
template <> struct SettingStorage<SettingKind::TitleColour> {
    using Type = RetainedSlot<UIColor>;
};
template <> struct SettingStorage<SettingKind::Text> {
    using Type = RetainedSlot<NSString>;
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

using ColourMaker = Ref<UIColor> (*)();

struct NamedColour {
    const char* name;
    ColourMaker make;
};

inline Ref<UIColor> lavenderGreyColour()
{
    return UIColor::colorWithRed(186 / 255.0, 183 / 255.0, 191 / 255.0, 1.0);
}

inline Ref<UIColor> nearBlackColour()
{
    return UIColor::colorWithRed(0.01, 0.01, 0.01, 1.0);
}

inline Ref<UIColor> halfTransparentWhiteColour()
{
    return UIColor::colorWithWhite(1.0, 0.5);
}

// Codes 0 to 9: UIKit's preset colours.
inline constexpr NamedColour standardColours[10] = {
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
inline constexpr NamedColour ownColours[] = {
    { "clear", &UIColor::clearColor },
    { "lavender grey", &lavenderGreyColour },
    { "near-black", &nearBlackColour },
    { "half-transparent white", &halfTransparentWhiteColour },
};

// The furthest a day count looks ahead, as far as the settings pane offers. A
// file another program wrote may ask for millions of years, which would keep
// the lock screen loading every repetition of every series for seconds.
inline constexpr NSInteger longestDayCount = 3660;

// The code that asks for the event's calendar colour or a transparent background.
inline constexpr NSInteger calendarColourCode = 999;

// How one colour field reads its code: entries of the standard table it replaces,
// and its own colours for code 999, for any other code outside 0 to 9 and for an
// absent key (its default).
struct ColourCodes {
    ColourMaker replaced[10];
    ColourMaker code999;
    ColourMaker otherCode;
    ColourMaker absent;

    Ref<UIColor> colourFor(NSInteger code) const
    {
        // Unsigned, so that negative codes fall outside the table too.
        const auto index = static_cast<std::size_t>(code);
        if (index < 10)
            return replaced[index] ? replaced[index]() : standardColours[index].make();
        return code == calendarColourCode ? code999() : otherCode();
    }
};

inline constexpr ColourCodes sectionHeaderBackgroundCodes { {}, &UIColor::whiteColor, &UIColor::whiteColor,
    &UIColor::whiteColor };
inline constexpr ColourCodes sectionHeaderTextCodes { {}, &UIColor::darkGrayColor, &UIColor::darkGrayColor,
    &UIColor::darkGrayColor };
inline constexpr ColourCodes textCodes { {}, &UIColor::whiteColor, &UIColor::blackColor, &UIColor::blackColor };
inline constexpr ColourCodes backgroundCodes { { nullptr, nullptr, &lavenderGreyColour }, &UIColor::clearColor,
    &lavenderGreyColour, &lavenderGreyColour };
inline constexpr ColourCodes subtitleTextCodes { {}, &UIColor::whiteColor, &UIColor::whiteColor,
    &UIColor::darkGrayColor };
inline constexpr ColourCodes dateTextCodes { { nullptr, &nearBlackColour, &halfTransparentWhiteColour },
    &UIColor::brownColor, &UIColor::brownColor, &UIColor::brownColor };

// The settings, in the order the loader reads them. Two kinds of row:
//   FED(symbol, key, kind, fallback, setter): createEventTable copies the value
//     into every new event table through DGLEventTable's `setter` (a selector too);
//   OWN(symbol, key, kind, fallback): read by the lock-screen hooks themselves.
// `symbol` names the process-wide variable, `key` the preference-file key (null
// when the setting has none), `fallback` the value of an absent key, or for a
// colour the codes it is read with, whose `absent` entry is its default.
// A place that does not care which kind a row is passes one variadic macro twice.
// clang-format off
#define DAYGLASS_SETTINGS(FED, OWN) \
    FED(groupByDays,                   "groupByDays",                  Switch,             YES,                          setGroupByDays) \
    OWN(customLSTimeoutEnabled,        "customLSTimeoutEnabled",       Switch,             NO) \
    OWN(customLSTimeout,               "customLSTimeout",              Seconds,            3) \
    FED(headerIsUppercase,             "headerIsUppercase",            Switch,             YES,                          setHeaderIsUppercase) \
    FED(sectionHeaderBackgroundColor,  "sectionHeaderBackgroundColor", Colour,             sectionHeaderBackgroundCodes, setSectionHeaderBackgroundColor) \
    FED(sectionHeaderTextColor,        "sectionHeaderTextColor",       Colour,             sectionHeaderTextCodes,       setSectionHeaderTextColor) \
    OWN(isEnabled,                     "enabled",                      Switch,             YES) \
    FED(customLaunchAppBundleID,       "customLaunchAppBundleID",      Text,               "",                           setCustomLaunchAppBundleID) \
    FED(showSeparatorLines,            "showSeparatorLines",           Switch,             YES,                          setShowsRowSeparators) \
    FED(rightAlignedDate,              "rightAlignedDate",             Switch,             YES,                          setDateIsRightAligned) \
    FED(onlySelectedCalendars,         "onlySelectedCalendars",        Switch,             YES,                          setOnlySelectedCalendars) \
    FED(displayLocation,               "displayLocation",              Switch,             NO,                           setDisplayLocation) \
    FED(sameHeightRows,                "sameHeightRows",               Switch,             YES,                          setSameHeightRows) \
    FED(swipeAction,                   "swipeAction",                  SwipeAction,        DGLSwipeActionOpenEvent,      setSwipeAction) \
    FED(iconType,                      "iconType",                     IconType,           DGLIconTypeNone,              setIconType) \
    FED(textColor,                     "textColor",                    TitleColour,        textCodes,                    setTitleColor) \
    FED(titleColorSameAsCalendarColor, nullptr,                        FollowsTitleColour, NO,                           setTitleColorSameAsCalendarColor) \
    FED(backgroundColor,               "backgroundColor",              Colour,             backgroundCodes,              setBackgroundColor) \
    FED(headerTextSize,                "headerTextSize",               TextSize,           13,                           setHeaderTextSize) \
    FED(textSize,                      "textSize",                     TextSize,           13,                           setTitleTextSize) \
    FED(subtitleTextColor,             "subtitleTextColor",            Colour,             subtitleTextCodes,            setSubtitleColor) \
    FED(subtitleTextSize,              "subtitleTextSize",             TextSize,           12,                           setSubtitleTextSize) \
    FED(dateTextColor,                 "dateTextColor",                Colour,             dateTextCodes,                setDateColor) \
    FED(dateTextSize,                  "dateTextSize",                 TextSize,           11,                           setDateTextSize) \
    FED(daysToDisplay,                 "daysToDisplay",                DayCount,           2,                            setDaysToDisplay) \
    FED(maxEventsToDisplay,            "maxEventsToDisplay",           EventCount,         0,                            setMaxEventsToDisplay)
// clang-format on
