#include "tweak/EventTablePlacement.h"
#include "tweak/TweakSettings.h"

#include <TempDeviceRoot.h>

#include <Foundation/NSValue.h>
#include <MobileCoreServices/LSApplicationWorkspace.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

namespace {

// A device without calendars, with the settings loaded from its preference file.
class Placement : public ::testing::Test {
protected:
    void SetUp() override { loadSettings(""); }

    void loadSettings(const std::string& entries)
    {
        root.writeText("/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + entries
                + "</dict></plist>\n");
        loadPreferences();
    }

    testing_support::TempDeviceRoot root;
};

TEST_F(Placement, TableTakesTheSuggestedFrameLessTheSidesAndTheBottom)
{
    Ref<DGLEventTable> table = createEventTable(CGRectMake(0, 100, 375, 400));
    EXPECT_EQ(table->frame(), CGRectMake(8, 100, 359, 330));
    EXPECT_DOUBLE_EQ(dglEventTableHeight, 330);
    // Built and loaded: with no calendars the inner table shrinks to nothing and
    // does not scroll.
    ASSERT_TRUE(table->tableView());
    EXPECT_LT(table->tableView()->frame().size.height, 330);
    EXPECT_FALSE(table->tableView()->isScrollEnabled());

    // Nothing stops a suggestion under 70 points high from giving a negative height.
    table = createEventTable(CGRectMake(0, 0, 375, 40));
    EXPECT_DOUBLE_EQ(table->frame().size.height, -30);
    EXPECT_DOUBLE_EQ(dglEventTableHeight, -30);
}

TEST_F(Placement, EmptySuggestionIsLoggedAndGivesTheFallbackFrame)
{
    for (CGRect suggested : { CGRectZero, CGRectMake(0, 100, 0, 400) }) {
        platform::clearLog();
        dglEventTableHeight = 0;
        Ref<DGLEventTable> table = createEventTable(suggested);
        EXPECT_EQ(table->frame(), CGRectMake(10, 200, 300, 300));
        EXPECT_DOUBLE_EQ(dglEventTableHeight, 300);
        ASSERT_FALSE(platform::loggedLines().empty());
        EXPECT_EQ(platform::loggedLines().front(), "DGL2: did not get suggested frame!");
    }
}

TEST_F(Placement, TableGetsTheSettingsAndAsksToUnlockWhenOpeningLinks)
{
    loadSettings("<key>textSize</key><integer>17</integer><key>daysToDisplay</key><integer>5</integer>"
                 "<key>rightAlignedDate</key><false/><key>iconType</key><string>DOT</string>");
    Ref<DGLEventTable> table = createEventTable(CGRectMake(0, 100, 375, 400));
    EXPECT_DOUBLE_EQ(table->titleTextSize(), 17);
    EXPECT_EQ(table->daysToDisplay(), 5);
    EXPECT_FALSE(table->dateIsRightAligned());
    EXPECT_EQ(table->iconType(), 1);
    EXPECT_EQ(table->titleColor(), textColor);
    // The table's colour goes to the inner table, which initView built after the copy.
    EXPECT_EQ(table->tableView()->backgroundColor(), backgroundColor);

    EXPECT_EQ(table->lsApplicationWorkspace(), LSApplicationWorkspace::defaultWorkspace());
    const NSDictionary* options = table->openApplicationOptions();
    ASSERT_TRUE(options);
    EXPECT_EQ(options->count(), 3u);
    for (const char* key : { "__PromptUnlockDevice", "LSOpenSensitiveURLOption", "__UnlockDevice" }) {
        auto* value = dynamicCast<NSNumber>(options->objectForKey(key));
        ASSERT_TRUE(value) << key;
        EXPECT_EQ(value->integerValue(), 1) << key;
    }
}

// Every field but isEnabled and the custom time-out, each set away from what a
// new table holds, and every size and colour its own.
TEST_F(Placement, EveryListSettingReachesItsTableProperty)
{
    loadSettings("<key>groupByDays</key><true/><key>headerIsUppercase</key><true/>"
                 "<key>showSeparatorLines</key><true/><key>rightAlignedDate</key><true/>"
                 "<key>onlySelectedCalendars</key><true/><key>displayLocation</key><true/>"
                 "<key>sameHeightRows</key><true/><key>textColor</key><integer>999</integer>"
                 "<key>sectionHeaderBackgroundColor</key><integer>0</integer>"
                 "<key>sectionHeaderTextColor</key><integer>4</integer><key>backgroundColor</key><integer>5</integer>"
                 "<key>subtitleTextColor</key><integer>6</integer><key>dateTextColor</key><integer>7</integer>"
                 "<key>headerTextSize</key><integer>21</integer><key>textSize</key><integer>22</integer>"
                 "<key>subtitleTextSize</key><integer>23</integer><key>dateTextSize</key><integer>24</integer>"
                 "<key>daysToDisplay</key><integer>9</integer><key>maxEventsToDisplay</key><integer>8</integer>"
                 "<key>swipeAction</key><integer>3</integer><key>iconType</key><string>DOT_LARGE</string>"
                 "<key>customLaunchAppBundleID</key><string>com.example.app</string>");
    Ref<DGLEventTable> table = createEventTable(CGRectMake(0, 100, 375, 400));
    EXPECT_TRUE(table->groupByDays());
    EXPECT_TRUE(table->headerIsUppercase());
    EXPECT_TRUE(table->showsRowSeparators());
    EXPECT_TRUE(table->dateIsRightAligned());
    EXPECT_TRUE(table->onlySelectedCalendars());
    EXPECT_TRUE(table->displayLocation());
    EXPECT_TRUE(table->sameHeightRows());
    EXPECT_TRUE(table->titleColorSameAsCalendarColor());
    EXPECT_EQ(table->titleColor(), textColor);
    EXPECT_EQ(table->sectionHeaderBackgroundColor(), sectionHeaderBackgroundColor);
    EXPECT_EQ(table->sectionHeaderTextColor(), sectionHeaderTextColor);
    EXPECT_EQ(table->backgroundColor(), backgroundColor);
    EXPECT_EQ(table->subtitleColor(), subtitleTextColor);
    EXPECT_EQ(table->dateColor(), dateTextColor);
    EXPECT_DOUBLE_EQ(table->headerTextSize(), 21);
    EXPECT_DOUBLE_EQ(table->titleTextSize(), 22);
    EXPECT_DOUBLE_EQ(table->subtitleTextSize(), 23);
    EXPECT_DOUBLE_EQ(table->dateTextSize(), 24);
    EXPECT_EQ(table->daysToDisplay(), 9);
    EXPECT_EQ(table->maxEventsToDisplay(), 8);
    EXPECT_EQ(table->swipeAction(), DGLSwipeActionLaunchApplication);
    EXPECT_EQ(table->iconType(), DGLIconTypeLargeDot);
    EXPECT_EQ(table->customLaunchAppBundleID(), customLaunchAppBundleID);
}

} // namespace
