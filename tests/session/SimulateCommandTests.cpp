#include "CommandRunner.h"

#include <TempDeviceRoot.h>

#include <UIKit/UIImage.h>

#include <host/DeviceModel.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

using nlohmann::json;

namespace {

const char* const lockScreenLine = "[Dayglass2: Tweak:1478] INFO: DGL: lockscreen did dissapear, hiding calendar.";

class Simulate : public testing::Test {
protected:
    // Plays the script on a fresh, empty device root, with --json.
    command_runner::Result play(const std::string& script, std::vector<std::string> options = {})
    {
        const std::string file = (root_.path() / "session.simulate").string();
        std::ofstream(file) << script;
        return playFile(file, std::move(options));
    }

    command_runner::Result playFile(const std::string& file, std::vector<std::string> options = {})
    {
        std::vector<std::string> arguments { "simulate", file, "--json", "--root", root_.path().string(), "--now",
            "2026-03-05T09:41", "--tz", "Europe/Berlin" };
        arguments.insert(arguments.end(), options.begin(), options.end());
        return command_runner::run(arguments);
    }

    // One object per step.
    static std::vector<json> steps(const command_runner::Result& result)
    {
        std::vector<json> lines;
        std::istringstream out(result.out);
        for (std::string line; std::getline(out, line);)
            lines.push_back(json::parse(line));
        return lines;
    }

    static json rect(CGRect r) { return { r.origin.x, r.origin.y, r.size.width, r.size.height }; }

    testing_support::TempDeviceRoot root_;
};

bool contains(const json& list, const std::string& text)
{
    for (const json& entry : list)
        if (entry.get<std::string>() == text)
            return true;
    return false;
}

} // namespace

TEST_F(Simulate, ABadLineStopsTheSessionBeforeAnythingRuns)
{
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        { "wake\n# fine\nnotify Mail\n", ".simulate:3: write it as: notify APP TITLE [MESSAGE]\n" },
        { "wake\nwak\n", ".simulate:2: 'wak' is not a step; the steps are wake, notify APP TITLE [MESSAGE]," },
        { "notify Mail \"Lunch\n", ".simulate:1: a \" is not closed\n" },
        { "wake\ndevice iphone8\n", ".simulate:2: 'iphone8' is not a device model; the models are iphone7," },
        { "prefs set daysToDisplay soon\n", ".simulate:1: daysToDisplay takes a whole number" },
        { "clear 0\n", ".simulate:1: '0' is neither a number of notifications (1 or more) nor all\n" },
        { "idle -3\n", ".simulate:1: '-3' is not a number of seconds" },
        { "wake\nswipe 0 x 81\n", ".simulate:2: 'x' is not a row number (0 for the first)\n" },
        { "swipe 0 0 -81\n", ".simulate:1: a row is pulled to the right: DX is 0 or more\n" },
        { "drag-table far\n", ".simulate:1: 'far' is not a number of points, such as 81 or -80.5\n" },
        { "wake\nnotify Mail \"Lunch \xE9t\xE9\"\n",
            ".simulate:2: byte 20 of the line is not part of a character: a script is UTF-8 text\n" },
    };
    for (const Case& c : cases) {
        const command_runner::Result result = play(c.script);
        // A line that is no step is a usage error, as the same words on the command line are.
        EXPECT_EQ(result.status, 2) << c.script;
        EXPECT_EQ(result.out, "") << c.script;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << c.script << "\n" << result.err;
    }
    std::error_code error;
    EXPECT_FALSE(
        std::filesystem::exists(root_.file("/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist"), error))
        << "a refused script still stored a preference";
}

// The example script: woken with nothing pending the list has its own page; a
// notification moves it under the notifications; clearing them gives it a new page;
// unlocking hides it.
TEST_F(Simulate, TheTypicalRoad)
{
    const command_runner::Result result = playFile(DAYGLASS_EXAMPLES "/typical-road.simulate");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<json> lines = steps(result);
    ASSERT_EQ(lines.size(), 8u);

    const CGRect suggested
        = host::lockScreenLayout(host::defaultDeviceModel(), host::Orientation::Portrait).notificationArea;
    const json ownPage = lines[1]["state"];
    EXPECT_TRUE(contains(lines[0]["changes"], "own page shown")) << lines[0];
    EXPECT_EQ(ownPage["list"], "own page");
    EXPECT_EQ(ownPage["screen"], "on");
    EXPECT_EQ(ownPage["ownPageTable"],
        rect(CGRectMake(
            suggested.origin.x + 8, suggested.origin.y, suggested.size.width - 16, suggested.size.height - 70)));

    const json footer = lines[3]["state"];
    EXPECT_TRUE(contains(lines[2]["changes"], "own page dismissed")) << lines[2];
    EXPECT_EQ(footer["list"], "footer");
    EXPECT_EQ(footer["ownPageTable"], nullptr);
    EXPECT_EQ(footer["footerTable"], rect(CGRectMake(8, 0, suggested.size.width - 16, suggested.size.height - 70)));
    EXPECT_EQ(footer["footer"][3], footer["dglEventTableHeight"]);
    EXPECT_EQ(footer["footerTableScrolls"], false);

    EXPECT_TRUE(contains(lines[4]["changes"], "own page shown")) << lines[4];
    EXPECT_TRUE(contains(lines[4]["changes"],
        "own-page table built at (8, " + std::to_string(int(suggested.origin.y)) + ", 359, "
            + std::to_string(int(suggested.size.height - 70)) + ")"))
        << lines[4];
    EXPECT_EQ(lines[5]["state"]["list"], "own page");

    EXPECT_TRUE(contains(lines[6]["log"], lockScreenLine)) << lines[6];
    EXPECT_EQ(lines[7]["state"]["list"], "none");
    EXPECT_EQ(lines[7]["state"]["locked"], false);
}

// The settings pane's change reaches the running extension: its own time-out
// replaces SpringBoard's from the next wake on.
TEST_F(Simulate, APreferenceSetDuringTheSessionTurnsTheScreenOffOnTime)
{
    const command_runner::Result result
        = play("prefs set customLSTimeoutEnabled YES\nprefs set customLSTimeout 30\nwake\nidle 29\nidle 1\n");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<json> lines = steps(result);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(contains(lines[2]["changes"], "screen on")) << lines[2];
    EXPECT_FALSE(contains(lines[3]["changes"], "screen off")) << lines[3];
    EXPECT_TRUE(contains(lines[4]["changes"], "screen off")) << lines[4];
}

TEST_F(Simulate, RotatingTheIPadRecentresTheOwnPageTable)
{
    const command_runner::Result result = play("wake\nrotate landscape\nstate\n", { "--device", "ipad" });
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<json> lines = steps(result);
    ASSERT_EQ(lines.size(), 3u);
    const CGRect suggested
        = host::lockScreenLayout(*host::findDeviceModel("ipad"), host::Orientation::Landscape).notificationArea;
    ASSERT_GT(suggested.origin.x, 200);
    const json table = lines[2]["state"]["ownPageTable"];
    EXPECT_EQ(table[0], (1024 - suggested.size.width) * 0.5 + 8) << lines[2];
    EXPECT_EQ(table[2], suggested.size.width - 16);
}

// A dark screen photographs black, and taking the picture leaves SpringBoard's views alone.
TEST_F(Simulate, ASnapshotOfTheDarkScreenIsBlackAndChangesNothing)
{
    const std::string picture = (root_.path() / "dark.png").string();
    const command_runner::Result result
        = play("wake\nnotify Mail Lunch\nidle 60\nsnapshot " + picture + "\nwake\nstate\n");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<json> lines = steps(result);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3]["changes"], json::array());
    EXPECT_EQ(lines[5]["state"]["list"], "footer");

    const Ref<UIImage> image = UIImage::imageWithContentsOfFile(picture);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 750u);
    EXPECT_EQ(image->pixelAt(375, 300), (UIImagePixel { 0, 0, 0, 255 }));
}
