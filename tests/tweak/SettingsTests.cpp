#include "PreferenceFiles.h"

#include <tweak/TweakSettings.h>

#include <objc/message.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

namespace pf = preference_files;

namespace {

using Rgba = std::array<double, 4>;

Rgba rgba(const UIColor* color)
{
    return color ? Rgba { color->red(), color->green(), color->blue(), color->alpha() } : Rgba { -1, -1, -1, -1 };
}

const Rgba white { 1, 1, 1, 1 };
const Rgba black { 0, 0, 0, 1 };
const Rgba darkGrey { 1 / 3.0, 1 / 3.0, 1 / 3.0, 1 };
const Rgba brown { 0.6, 0.4, 0.2, 1 };
const Rgba lavenderGrey { 0.7294117647058823, 0.7176470588235294, 0.7490196078431373, 1 };

const std::string unableToLoad = "DGL: unable to load preferences.";

class SettingsLoad : public ::testing::Test {
protected:
    void SetUp() override { resetTweakSettings(); }

    void load(const std::string& entries)
    {
        pf::writeXml(root_, entries);
        loadPreferences();
    }

    void loadText(const std::string& contents)
    {
        root_.writeText(pf::path, contents);
        loadPreferences();
    }

    static std::vector<std::string> log() { return platform::loggedLines(); }

    // Every field, in reading order, colours as r/g/b/a.
    static std::string record()
    {
        std::string text;
        auto add = [&](const char* name, const std::string& value) { text += std::string(name) + "=" + value + " "; };
        auto color = [](const UIColor* c) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%g/%g/%g/%g", c->red(), c->green(), c->blue(), c->alpha());
            return std::string(buffer);
        };
        add("groupByDays", std::to_string(groupByDays));
        add("customLSTimeoutEnabled", std::to_string(customLSTimeoutEnabled));
        add("customLSTimeout", std::to_string(customLSTimeout));
        add("headerIsUppercase", std::to_string(headerIsUppercase));
        add("sectionHeaderBackgroundColor", color(sectionHeaderBackgroundColor));
        add("sectionHeaderTextColor", color(sectionHeaderTextColor));
        add("isEnabled", std::to_string(isEnabled));
        add("customLaunchAppBundleID", "\"" + customLaunchAppBundleID->UTF8String() + "\"");
        add("showSeparatorLines", std::to_string(showSeparatorLines));
        add("rightAlignedDate", std::to_string(rightAlignedDate));
        add("onlySelectedCalendars", std::to_string(onlySelectedCalendars));
        add("displayLocation", std::to_string(displayLocation));
        add("sameHeightRows", std::to_string(sameHeightRows));
        add("swipeAction", std::to_string(swipeAction));
        add("iconType", std::to_string(iconType));
        add("textColor", color(textColor));
        add("titleColorSameAsCalendarColor", std::to_string(titleColorSameAsCalendarColor));
        add("backgroundColor", color(backgroundColor));
        add("headerTextSize", std::to_string(headerTextSize));
        add("textSize", std::to_string(textSize));
        add("subtitleTextColor", color(subtitleTextColor));
        add("subtitleTextSize", std::to_string(subtitleTextSize));
        add("dateTextColor", color(dateTextColor));
        add("dateTextSize", std::to_string(dateTextSize));
        add("daysToDisplay", std::to_string(daysToDisplay));
        add("maxEventsToDisplay", std::to_string(maxEventsToDisplay));
        return text;
    }

    static inline const std::string defaults
        = "groupByDays=1 customLSTimeoutEnabled=0 customLSTimeout=3 headerIsUppercase=1 "
          "sectionHeaderBackgroundColor=1/1/1/1 sectionHeaderTextColor=0.333333/0.333333/0.333333/1 isEnabled=1 "
          "customLaunchAppBundleID=\"\" showSeparatorLines=1 rightAlignedDate=1 onlySelectedCalendars=1 "
          "displayLocation=0 sameHeightRows=1 swipeAction=1 iconType=0 textColor=0/0/0/1 "
          "titleColorSameAsCalendarColor=0 backgroundColor=0.729412/0.717647/0.74902/1 headerTextSize=13 textSize=13 "
          "subtitleTextColor=0.333333/0.333333/0.333333/1 subtitleTextSize=12 dateTextColor=0.6/0.4/0.2/1 "
          "dateTextSize=11 daysToDisplay=2 maxEventsToDisplay=0 ";

    // Every key away from its default, and what it reads as.
    static std::string everyKeyChanged()
    {
        return pf::boolean("groupByDays", false) + pf::boolean("customLSTimeoutEnabled", true)
            + pf::integer("customLSTimeout", 45) + pf::boolean("headerIsUppercase", false)
            + pf::integer("sectionHeaderBackgroundColor", 0) + pf::integer("sectionHeaderTextColor", 5)
            + pf::boolean("enabled", false) + pf::string("customLaunchAppBundleID", "com.apple.mobilecal")
            + pf::boolean("showSeparatorLines", false) + pf::boolean("rightAlignedDate", false)
            + pf::boolean("onlySelectedCalendars", false) + pf::boolean("displayLocation", true)
            + pf::boolean("sameHeightRows", false) + pf::integer("swipeAction", 3) + pf::string("iconType", "DOT_LARGE")
            + pf::integer("textColor", 4) + pf::integer("backgroundColor", 6) + pf::integer("headerTextSize", 20)
            + pf::integer("textSize", 17) + pf::integer("subtitleTextColor", 7) + pf::integer("subtitleTextSize", 10)
            + pf::integer("dateTextColor", 8) + pf::integer("dateTextSize", 9) + pf::integer("daysToDisplay", 7)
            + pf::integer("maxEventsToDisplay", 12);
    }

    static inline const std::string changed
        = "groupByDays=0 customLSTimeoutEnabled=1 customLSTimeout=45 headerIsUppercase=0 "
          "sectionHeaderBackgroundColor=1/0/0/1 sectionHeaderTextColor=0/0/1/1 isEnabled=0 "
          "customLaunchAppBundleID=\"com.apple.mobilecal\" showSeparatorLines=0 rightAlignedDate=0 "
          "onlySelectedCalendars=0 displayLocation=1 sameHeightRows=0 swipeAction=3 iconType=2 textColor=0/1/0/1 "
          "titleColorSameAsCalendarColor=0 backgroundColor=1/1/0/1 headerTextSize=20 textSize=17 "
          "subtitleTextColor=1/0.5/0/1 subtitleTextSize=10 dateTextColor=0.5/0/0.5/1 dateTextSize=9 daysToDisplay=7 "
          "maxEventsToDisplay=12 ";

    testing_support::TempDeviceRoot root_;
};

} // namespace

TEST_F(SettingsLoad, NoFileGivesTheDefaultsAndOneLogLinePerLoad)
{
    loadPreferences();
    EXPECT_EQ(record(), defaults);
    EXPECT_EQ(log(), std::vector<std::string> { unableToLoad });
    loadPreferences();
    EXPECT_EQ(log(), (std::vector<std::string> { unableToLoad, unableToLoad }));
}

TEST_F(SettingsLoad, BinaryAndXmlFilesReadAlike)
{
    load(everyKeyChanged());
    EXPECT_EQ(record(), changed);

    loadText("");
    pf::writeBinary(root_, everyKeyChanged());
    loadPreferences();
    EXPECT_EQ(record(), changed);
    EXPECT_EQ(log(), std::vector<std::string> { unableToLoad }); // from the empty file only
}

TEST_F(SettingsLoad, DamagedFilesGiveTheDefaults)
{
    const std::string binary = pf::binaryFrom(pf::xmlDocument("<dict>" + everyKeyChanged() + "</dict>"));
    const std::string xml = pf::xmlDocument("<dict>" + everyKeyChanged() + "</dict>");
    const std::string damaged[] = {
        "",
        "garbage",
        xml.substr(0, xml.size() / 2),
        binary.substr(0, binary.size() / 2),
        pf::xmlDocument("<array><string>enabled</string></array>"),
    };
    for (const std::string& contents : damaged) {
        load(everyKeyChanged());
        platform::clearLog();
        loadText(contents);
        EXPECT_EQ(record(), defaults);
        EXPECT_EQ(log(), std::vector<std::string> { unableToLoad }) << contents.size() << " bytes";
    }
}

TEST_F(SettingsLoad, AReloadReplacesEveryFieldAndTheCallbackReloads)
{
    load(everyKeyChanged());
    pf::writeXml(root_, pf::integer("daysToDisplay", 5));
    preferencesChangedCallback(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(daysToDisplay, 5);
    EXPECT_TRUE(isEnabled);
    EXPECT_EQ(iconType, DGLIconTypeNone);
    EXPECT_EQ(rgba(textColor), black);
    EXPECT_TRUE(log().empty());
}

TEST_F(SettingsLoad, TextColor999FollowsTheCalendarUntilAnotherCodeIsRead)
{
    load(pf::integer("textColor", 999));
    EXPECT_EQ(rgba(textColor), white);
    EXPECT_TRUE(titleColorSameAsCalendarColor);

    load(pf::integer("textColor", 3));
    EXPECT_EQ(rgba(textColor), white);
    EXPECT_FALSE(titleColorSameAsCalendarColor);

    load(pf::integer("textColor", 999));
    load("");
    EXPECT_TRUE(titleColorSameAsCalendarColor);
    EXPECT_EQ(rgba(textColor), black);

    load(pf::integer("textColor", 42));
    EXPECT_FALSE(titleColorSameAsCalendarColor);
    EXPECT_EQ(rgba(textColor), black);
    load(pf::integer("textColor", -5));
    EXPECT_EQ(rgba(textColor), black);
}

TEST_F(SettingsLoad, EachColorFieldHasItsOwnCodesOutsideTheTable)
{
    load(pf::integer("backgroundColor", 999));
    EXPECT_EQ(rgba(backgroundColor), (Rgba { 0, 0, 0, 0 }));
    for (const std::string& entry :
        { pf::integer("backgroundColor", 2), std::string(), pf::integer("backgroundColor", 42) }) {
        load(entry);
        EXPECT_EQ(rgba(backgroundColor), lavenderGrey) << entry;
    }

    load(pf::integer("subtitleTextColor", 10) + pf::integer("dateTextColor", -1)
        + pf::integer("sectionHeaderBackgroundColor", 999) + pf::integer("sectionHeaderTextColor", 999));
    EXPECT_EQ(rgba(subtitleTextColor), white);
    EXPECT_EQ(rgba(dateTextColor), brown);
    EXPECT_EQ(rgba(sectionHeaderBackgroundColor), white);
    EXPECT_EQ(rgba(sectionHeaderTextColor), darkGrey);

    load(pf::integer("subtitleTextColor", 999) + pf::integer("dateTextColor", 1));
    EXPECT_EQ(rgba(subtitleTextColor), white);
    EXPECT_EQ(rgba(dateTextColor), (Rgba { 0.01, 0.01, 0.01, 1 }));
    load(pf::integer("dateTextColor", 2) + pf::integer("sectionHeaderTextColor", 2));
    EXPECT_EQ(rgba(dateTextColor), (Rgba { 1, 1, 1, 0.5 }));
    EXPECT_EQ(rgba(sectionHeaderTextColor), darkGrey);
}

TEST_F(SettingsLoad, SwipeActionsOutsideTheTableBecomeOpenEvent)
{
    const std::pair<long long, NSInteger> cases[] = { { 0, 0 }, { 2, 2 }, { 3, 3 }, { 4, 1 }, { 99, 1 }, { -1, 1 } };
    for (const auto& [stored, expected] : cases) {
        load(pf::integer("swipeAction", stored));
        EXPECT_EQ(swipeAction, expected) << stored;
    }
}

TEST_F(SettingsLoad, IconTypeIsAnExactComparison)
{
    const std::pair<const char*, NSInteger> cases[] = {
        { "NONE", DGLIconTypeNone },
        { "DOT", DGLIconTypeDot },
        { "DOT_LARGE", DGLIconTypeLargeDot },
        { "dot", DGLIconTypeCalendarPage },
        { "", DGLIconTypeCalendarPage },
    };
    for (const auto& [stored, expected] : cases) {
        load(pf::string("iconType", stored));
        EXPECT_EQ(iconType, expected) << stored;
    }
}

TEST_F(SettingsLoad, NumbersMayBeStoredAsStrings)
{
    load(pf::string("textSize", " 15abc") + pf::string("daysToDisplay", "7") + pf::string("enabled", "NO")
        + pf::string("groupByDays", "y") + pf::string("customLSTimeout", "30") + pf::string("textColor", "999")
        + pf::string("swipeAction", "2"));
    EXPECT_EQ(textSize, 15);
    EXPECT_EQ(daysToDisplay, 7);
    EXPECT_FALSE(isEnabled);
    EXPECT_TRUE(groupByDays);
    EXPECT_EQ(customLSTimeout, 30);
    EXPECT_TRUE(titleColorSameAsCalendarColor);
    EXPECT_EQ(swipeAction, 2);
}

TEST_F(SettingsLoad, SizesAndCountsKeepThirtyTwoBitsButTheTimeoutKeepsAll)
{
    load(pf::integer("daysToDisplay", 4294967297) + pf::integer("maxEventsToDisplay", -4)
        + pf::integer("customLSTimeout", 4294967297));
    EXPECT_EQ(daysToDisplay, 1);
    EXPECT_EQ(maxEventsToDisplay, -4);
    EXPECT_EQ(customLSTimeout, 4294967297);
}

// A file asking for more days than the pane offers would keep the lock screen
// loading every repetition of every series for seconds: it looks as far as the
// pane goes, with one line; negative counts stay as they are.
TEST_F(SettingsLoad, DayCountsBeyondThePaneAreBoundedAndLogged)
{
    load(pf::integer("daysToDisplay", 2147483647));
    EXPECT_EQ(daysToDisplay, 3660);
    EXPECT_EQ(log(),
        std::vector<std::string> {
            "DGL: preference \"daysToDisplay\" asks for 2147483647 days; looking 3660 days ahead." });

    platform::clearLog();
    for (long long days : { 3660, -5 }) {
        load(pf::integer("daysToDisplay", days));
        EXPECT_EQ(daysToDisplay, days);
    }
    EXPECT_TRUE(log().empty());
}

TEST_F(SettingsLoad, ValuesOfTheWrongKindCountAsAbsentAndAreLoggedOncePerLoad)
{
    load(pf::integer("textColor", 999));
    platform::clearLog();
    const std::string entries = pf::integer("iconType", 1)
        + pf::raw("textSize", "<dict><key>a</key><integer>1</integer></dict>")
        + pf::raw("customLaunchAppBundleID", "<array><string>com.apple.mobilecal</string></array>")
        + pf::raw("daysToDisplay", "<date>2024-01-01T00:00:00Z</date>") + pf::raw("enabled", "<data>AAAA</data>")
        + pf::raw("textColor", "<array/>") + pf::integer("dateTextSize", 14);

    load(entries);
    EXPECT_EQ(iconType, DGLIconTypeNone);
    EXPECT_EQ(textSize, 13);
    EXPECT_EQ(customLaunchAppBundleID->UTF8String(), "");
    EXPECT_EQ(daysToDisplay, 2);
    EXPECT_TRUE(isEnabled);
    EXPECT_EQ(rgba(textColor), black);
    EXPECT_TRUE(titleColorSameAsCalendarColor);
    EXPECT_EQ(dateTextSize, 14);

    // In reading order, each naming the kind it found.
    const std::pair<const char*, const char*> expected[] = {
        { "enabled", "is not a number or a string." },
        { "customLaunchAppBundleID", "is not a string." },
        { "iconType", "is not a string." },
        { "textColor", "is not a number or a string." },
        { "textSize", "is not a number or a string." },
        { "daysToDisplay", "is not a number or a string." },
    };
    const std::vector<std::string> lines = log();
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string prefix = std::string("DGL: ignoring preference \"") + expected[i].first + "\": ";
        EXPECT_EQ(lines[i].substr(0, prefix.size()), prefix);
        EXPECT_TRUE(lines[i].ends_with(expected[i].second)) << lines[i];
    }
    EXPECT_EQ(lines[2], "DGL: ignoring preference \"iconType\": NSNumber is not a string.");

    load(entries);
    EXPECT_EQ(log().size(), 12u);
}

// The runtime face of the settings, by which the dayglass command reaches them.
TEST_F(SettingsLoad, TheSettingsClassAnswersAndSetsEveryFieldBySelector)
{
    load(everyKeyChanged());
    Class settings = tweakSettingsClass();
    ASSERT_EQ(objc_getClass(settingsClassName), settings);
    EXPECT_EQ(objc_msgSend<BOOL>(settings, "isEnabled"), isEnabled);
    EXPECT_EQ(objc_msgSend<DGLIconType>(settings, "iconType"), iconType);
    EXPECT_EQ(objc_msgSend<UIColor*>(settings, "textColor"), textColor);

    objc_msgSend<void>(settings, "setDaysToDisplay:", NSInteger { 42 });
    EXPECT_EQ(daysToDisplay, 42);
    const Ref<NSString> bundle = NSString::string("com.example.other");
    objc_msgSend<void>(settings, "setCustomLaunchAppBundleID:", bundle.get());
    EXPECT_EQ(customLaunchAppBundleID, bundle.get());
    EXPECT_EQ(bundle->retainCount(), 2);
}
