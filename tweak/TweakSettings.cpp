#include <tweak/Retained.h>
#include <tweak/TweakSettings.h>

#include <Foundation/NSDictionary.h>
#include <Foundation/NSException.h>
#include <Foundation/NSLog.h>
#include <objc/message.h>

#include <optional>

extern "C" {
BOOL groupByDays;
BOOL customLSTimeoutEnabled;
NSInteger customLSTimeout;
BOOL headerIsUppercase;
UIColor* sectionHeaderBackgroundColor;
UIColor* sectionHeaderTextColor;
BOOL isEnabled;
NSString* customLaunchAppBundleID;
BOOL showSeparatorLines;
BOOL rightAlignedDate;
BOOL onlySelectedCalendars;
BOOL displayLocation;
BOOL sameHeightRows;
NSInteger swipeAction;
NSInteger iconType;
UIColor* textColor;
BOOL titleColorSameAsCalendarColor;
UIColor* backgroundColor;
NSInteger headerTextSize;
NSInteger textSize;
UIColor* subtitleTextColor;
NSInteger subtitleTextSize;
UIColor* dateTextColor;
NSInteger dateTextSize;
NSInteger daysToDisplay;
NSInteger maxEventsToDisplay;
}

namespace {

using ColourMaker = Ref<UIColor> (*)();

Ref<UIColor> lavenderGrey()
{
    return UIColor::colorWithRed(186 / 255.0, 183 / 255.0, 191 / 255.0, 1.0);
}

Ref<UIColor> nearBlack()
{
    return UIColor::colorWithRed(0.01, 0.01, 0.01, 1.0);
}

Ref<UIColor> halfTransparentWhite()
{
    return UIColor::colorWithWhite(1.0, 0.5);
}

// Codes 0 to 9: UIKit's preset colours.
constexpr ColourMaker standardColours[10] = {
    &UIColor::redColor,
    &UIColor::blackColor,
    &UIColor::darkGrayColor,
    &UIColor::whiteColor,
    &UIColor::greenColor,
    &UIColor::blueColor,
    &UIColor::yellowColor,
    &UIColor::orangeColor,
    &UIColor::purpleColor,
    &UIColor::brownColor,
};

// How one colour field reads its code: entries of the standard table it replaces,
// and its own colours for code 999, for any other code outside 0 to 9 and for an
// absent key.
struct ColourCodes {
    ColourMaker replaced[10];
    ColourMaker code999;
    ColourMaker otherCode;
    ColourMaker absent;
};

constexpr ColourCodes sectionHeaderBackgroundCodes { {}, &UIColor::whiteColor, &UIColor::whiteColor,
    &UIColor::whiteColor };
constexpr ColourCodes sectionHeaderTextCodes { {}, &UIColor::darkGrayColor, &UIColor::darkGrayColor,
    &UIColor::darkGrayColor };
constexpr ColourCodes textCodes { {}, &UIColor::whiteColor, &UIColor::blackColor, &UIColor::blackColor };
constexpr ColourCodes backgroundCodes { { nullptr, nullptr, &lavenderGrey }, &UIColor::clearColor, &lavenderGrey,
    &lavenderGrey };
constexpr ColourCodes subtitleTextCodes { {}, &UIColor::whiteColor, &UIColor::whiteColor, &UIColor::darkGrayColor };
constexpr ColourCodes dateTextCodes { { nullptr, &nearBlack, &halfTransparentWhite }, &UIColor::brownColor,
    &UIColor::brownColor, &UIColor::brownColor };

constexpr NSInteger calendarColourCode = 999;

Ref<UIColor> colourFor(const ColourCodes& codes, std::optional<NSInteger> code)
{
    if (!code)
        return codes.absent();
    // Unsigned, so that negative codes fall outside the table too.
    const auto index = static_cast<NSUInteger>(*code);
    if (index < 10)
        return codes.replaced[index] ? codes.replaced[index]() : standardColours[index]();
    return *code == calendarColourCode ? codes.code999() : codes.otherCode();
}

NSInteger swipeActionFor(std::optional<NSInteger> code)
{
    if (!code || static_cast<NSUInteger>(*code) > DGLSwipeActionLaunchApplication)
        return DGLSwipeActionOpenEvent;
    return *code;
}

NSInteger iconTypeFor(const NSString* name)
{
    if (!name || name->UTF8String() == "NONE")
        return DGLIconTypeNone;
    if (name->UTF8String() == "DOT")
        return DGLIconTypeDot;
    if (name->UTF8String() == "DOT_LARGE")
        return DGLIconTypeLargeDot;
    return DGLIconTypeCalendarPage;
}

// One load's reading of the file. Numbers and numeric strings are read through the
// generic accessors, sent through the runtime. A value of another kind (a
// dictionary, an array, a date, …) does not answer them: it is logged and then
// treated as if its key were absent, so that no file can take the host down.
class PreferenceReader {
public:
    explicit PreferenceReader(const NSDictionary* values)
        : values_(values)
    {
    }

    std::optional<BOOL> boolValue(const char* key) const { return send<BOOL>(key, "boolValue"); }
    std::optional<NSInteger> integerValue(const char* key) const { return send<NSInteger>(key, "integerValue"); }
    // 32 bits, widened with the sign.
    std::optional<NSInteger> intValue(const char* key) const { return send<int>(key, "intValue"); }
    const NSString* stringValue(const char* key) const
    {
        NSObject* value = lookUp(key);
        auto* string = dynamicCast<NSString>(value);
        if (value && !string)
            reportWrongKind(key, value, "a string");
        return string;
    }

private:
    NSObject* lookUp(const char* key) const { return values_ ? values_->objectForKey(key) : nullptr; }

    template <typename R> std::optional<R> send(const char* key, const char* selector) const
    {
        NSObject* value = lookUp(key);
        if (!value)
            return std::nullopt;
        try {
            return objc_msgSend<R>(value, selector);
        } catch (const NSException&) {
            reportWrongKind(key, value, "a number or a string");
            return std::nullopt;
        }
    }

    static void reportWrongKind(const char* key, const NSObject* value, const char* expected)
    {
        NSLog("DGL: ignoring preference \"%s\": %s is not %s.", key, class_getName(object_getClass(value)), expected);
    }

    const NSDictionary* values_;
};

void assignColour(UIColor*& field, const ColourCodes& codes, std::optional<NSInteger> code)
{
    assignRetained(field, colourFor(codes, code).get());
}

// The title colour also decides whether titles take their calendar's colour; an
// absent key leaves that choice as the previous load made it.
void loadTextColour(const PreferenceReader& file)
{
    const std::optional<NSInteger> code = file.integerValue("textColor");
    if (code)
        titleColorSameAsCalendarColor = *code == calendarColourCode;
    assignColour(textColor, textCodes, code);
}

void loadBundleIdentifier(const PreferenceReader& file)
{
    const NSString* stored = file.stringValue("customLaunchAppBundleID");
    assignRetained(customLaunchAppBundleID, stored ? const_cast<NSString*>(stored) : NSString::string().get());
}

} // namespace

const NSString* preferencesChangedNotificationName()
{
    static const NSString* name = NSString::string("com.quarnel.dayglass2.preferencesChanged").leak();
    return name;
}

void loadPreferences()
{
    Ref<NSDictionary> values = NSDictionary::dictionaryWithContentsOfFile(preferencesFilePath);
    if (!values)
        NSLog("DGL: unable to load preferences.");
    const PreferenceReader file(values.get());

    groupByDays = file.boolValue("groupByDays").value_or(YES);
    customLSTimeoutEnabled = file.boolValue("customLSTimeoutEnabled").value_or(NO);
    customLSTimeout = file.integerValue("customLSTimeout").value_or(3);
    headerIsUppercase = file.boolValue("headerIsUppercase").value_or(YES);
    assignColour(
        sectionHeaderBackgroundColor, sectionHeaderBackgroundCodes, file.integerValue("sectionHeaderBackgroundColor"));
    assignColour(sectionHeaderTextColor, sectionHeaderTextCodes, file.integerValue("sectionHeaderTextColor"));
    isEnabled = file.boolValue("enabled").value_or(YES);
    loadBundleIdentifier(file);
    showSeparatorLines = file.boolValue("showSeparatorLines").value_or(YES);
    rightAlignedDate = file.boolValue("rightAlignedDate").value_or(YES);
    onlySelectedCalendars = file.boolValue("onlySelectedCalendars").value_or(YES);
    displayLocation = file.boolValue("displayLocation").value_or(NO);
    sameHeightRows = file.boolValue("sameHeightRows").value_or(YES);
    swipeAction = swipeActionFor(file.integerValue("swipeAction"));
    iconType = iconTypeFor(file.stringValue("iconType"));
    loadTextColour(file);
    assignColour(backgroundColor, backgroundCodes, file.integerValue("backgroundColor"));
    headerTextSize = file.intValue("headerTextSize").value_or(13);
    textSize = file.intValue("textSize").value_or(13);
    assignColour(subtitleTextColor, subtitleTextCodes, file.integerValue("subtitleTextColor"));
    subtitleTextSize = file.intValue("subtitleTextSize").value_or(12);
    assignColour(dateTextColor, dateTextCodes, file.integerValue("dateTextColor"));
    dateTextSize = file.intValue("dateTextSize").value_or(11);
    daysToDisplay = file.intValue("daysToDisplay").value_or(2);
    maxEventsToDisplay = file.intValue("maxEventsToDisplay").value_or(0);
}

void resetTweakSettings()
{
    for (UIColor** colour : { &sectionHeaderBackgroundColor, &sectionHeaderTextColor, &textColor, &backgroundColor,
             &subtitleTextColor, &dateTextColor })
        assignRetained(*colour, static_cast<UIColor*>(nullptr));
    assignRetained(customLaunchAppBundleID, static_cast<NSString*>(nullptr));
    for (BOOL* flag :
        { &groupByDays, &customLSTimeoutEnabled, &headerIsUppercase, &isEnabled, &showSeparatorLines, &rightAlignedDate,
            &onlySelectedCalendars, &displayLocation, &sameHeightRows, &titleColorSameAsCalendarColor })
        *flag = NO;
    for (NSInteger* number : { &customLSTimeout, &swipeAction, &iconType, &headerTextSize, &textSize, &subtitleTextSize,
             &dateTextSize, &daysToDisplay, &maxEventsToDisplay })
        *number = 0;
}

void preferencesChangedCallback(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef)
{
    loadPreferences();
}
