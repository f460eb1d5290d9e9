#include "CommandRunner.h"
#include "ImagePixels.h"

#include <TempDeviceRoot.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace testing_support;

namespace {

struct Outcome {
    int status;
    std::string out;
    // What the command prints after "dayglass: " when it fails.
    std::string error;
};

// Runs `dayglass draw …` as a user would, on the sample device.
Outcome runDraw(const std::vector<std::string>& arguments)
{
    const command_runner::Result result = command_runner::run(arguments);
    const std::string prefix = "dayglass: ";
    std::string error = result.err;
    if (error.rfind(prefix, 0) == 0)
        error.erase(0, prefix.size());
    if (!error.empty() && error.back() == '\n')
        error.pop_back();
    return { result.status, result.out, error };
}

class DrawCommandTest : public testing::Test {
protected:
    std::string file(const char* name) const { return (folder_.path() / name).string(); }

private:
    testing_support::TempDeviceRoot folder_;
};

} // namespace

TEST_F(DrawCommandTest, DrawsTheIconOfADayAndPrintsItsSize)
{
    const Outcome drawn
        = runDraw({ "draw", "icon", "--date", "2026-03-02", "--locale", "pt_BR", "-o", file("icon.png") });
    EXPECT_EQ(drawn.status, 0) << drawn.error;
    EXPECT_EQ(drawn.out, file("icon.png") + ": 64 × 64\n");

    const Ref<UIImage> icon = UIImage::imageWithContentsOfFile(file("icon.png"));
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), CGSizeMake(64, 64));
    // The Portuguese weekday, "segunda-feira", is the one too wide for the page.
    EXPECT_EQ(CGRectGetWidth(boundsOf(*icon, isRedInk)), 64);
}

TEST_F(DrawCommandTest, DrawsADotOfTheColorAndDiameter)
{
    const Outcome drawn = runDraw({ "draw", "dot", "--color", "#FF000080", "--diameter", "50", "-o", file("dot.png") });
    EXPECT_EQ(drawn.status, 0) << drawn.error;
    EXPECT_EQ(drawn.out, file("dot.png") + ": 80 × 80\n");

    const Ref<UIImage> dot = UIImage::imageWithContentsOfFile(file("dot.png"));
    ASSERT_TRUE(dot);
    EXPECT_EQ(dot->size(), CGSizeMake(80, 80));
    const UIImagePixel centre = dot->pixelAt(40, 40);
    EXPECT_EQ(centre.red, 255);
    EXPECT_EQ(centre.green, 0);
    EXPECT_NEAR(centre.alpha, 128, 1);
    EXPECT_TRUE(isBlack(dot->pixelAt(14, 40)));
    EXPECT_TRUE(isClear(dot->pixelAt(13, 40)));
}

TEST_F(DrawCommandTest, RefusesBadInputWithOneLine)
{
    const std::vector<std::vector<std::string>> bad {
        { "draw", "icon", "--date", "2026-02-30", "-o", file("x.png") },
        { "draw", "icon", "--date", "2026-3-5", "-o", file("x.png") },
        { "draw", "dot", "--color", "#ff00", "--diameter", "30", "-o", file("x.png") },
        { "draw", "dot", "--color", "red", "--diameter", "30", "-o", file("x.png") },
        { "draw", "dot", "--color", "#gg0000", "--diameter", "30", "-o", file("x.png") },
        { "draw", "dot", "--color", "#ff0000", "--diameter", "-1", "-o", file("x.png") },
        { "draw", "dot", "--color", "#ff0000", "--diameter", "wide", "-o", file("x.png") },
        { "draw", "dot", "--color", "#ff0000", "--diameter", "30", "-o", file("missing/x.png") },
        { "draw", "dot", "--color", "#ff0000", "--diameter", "30" },
        { "draw" },
    };
    for (const auto& arguments : bad) {
        const Outcome refused = runDraw(arguments);
        SCOPED_TRACE(refused.error);
        EXPECT_NE(refused.status, 0);
        EXPECT_NE(refused.error, "");
        EXPECT_EQ(refused.error.find('\n'), std::string::npos);
        EXPECT_EQ(refused.out, "");
    }
}
