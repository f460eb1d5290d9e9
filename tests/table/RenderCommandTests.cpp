#include "CommandRunner.h"

#include <TempDeviceRoot.h>

#include <UIKit/UIImage.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using command_runner::run;
using nlohmann::json;

namespace {

class Render : public ::testing::Test {
protected:
    std::string png() const { return (root_.path() / "list.png").string(); }

    command_runner::Result render(std::vector<std::string> args) const
    {
        args.insert(args.begin(), { "render", "--list", "-o", png() });
        args.insert(args.end(), { "--root", root_.path().string() });
        return run(args);
    }

    json layout(std::vector<std::string> args) const
    {
        args.push_back("--layout-json");
        const auto result = render(args);
        EXPECT_EQ(result.status, 0) << result.err;
        return json::parse(result.out);
    }

    // One calendar with one event on the day after `now` below, at noon, which the
    // calendar application shows.
    void addEventNextDay(const std::string& title) const
    {
        root_.writeText("/var/mobile/Library/Preferences/com.apple.mobilecal.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict/></plist>\n");
        root_.writeText("/var/mobile/Library/Calendars/home/color", "#E53935\n");
        root_.writeText("/var/mobile/Library/Calendars/home/event.ics",
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Dayglass tests//EN\r\nBEGIN:VEVENT\r\nUID:next-day\r\n"
            "DTSTART:20260306T120000\r\nDTEND:20260306T130000\r\nSUMMARY:"
                + title + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }

    static constexpr const char* now = "2026-03-05T09:00";

    testing_support::TempDeviceRoot root_;
};

std::vector<double> frameOf(const json& view)
{
    return view.at("frame").get<std::vector<double>>();
}

// Every text shown anywhere in the tree.
void collectTexts(const json& view, std::vector<std::string>& texts)
{
    if (view.contains("text"))
        texts.push_back(view.at("text"));
    for (const json& subview : view.value("subviews", json::array()))
        collectTexts(subview, texts);
}

TEST_F(Render, DrawsTheListWhereTheLockScreenPutsItAndSaysWhere)
{
    const auto result = render({});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, png() + ": the event list, 375 × 667 points at scale 2 (750 × 1334 pixels)\n");
    const Ref<UIImage> image = UIImage::imageWithContentsOfFile(png());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 750u);
    EXPECT_EQ(image->pixelHeight(), 1334u);

    const json list = layout({}).at("list");
    EXPECT_EQ(list.at("class"), "DGLEventTable");
    EXPECT_EQ(frameOf(list), (std::vector<double> { 8, 150, 359, 380 }));
    // No calendars: the inner table keeps no more than a bare day header.
    const json& inner = list.at("subviews").at(0);
    EXPECT_EQ(inner.at("class"), "UITableView");
    EXPECT_LE(frameOf(inner)[3], 36);
}

TEST_F(Render, TakesTheSuggestedFrameAndTheScale)
{
    const json document = layout({ "--frame", "0,100,375,400", "--scale", "3" });
    EXPECT_EQ(document.at("size"), json::array({ 375, 667 }));
    EXPECT_EQ(document.at("scale"), 3);
    EXPECT_EQ(frameOf(document.at("list")), (std::vector<double> { 8, 100, 359, 330 }));
    const Ref<UIImage> image = UIImage::imageWithContentsOfFile(png());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 1125u);
    EXPECT_EQ(image->pixelHeight(), 2001u);
}

TEST_F(Render, ShowsTheEventsInARoundedList)
{
    addEventNextDay("Dentist appointment");
    const json list = layout({ "--now", now, "--tz", "Europe/Berlin", "--locale", "en_US" }).at("list");
    std::vector<std::string> texts;
    collectTexts(list, texts);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Dentist appointment"), texts.end());

    const Ref<UIImage> image = UIImage::imageWithContentsOfFile(png());
    ASSERT_TRUE(image);
    // The list's top-left corner is cut round, so the backdrop shows there, while
    // a little further in the list's own light grey does.
    const UIImagePixel corner = image->pixelAt(8 * 2 + 1, 150 * 2 + 1);
    const UIImagePixel inside = image->pixelAt(30 * 2, 150 * 2 + 2);
    EXPECT_LT(corner.red, 100);
    EXPECT_GT(inside.red, 150);
}

TEST_F(Render, RefusesAFrameOrScaleItCannotUse)
{
    for (const std::vector<std::string>& args : { std::vector<std::string> { "--frame", "0,100,375" },
             { "--frame", "a,b,c,d" }, { "--scale", "0" }, { "--scale", "20" } }) {
        const auto result = render(args);
        EXPECT_NE(result.status, 0) << args[1];
        EXPECT_NE(result.err.find(args[1]), std::string::npos) << result.err;
    }
    const auto huge = render({ "--frame", "0,0,100000,100000" });
    EXPECT_NE(huge.status, 0);
    EXPECT_NE(huge.err.find("too large"), std::string::npos) << huge.err;
}

} // namespace

// A failed write names the real reason; "-" is standard output; no size from
// the settings keeps the text engine from drawing.
TEST_F(Render, WritesWhereAskedOrSaysWhyNot)
{
    const std::string folder = root_.path().string();
    EXPECT_EQ(run({ "render", "--list", "-o", folder, "--root", folder }).err,
        "dayglass: cannot write " + folder + ": is a directory\n");
    const std::string missing = folder + "/missing/list.png";
    EXPECT_NE(run({ "render", "--list", "-o", missing, "--root", folder }).err.find("no such file or directory"),
        std::string::npos);
    EXPECT_EQ(run({ "render", "--list", "-o", "/dev/full", "--root", folder }).err,
        "dayglass: cannot write /dev/full: no space left on device\n");

    addEventNextDay("Huge");
    run({ "prefs", "set", "textSize", "2000000000", "--int", "--root", folder });
    const auto toStandardOutput = run({ "render", "--list", "-o", "-", "--now", now, "--root", folder });
    EXPECT_EQ(toStandardOutput.status, 0) << toStandardOutput.err;
    EXPECT_EQ(toStandardOutput.out.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(toStandardOutput.err.find("critical"), std::string::npos) << toStandardOutput.err;
    EXPECT_EQ(toStandardOutput.err.rfind("standard output: the event list", 0), 0u) << toStandardOutput.err;
}
