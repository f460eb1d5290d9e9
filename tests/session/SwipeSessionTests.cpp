#include "CommandRunner.h"

#include <TempDeviceRoot.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

using nlohmann::json;

namespace {

const std::string calendar = "com.apple.mobilecal";
const std::string backgroundQueue = "com.apple.root.default-qos";

json opened(const std::string& url, const std::string& application, bool asksToUnlock, const std::string& thread)
{
    return { { "kind", "url" }, { "url", url }, { "application", application }, { "shows", nullptr },
        { "asksToUnlock", asksToUnlock }, { "thread", thread } };
}

json launched(const std::string& url, const std::string& application, const std::string& shows)
{
    return { { "kind", "launch" }, { "url", url }, { "application", application }, { "shows", shows },
        { "asksToUnlock", nullptr }, { "thread", "main" } };
}

bool contains(const json& list, const std::string& text)
{
    return std::find(list.begin(), list.end(), json(text)) != list.end();
}

// Sessions on a copy of the sample device (its calendars, its applications),
// pinned to Thursday 5 March 2026, 09:41 in Berlin, printed as JSON. The built
// device is also the user's playground, so its preferences are taken from the
// example as shipped, whatever `prefs set` has changed since.
class SwipeSession : public testing::Test {
protected:
    SwipeSession()
    {
        namespace fs = std::filesystem;
        fs::copy(DAYGLASS_SAMPLE_DEVICE, root_.path(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        const std::string preferences = "/private/var/mobile/Library/Preferences";
        fs::copy(DAYGLASS_EXAMPLES "/device" + preferences, root_.path().string() + preferences,
            fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }

    // One object per step.
    std::vector<json> play(const std::string& script, std::vector<std::string> options = {})
    {
        const std::string file = (root_.path() / "session.simulate").string();
        std::ofstream(file) << script;
        return playFile(file, std::move(options));
    }

    std::vector<json> playFile(const std::string& file, std::vector<std::string> options = {})
    {
        std::vector<std::string> arguments { "simulate", file, "--json", "--root", root_.path().string(), "--now",
            "2026-03-05T09:41", "--tz", "Europe/Berlin" };
        arguments.insert(arguments.end(), options.begin(), options.end());
        const command_runner::Result result = command_runner::run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        std::vector<json> lines;
        std::istringstream out(result.out);
        for (std::string line; std::getline(out, line);)
            lines.push_back(json::parse(line));
        return lines;
    }

    testing_support::TempDeviceRoot root_;
};

// The first row's event link, as the calendar store gives it.
std::string firstRowLink(const json& swipe)
{
    const json& launches = swipe["launches"];
    return launches.empty() ? std::string() : launches[0]["url"].get<std::string>();
}

} // namespace

// Past 80 points each action opens its application once, unlocking the phone
// that has no passcode; at 80 nothing happens; an empty application to launch
// writes only the first line.
TEST_F(SwipeSession, EachActionOpensItsApplication)
{
    const std::vector<json> steps = play("wake\n"
                                         "swipe 0 0 80\n"
                                         "swipe 0 0 81\n"
                                         "lock\nprefs set swipeAction 2\nwake\n"
                                         "swipe 0 1 81\n"
                                         "lock\nprefs set swipeAction 3\nprefs set customLaunchAppBundleID \"\"\nwake\n"
                                         "swipe 0 0 81\n"
                                         "prefs set customLaunchAppBundleID com.example.notes\nunlock\nlock\nwake\n"
                                         "swipe 0 0 81\n"
                                         "state\n");
    ASSERT_EQ(steps.size(), 18u);
    EXPECT_EQ(steps[1]["gestures"], json({ "let go at (-80, 0)" }));
    EXPECT_EQ(steps[1]["log"], json::array());
    EXPECT_EQ(steps[1]["launches"], json::array());

    const std::string link = firstRowLink(steps[2]);
    EXPECT_EQ(link.rfind("x-apple-calevent://", 0), 0u) << steps[2];
    EXPECT_EQ(steps[2]["launches"],
        json({ opened(link, calendar, true, backgroundQueue),
            launched(link, calendar, "Dinner: green curry, Thu 5 Mar 2026, all day") }));
    EXPECT_EQ(steps[2]["log"][0],
        "DGL2: scrollViewDidEndDraggingo customLaunchAppBundleID:com.apple.mobilecal, self.swipeAction=1");
    EXPECT_TRUE(contains(steps[2]["changes"], "unlocked")) << steps[2];

    const std::string day = "fantastical2://show?date=2026-3-5";
    EXPECT_EQ(steps[6]["launches"],
        json({ opened(day, "com.example.daybook", false, "main"), launched(day, "com.example.daybook", day) }));

    EXPECT_EQ(
        steps[11]["log"], json({ "DGL2: scrollViewDidEndDraggingo customLaunchAppBundleID:, self.swipeAction=3" }));
    EXPECT_EQ(steps[11]["launches"], json::array());

    EXPECT_EQ(steps[16]["launches"], json({ launched("", "com.example.notes", "its first screen") }));
    EXPECT_EQ(steps[17]["state"]["foreground"], "com.example.notes");
    EXPECT_EQ(steps[17]["state"]["locked"], false);
}

// With a passcode every action leaves the phone locked with the prompt up: a
// wrong passcode opens nothing, a cancelled prompt drops the launch, and the
// right passcode opens the one waiting application, once.
TEST_F(SwipeSession, APasscodeHoldsEveryActionUntilItIsEntered)
{
    const std::vector<json> steps = play("wake\n"
                                         "swipe 0 0 81\n"
                                         "state\n"
                                         "unlock 0000\n"
                                         "unlock 1234\n"
                                         "lock\nprefs set swipeAction 2\nwake\n"
                                         "swipe 0 1 81\n"
                                         "cancel\n"
                                         "unlock 1234\n"
                                         "lock\nprefs set swipeAction 3\nprefs set customLaunchAppBundleID "
                                         "com.example.notes\nwake\n"
                                         "swipe 0 0 81\n"
                                         "unlock 1234\n"
                                         "unlock 1234\n",
        { "--passcode", "1234" });
    ASSERT_EQ(steps.size(), 18u);
    for (std::size_t swipe : { 1, 8, 15 }) {
        EXPECT_TRUE(contains(steps[swipe]["changes"], "passcode prompt shown")) << steps[swipe];
        EXPECT_FALSE(contains(steps[swipe]["changes"], "unlocked")) << steps[swipe];
    }
    const json waiting = steps[2]["state"];
    EXPECT_EQ(waiting["locked"], true);
    EXPECT_EQ(waiting["passcodePrompt"], true);
    EXPECT_EQ(waiting["foreground"], nullptr);
    EXPECT_EQ(waiting["pendingLaunch"], calendar + " with " + firstRowLink(steps[1]));

    EXPECT_TRUE(contains(steps[3]["log"], "SpringBoard: wrong passcode")) << steps[3];
    EXPECT_TRUE(contains(steps[9]["changes"], "no launch waiting")) << steps[9];

    // Every application that came to the foreground, by step.
    std::vector<std::pair<std::size_t, std::string>> launches;
    for (std::size_t i = 0; i < steps.size(); ++i)
        for (const json& launch : steps[i]["launches"])
            if (launch["kind"] == "launch")
                launches.emplace_back(i, launch["application"].get<std::string>());
    EXPECT_EQ(
        launches, (std::vector<std::pair<std::size_t, std::string>> { { 4, calendar }, { 16, "com.example.notes" } }));
}

// The example plays to its end and opens the calendar, the outside calendar,
// the configured application and, after the passcode, the calendar again.
TEST_F(SwipeSession, TheExampleOpensFourApplications)
{
    std::vector<std::string> applications;
    for (const json& step : playFile(DAYGLASS_EXAMPLES "/swipe-to-open.simulate"))
        for (const json& launch : step["launches"])
            if (launch["kind"] == "launch")
                applications.push_back(launch["application"]);
    EXPECT_EQ(
        applications, (std::vector<std::string> { calendar, "com.example.daybook", "com.example.notes", calendar }));
}

// With the details hidden a swipe still opens the row's own event once the
// passcode is in; the owner recognised on the lock screen gets the list built
// again with its details, and opens without the passcode.
TEST_F(SwipeSession, HiddenDetailsKeepSwipesAndFollowTheOwner)
{
    const std::vector<json> steps = play("prefs set hideDetailsWhileLocked YES\n"
                                         "wake\n"
                                         "swipe 0 0 81\n"
                                         "unlock 1234\n"
                                         "lock\nwake\n"
                                         "authenticate\n"
                                         "state\n"
                                         "swipe 0 0 81\n",
        { "--passcode", "1234" });
    ASSERT_EQ(steps.size(), 9u);
    EXPECT_TRUE(contains(steps[2]["changes"], "passcode prompt shown")) << steps[2];
    const std::string link = firstRowLink(steps[2]);
    EXPECT_EQ(steps[3]["launches"], json({ launched(link, calendar, "Dinner: green curry, Thu 5 Mar 2026, all day") }));

    EXPECT_TRUE(contains(steps[6]["log"], "DGL2: rebuilding the list with its details")) << steps[6];
    EXPECT_TRUE(contains(steps[6]["changes"], "owner authenticated")) << steps[6];
    EXPECT_EQ(steps[7]["state"]["authenticated"], true);
    EXPECT_FALSE(contains(steps[8]["changes"], "passcode prompt shown")) << steps[8];
    EXPECT_TRUE(contains(steps[8]["changes"], "unlocked")) << steps[8];
    EXPECT_EQ(firstRowLink(steps[8]), link);
}

// A finger held down moves the row step by step and acts only when it lets go:
// at the last swipe, or at whatever step comes next.
TEST_F(SwipeSession, AHeldFingerActsOnlyWhenItLetsGo)
{
    const std::vector<json> steps = play("wake\n"
                                         "swipe 0 0 40 hold\n"
                                         "swipe 0 0 90 hold\n"
                                         "swipe 0 0 30\n"
                                         "swipe 0 0 90 hold\n"
                                         "state\n");
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[1]["gestures"], json::array({ "holding at (-40, 0)" }));
    EXPECT_EQ(steps[2]["gestures"], json::array({ "holding at (-90, 0)" }));
    EXPECT_TRUE(steps[2]["launches"].empty()) << "a held finger opened something";
    EXPECT_EQ(steps[3]["gestures"], json::array({ "let go at (-30, 0)" }));
    EXPECT_TRUE(steps[3]["launches"].empty()) << steps[3];
    EXPECT_EQ(steps[5]["gestures"], json::array({ "let go at (-90, 0)" }));
    EXPECT_EQ(firstRowLink(steps[5]).rfind("x-apple-calevent://", 0), 0u) << steps[5];
}

// Notifications push the list down past the screen's edge: its lower rows are
// out of reach until the notification list is dragged up, as on iOS 10.
TEST_F(SwipeSession, RowsBelowTheScreenAreReachedByScrollingTheNotifications)
{
    std::string notifications = "wake\n";
    for (const char* title : { "One", "Two", "Three" })
        notifications += std::string("notify Mail ") + title
            + " \"A message long enough to fill the four lines that a notification shows on the lock screen, and "
              "then some more words so that it surely does\"\n";
    const std::string script = (root_.path() / "unreachable.simulate").string();
    std::ofstream(script) << notifications << "swipe 1 1 90\n";
    const command_runner::Result refused = command_runner::run({ "simulate", script, "--root", root_.path().string(),
        "--now", "2026-03-05T09:41", "--tz", "Europe/Berlin" });
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("row 1 of section 1 is not on screen; drag-table to bring it there"), std::string::npos)
        << refused.err;

    const std::vector<json> steps = play(notifications + "drag-table -300\nswipe 1 1 90\n");
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[4]["gestures"][0].get<std::string>().rfind("let go at (0, ", 0), 0u) << steps[4];
    EXPECT_EQ(firstRowLink(steps[5]).rfind("x-apple-calevent://", 0), 0u) << steps[5];
}

// Unlocked, the lock screen and its list are gone, footer and all.
TEST_F(SwipeSession, UnlockedTheStateShowsNoList)
{
    const std::vector<json> steps = play("wake\nnotify Mail Lunch\nunlock\nstate\n");
    ASSERT_EQ(steps.size(), 4u);
    const json state = steps[3]["state"];
    EXPECT_EQ(state["list"], "none");
    EXPECT_EQ(state["footerTable"], nullptr);
    EXPECT_TRUE(std::find(steps[2]["changes"].begin(), steps[2]["changes"].end(), json("list: none"))
        != steps[2]["changes"].end())
        << steps[2];
}

// Turned, or moved to another model, the lock screen shows exactly what one woken
// there shows: the list built for that screen, in its place.
TEST_F(SwipeSession, ANewScreenShowsWhatAWakeOnItShows)
{
    struct Case {
        const char* session;
        std::vector<std::string> simulate;
        std::vector<std::string> render;
    };
    const Case cases[] = {
        { "wake\nrotate landscape\n", { "--device", "ipad" }, { "--device", "ipad", "--landscape" } },
        { "wake\nrotate portrait\n", { "--device", "ipad", "--landscape" }, { "--device", "ipad" } },
        { "wake\nnotify Mail Lunch\ndevice iphonese\n", {}, { "--device", "iphonese", "--notify", "Mail|Lunch" } },
        { "wake\nnotify Mail Lunch\ndevice ipad\n", {}, { "--device", "ipad", "--notify", "Mail|Lunch" } },
    };
    for (const Case& c : cases) {
        const std::string shown = (root_.path() / "shown.png").string();
        const std::string woken = (root_.path() / "woken.png").string();
        play(std::string(c.session) + "snapshot " + shown + "\n", c.simulate);
        std::vector<std::string> render { "render", "--root", root_.path().string(), "--now", "2026-03-05T09:41",
            "--tz", "Europe/Berlin", "-o", woken };
        render.insert(render.end(), c.render.begin(), c.render.end());
        ASSERT_EQ(command_runner::run(render).status, 0) << c.session;
        std::ifstream a(shown, std::ios::binary), b(woken, std::ios::binary);
        const std::string shownBytes { std::istreambuf_iterator<char>(a), {} };
        const std::string wokenBytes { std::istreambuf_iterator<char>(b), {} };
        EXPECT_FALSE(shownBytes.empty()) << c.session;
        EXPECT_TRUE(shownBytes == wokenBytes) << c.session;
    }
}

// Turned, the lock screen stays in view: nothing is dismissed, and the list on
// its own page takes the frame a list woken on the turned screen has.
TEST_F(SwipeSession, ATurnedIpadKeepsItsLockScreen)
{
    for (const bool toLandscape : { true, false }) {
        std::vector<std::string> before { "--device", "ipad" }, after { "--device", "ipad" };
        (toLandscape ? after : before).push_back("--landscape");
        const std::vector<json> turned
            = play(std::string("wake\nrotate ") + (toLandscape ? "landscape" : "portrait") + "\nstate\n", before);
        const std::vector<json> woken = play("wake\nstate\n", after);
        ASSERT_EQ(turned.size(), 3u);
        ASSERT_EQ(woken.size(), 2u);
        for (const json& line : turned[1]["log"])
            EXPECT_EQ(line.get<std::string>().find("lockscreen did dissapear"), std::string::npos) << line;
        EXPECT_EQ(turned[2]["state"]["list"], "own page");
        EXPECT_EQ(turned[2]["state"]["ownPageTable"], woken[1]["state"]["ownPageTable"]) << toLandscape;
    }
}
