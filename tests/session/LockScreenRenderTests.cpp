#include "CommandRunner.h"

#include <ImagePixels.h>
#include <TempDeviceRoot.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

using nlohmann::json;

namespace {

constexpr int ownPageTableTag = 298659386;

// Every view of the dumped tree that passes the test, depth first.
void collect(const json& view, const std::function<bool(const json&)>& test, std::vector<json>& found)
{
    if (test(view))
        found.push_back(view);
    if (view.contains("subviews"))
        for (const json& subview : view["subviews"])
            collect(subview, test, found);
}

std::vector<json> viewsWhere(const json& document, const std::function<bool(const json&)>& test)
{
    std::vector<json> found;
    collect(document["screen"], test, found);
    return found;
}

bool showsText(const json& document, const std::string& text)
{
    return !viewsWhere(document, [&](const json& v) { return v.value("text", "") == text; }).empty();
}

class RenderLockScreen : public testing::Test {
protected:
    // `dayglass render --layout-json` on the sample device at a fixed moment.
    json render(std::vector<std::string> options)
    {
        std::vector<std::string> arguments { "render", "-o", picture(), "--layout-json", "--now", "2026-03-05T09:41",
            "--tz", "Europe/Berlin", "--locale", "en_US" };
        arguments.insert(arguments.end(), options.begin(), options.end());
        const command_runner::Result result = command_runner::run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return json::parse(result.out);
    }

    std::string picture() const { return (folder_.path() / "lock.png").string(); }

private:
    testing_support::TempDeviceRoot folder_;
};

} // namespace

TEST_F(RenderLockScreen, WithoutNotificationsTheListHasItsOwnPageUnderTheClock)
{
    const json document = render({ "--scale", "3" });
    EXPECT_TRUE(showsText(document, "9:41"));
    EXPECT_TRUE(showsText(document, "Thursday, March 5"));
    EXPECT_TRUE(showsText(document, "Press home to unlock"));
    const std::vector<json> tables
        = viewsWhere(document, [](const json& v) { return v.value("tag", 0) == ownPageTableTag; });
    ASSERT_EQ(tables.size(), 1u);
    const json clock = viewsWhere(document, [](const json& v) { return v.value("text", "") == "9:41"; })[0];
    EXPECT_GE(tables[0]["pictureFrame"][1].get<double>(),
        clock["pictureFrame"][1].get<double>() + clock["pictureFrame"][3].get<double>());

    const Ref<UIImage> image = UIImage::imageWithContentsOfFile(picture());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 375u * 3);
    EXPECT_EQ(image->pixelHeight(), 667u * 3);
    // The clock's digits are white on the wallpaper.
    const auto at = [&](const char*, int i) { return clock["pictureFrame"][i].get<double>() * 3; };
    int white = 0;
    for (auto y = std::size_t(at("y", 1)); y < std::size_t(at("y", 1) + at("h", 3)); ++y)
        for (auto x = std::size_t(at("x", 0)); x < std::size_t(at("x", 0) + at("w", 2)); ++x)
            white += image->pixelAt(x, y) == UIImagePixel { 255, 255, 255, 255 };
    EXPECT_GT(white, 1000);
}

TEST_F(RenderLockScreen, ANotificationPutsTheListInTheFooterBelowIt)
{
    const json document = render({ "--notify", "Messages|Anna|Running late", "--device", "iphonese" });
    EXPECT_EQ(document["size"], json({ 320, 568 }));
    EXPECT_TRUE(showsText(document, "Running late"));
    EXPECT_TRUE(viewsWhere(document, [](const json& v) { return v.value("tag", 0) == ownPageTableTag; }).empty());
    const std::vector<json> footers
        = viewsWhere(document, [](const json& v) { return v["class"] == "DGLCollectionFooterView"; });
    ASSERT_EQ(footers.size(), 1u);
    const json message = viewsWhere(document, [](const json& v) { return v.value("text", "") == "Running late"; })[0];
    EXPECT_GE(footers[0]["pictureFrame"][1].get<double>(), message["pictureFrame"][1].get<double>());
}

TEST_F(RenderLockScreen, RefusesWhatItCannotDraw)
{
    for (const std::vector<std::string>& options : std::vector<std::vector<std::string>> {
             { "--notify", "no bar here" }, { "--device", "iphone8" }, { "--wallpaper", "/nonexistent.png" } }) {
        std::vector<std::string> arguments { "render", "-o", picture() };
        arguments.insert(arguments.end(), options.begin(), options.end());
        const command_runner::Result result = command_runner::run(arguments);
        EXPECT_NE(result.status, 0) << options[0];
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}

// Hiding the details, anyone sees each row's calendar and the usual hint; the
// owner sees titles and places, and "Press home to open".
TEST_F(RenderLockScreen, TheOwnerSeesTheDetailsAndPressHomeToOpen)
{
    testing_support::TempDeviceRoot root;
    std::filesystem::copy(DAYGLASS_SAMPLE_DEVICE, root.path(),
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
    command_runner::run({ "prefs", "set", "hideDetailsWhileLocked", "YES", "--root", root.path().string() });

    const json anyone = render({ "--root", root.path().string() });
    EXPECT_TRUE(showsText(anyone, "Work"));
    EXPECT_FALSE(showsText(anyone, "Team stand-up"));
    EXPECT_FALSE(showsText(anyone, "Room Aurora"));
    EXPECT_TRUE(showsText(anyone, "Press home to unlock"));

    const json owner = render({ "--root", root.path().string(), "--authenticated" });
    EXPECT_TRUE(showsText(owner, "Team stand-up"));
    EXPECT_TRUE(showsText(owner, "Room Aurora"));
    EXPECT_TRUE(showsText(owner, "Press home to open"));
}
