#include "CommandRunner.h"

#include <TempDeviceRoot.h>

#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSValue.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <future>

using command_runner::run;
using nlohmann::json;

namespace {

const char* const preferencesPath = "/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist";

const char* const fieldNames[] = {
    "groupByDays",
    "customLSTimeoutEnabled",
    "customLSTimeout",
    "headerIsUppercase",
    "sectionHeaderBackgroundColor",
    "sectionHeaderTextColor",
    "isEnabled",
    "customLaunchAppBundleID",
    "showSeparatorLines",
    "rightAlignedDate",
    "onlySelectedCalendars",
    "displayLocation",
    "sameHeightRows",
    "swipeAction",
    "iconType",
    "textColor",
    "titleColorSameAsCalendarColor",
    "backgroundColor",
    "headerTextSize",
    "textSize",
    "subtitleTextColor",
    "subtitleTextSize",
    "dateTextColor",
    "dateTextSize",
    "daysToDisplay",
    "maxEventsToDisplay",
    "hideDetailsWhileLocked",
};

const std::string defaultsText = "groupByDays                   YES\n"
                                 "customLSTimeoutEnabled        NO\n"
                                 "customLSTimeout               3\n"
                                 "headerIsUppercase             YES\n"
                                 "sectionHeaderBackgroundColor  white (1, 1, 1, 1)\n"
                                 "sectionHeaderTextColor        dark grey (0.333333, 0.333333, 0.333333, 1)\n"
                                 "isEnabled                     YES\n"
                                 "customLaunchAppBundleID       \"\"\n"
                                 "showSeparatorLines            YES\n"
                                 "rightAlignedDate              YES\n"
                                 "onlySelectedCalendars         YES\n"
                                 "displayLocation               NO\n"
                                 "sameHeightRows                YES\n"
                                 "swipeAction                   1 (open the event in Calendar)\n"
                                 "iconType                      0 (no icon)\n"
                                 "textColor                     black (0, 0, 0, 1)\n"
                                 "titleColorSameAsCalendarColor NO\n"
                                 "backgroundColor               lavender grey (0.729412, 0.717647, 0.74902, 1)\n"
                                 "headerTextSize                13\n"
                                 "textSize                      13\n"
                                 "subtitleTextColor             dark grey (0.333333, 0.333333, 0.333333, 1)\n"
                                 "subtitleTextSize              12\n"
                                 "dateTextColor                 brown (0.6, 0.4, 0.2, 1)\n"
                                 "dateTextSize                  11\n"
                                 "daysToDisplay                 2\n"
                                 "maxEventsToDisplay            0\n"
                                 "hideDetailsWhileLocked        NO\n";

class Dayglass : public ::testing::Test {
protected:
    std::string root() const { return root_.path().string(); }

    command_runner::Result dayglass(std::vector<std::string> args) const
    {
        args.push_back("--root");
        args.push_back(root());
        return run(args);
    }

    json settings() const
    {
        const auto result = dayglass({ "settings", "--json" });
        EXPECT_EQ(result.status, 0) << result.err;
        return json::parse(result.out);
    }

    void expectSet(std::vector<std::string> args) const
    {
        args.insert(args.begin(), { "prefs", "set" });
        const auto result = dayglass(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
    }

    // The error of a command that must fail: one line.
    std::string failure(const std::vector<std::string>& args) const
    {
        const auto result = dayglass(args);
        EXPECT_NE(result.status, 0);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        return result.err;
    }

    Ref<NSDictionary> storedPreferences() const
    {
        return dynamicCast<NSDictionary>(NSPropertyListSerialization::propertyListWithContentsOfFile(preferencesPath));
    }

    testing_support::TempDeviceRoot root_;
};

} // namespace

TEST_F(Dayglass, SettingsOnAnEmptyRootPrintDefaultsAndTheLogLine)
{
    const auto result = dayglass({ "settings", "--log" });
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, defaultsText);
    EXPECT_NE(result.err.find("DGL: unable to load preferences.\n"), std::string::npos) << result.err;

    EXPECT_EQ(dayglass({ "settings" }).err, "");
}

TEST_F(Dayglass, SettingsAsJsonKeepTheFieldOrderAndKinds)
{
    const std::string text = dayglass({ "settings", "--json" }).out;
    std::size_t previous = 0;
    for (const char* name : fieldNames) {
        const std::size_t at = text.find(std::string("\"") + name + "\":");
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GT(at, previous) << name << " out of order";
        previous = at;
    }
    const json record = json::parse(text);
    EXPECT_EQ(record.size(), std::size(fieldNames));
    EXPECT_EQ(record["groupByDays"], true);
    EXPECT_EQ(record["daysToDisplay"], 2);
    EXPECT_EQ(record["customLaunchAppBundleID"], "");
    EXPECT_EQ(
        record["backgroundColor"], json::parse("[0.7294117647058823, 0.7176470588235294, 0.7490196078431373, 1.0]"));
    EXPECT_TRUE(record["textColor"][0].is_number_float());
}

TEST_F(Dayglass, TextColor999FollowsTheCalendar)
{
    expectSet({ "textColor", "999" });
    const json record = settings();
    EXPECT_EQ(record["textColor"], json::parse("[1.0, 1.0, 1.0, 1.0]"));
    EXPECT_EQ(record["titleColorSameAsCalendarColor"], true);
}

TEST_F(Dayglass, PrefsWriteABinaryFileAndKeepOtherKeys)
{
    root_.writeText(preferencesPath,
        "<plist version=\"1.0\"><dict><key>paneVersion</key><string>2.1</string>"
        "<key>daysToDisplay</key><integer>4</integer></dict></plist>");
    expectSet({ "daysToDisplay", "5" });
    expectSet({ "textSize", " 15abc", "--string" });
    expectSet({ "enabled", "no" });
    expectSet({ "iconType", "DOT" });

    std::ifstream file(root_.file(preferencesPath), std::ios::binary);
    std::string magic(8, '\0');
    file.read(magic.data(), 8);
    EXPECT_EQ(magic, "bplist00");
    Ref<NSDictionary> stored = storedPreferences();
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->count(), 5u);
    EXPECT_EQ(stored->objectForKey("paneVersion")->description(), "2.1");
    EXPECT_FALSE(static_cast<NSNumber*>(stored->objectForKey("enabled"))->boolValue());

    const json record = settings();
    EXPECT_EQ(record["daysToDisplay"], 5);
    EXPECT_EQ(record["textSize"], 15);
    EXPECT_EQ(record["isEnabled"], false);
    EXPECT_EQ(record["iconType"], 1);

    const auto shown = dayglass({ "prefs", "show" });
    EXPECT_NE(shown.out.find("daysToDisplay                 5\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("textColor                     (not set)\n"), std::string::npos);
    EXPECT_NE(shown.out.find("paneVersion                   \"2.1\"  (not read by Dayglass)\n"), std::string::npos);
}

// Other programs' keys are shown as what they are, and kept whole.
TEST_F(Dayglass, OtherProgramsValuesAreShownAsTheyAreAndNeverCut)
{
    root_.writeText(preferencesPath,
        "<plist version=\"1.0\"><dict><key>ratio</key><real>14.7</real>"
        "<key>list</key><array><integer>1</integer><string>x</string></array>"
        "<key>nested</key><dict><key>on</key><true/></dict>"
        "<key>when</key><date>2026-03-05T09:41:00Z</date>"
        "<key>blob</key><data>AAFoaQ==</data>"
        "<key>quote</key><string>say \"hi\"\n\tnext</string></dict></plist>");
    EXPECT_EQ(json::parse(dayglass({ "prefs", "show", "--json" }).out)["otherKeys"],
        json::parse(R"({"ratio": 14.7, "list": [1, "x"], "nested": {"on": true}, "when": "2026-03-05T09:41:00+00:00",
            "blob": "AAFoaQ==", "quote": "say \"hi\"\n\tnext"})"));
    EXPECT_NE(
        dayglass({ "prefs", "show" }).out.find("quote                         \"say \\\"hi\\\"\\n\\tnext\"  (not"),
        std::string::npos);

    // {"u": "é\0x"} and {"u": "ab\0cd"} as binary property lists: a UTF-16 and an
    // ASCII string, each with a NUL in it, which is shown whole and never cut short.
    const std::pair<std::string, std::string> withNul[] = {
        { std::string("bplist00\xd1\x01\x02\x51\x75\x63\x00\xe9\x00\x00\x00\x78\x08\x0b\x0d\x00\x00\x00\x00"
                      "\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                      "\x00\x00\x00\x00\x00\x00\x14",
              55),
            std::string("\xc3\xa9\0x", 4) },
        { std::string("bplist00\xd1\x01\x02\x51\x75\x55\x61\x62\x00\x63\x64\x08\x0b\x0d\x00\x00\x00\x00\x00"
                      "\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                      "\x00\x00\x00\x00\x00\x13",
              54),
            std::string("ab\0cd", 5) },
    };
    for (const auto& [bytes, text] : withNul) {
        root_.writeText(preferencesPath, bytes);
        EXPECT_EQ(json::parse(dayglass({ "prefs", "show", "--json" }).out)["otherKeys"]["u"], text);
        EXPECT_NE(failure({ "prefs", "set", "daysToDisplay", "3" }).find("NUL character"), std::string::npos);
        std::ifstream file(root_.file(preferencesPath), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), bytes);
    }
}

TEST_F(Dayglass, UnsetAndResetRemoveOnlyTheExtensionsKeys)
{
    root_.writeText(preferencesPath,
        "<plist version=\"1.0\"><dict><key>paneVersion</key><string>2.1</string>"
        "</dict></plist>");
    expectSet({ "daysToDisplay", "5" });
    expectSet({ "maxEventsToDisplay", "3" });
    EXPECT_EQ(dayglass({ "prefs", "unset", "daysToDisplay" }).status, 0);
    EXPECT_EQ(storedPreferences()->count(), 2u);
    EXPECT_EQ(dayglass({ "prefs", "reset" }).status, 0);
    Ref<NSDictionary> stored = storedPreferences();
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->count(), 1u);
    EXPECT_NE(stored->objectForKey("paneVersion"), nullptr);
}

TEST_F(Dayglass, PrefsRefuseUnknownKeysAndValuesOfTheWrongKind)
{
    const std::string unknown = failure({ "prefs", "set", "colour", "3" });
    EXPECT_EQ(unknown.rfind("dayglass: unknown preference \"colour\"; the known ones are groupByDays, ", 0), 0u)
        << unknown;
    EXPECT_NE(unknown.find(", maxEventsToDisplay, hideDetailsWhileLocked\n"), std::string::npos);
    EXPECT_NE(failure({ "prefs", "unset", "isEnabled" }).find("unknown preference \"isEnabled\""), std::string::npos);
    EXPECT_NE(failure({ "prefs", "set", "enabled", "maybe" }).find("takes YES or NO"), std::string::npos);
    EXPECT_NE(failure({ "prefs", "set", "daysToDisplay", "7x" }).find("takes a whole number"), std::string::npos);
    EXPECT_NE(failure({ "prefs", "set", "textSize", "big", "--int" }).find("takes a whole number"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root_.file(preferencesPath)));
}

TEST_F(Dayglass, ADamagedPreferenceFileGivesDefaultsAndIsOnlyReplacedByReset)
{
    root_.writeText(preferencesPath, "<plist version=\"1.0\"><dict><key>daysToDisplay</key>");
    const auto result = dayglass({ "settings", "--log" });
    EXPECT_EQ(result.out, defaultsText);
    EXPECT_NE(result.err.find("DGL: unable to load preferences."), std::string::npos);
    for (const auto& args : std::vector<std::vector<std::string>> { { "settings" }, { "list" } })
        EXPECT_EQ(dayglass(args).err.rfind("dayglass: note: " + root_.file(preferencesPath).string()
                          + " is not a property-list dictionary; the extension uses its defaults (`dayglass prefs "
                            "reset` starts it afresh)\n",
                      0),
            0u);

    EXPECT_NE(failure({ "prefs", "set", "daysToDisplay", "4" }).find("prefs reset"), std::string::npos);
    EXPECT_EQ(dayglass({ "prefs", "reset" }).status, 0);
    expectSet({ "daysToDisplay", "4" });
    EXPECT_EQ(settings()["daysToDisplay"], 4);
}

TEST_F(Dayglass, ErrorsAreOneLineAndAFailingStatus)
{
    const std::string missing = (root_.path() / "missing").string();
    const auto noRoot = run({ "settings", "--root", missing });
    EXPECT_EQ(noRoot.status, 2);
    EXPECT_EQ(noRoot.err, "dayglass: no device root at " + missing + " (give an existing folder with --root)\n");
    EXPECT_EQ(noRoot.out, "");

    EXPECT_EQ(failure({ "fly" }).rfind("dayglass: ", 0), 0u);
    EXPECT_EQ(failure({ "prefs" }).rfind("dayglass: ", 0), 0u);
    EXPECT_EQ(failure({ "prefs", "set", "daysToDisplay" }).rfind("dayglass: ", 0), 0u);
}

TEST_F(Dayglass, TheRootComesFromTheOptionElseTheEnvironment)
{
    testing_support::TempDeviceRoot other;
    other.writeText(
        preferencesPath, "<plist version=\"1.0\"><dict><key>daysToDisplay</key><integer>9</integer></dict></plist>");
    expectSet({ "daysToDisplay", "6" });

    auto fromEnvironment = run({ "settings", "--json" }, { { "DAYGLASS_ROOT", other.path().string() } });
    EXPECT_EQ(json::parse(fromEnvironment.out)["daysToDisplay"], 9);
    auto fromOption = run({ "settings", "--json", "--root", root() }, { { "DAYGLASS_ROOT", other.path().string() } });
    EXPECT_EQ(json::parse(fromOption.out)["daysToDisplay"], 6);
}

TEST(DayglassSampleDevice, SettingsRunOnTheBuiltSampleDevice)
{
    const auto result = run({ "settings", "--json" });
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(json::parse(result.out).size(), std::size(fieldNames));
}

// A running device reloads when another process changes the preferences; within
// one process an absent textColor keeps the calendar-colour choice of the last load.
TEST_F(Dayglass, WatchPrintsTheRecordAgainAfterEveryChange)
{
    command_runner::Running watching({ "settings", "--watch", "--json", "--root", root() });
    const auto first = watching.nextLine();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(json::parse(*first)["daysToDisplay"], 2);

    expectSet({ "daysToDisplay", "7" });
    auto next = watching.nextLine();
    ASSERT_TRUE(next.has_value()) << "no record after the change";
    EXPECT_EQ(json::parse(*next)["daysToDisplay"], 7);

    expectSet({ "textColor", "999" });
    next = watching.nextLine();
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(json::parse(*next)["titleColorSameAsCalendarColor"], true);

    EXPECT_EQ(dayglass({ "prefs", "unset", "textColor" }).status, 0);
    next = watching.nextLine();
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(json::parse(*next)["titleColorSameAsCalendarColor"], true);
    EXPECT_EQ(json::parse(*next)["textColor"], json::parse("[0.0, 0.0, 0.0, 1.0]"));
}

// The settings pane never loses a toggle: every change of a burst of processes stays.
TEST_F(Dayglass, ConcurrentChangesOfDifferentKeysAllStay)
{
    const std::vector<std::pair<std::string, std::string>> changes { { "daysToDisplay", "5" },
        { "maxEventsToDisplay", "3" }, { "textSize", "15" }, { "headerTextSize", "14" }, { "dateTextSize", "10" },
        { "subtitleTextSize", "9" }, { "customLSTimeout", "30" }, { "swipeAction", "2" }, { "groupByDays", "NO" },
        { "displayLocation", "YES" }, { "iconType", "DOT" }, { "textColor", "4" } };
    std::vector<std::future<command_runner::Result>> running;
    for (const auto& [key, value] : changes)
        running.push_back(std::async(std::launch::async, [this, key, value] {
            return dayglass({ "prefs", "set", key, value });
        }));
    for (auto& result : running)
        EXPECT_EQ(result.get().status, 0);
    Ref<NSDictionary> stored = storedPreferences();
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->count(), changes.size());
}

TEST_F(Dayglass, AnUnreadableFileIsNamedAndNeverReset)
{
    root_.writeText(preferencesPath,
        "<plist version=\"1.0\"><dict><key>paneVersion</key><string>2.1</string>"
        "<key>daysToDisplay</key><integer>4</integer></dict></plist>");
    const std::filesystem::path file = root_.file(preferencesPath);
    // Whoever runs the command may enter every folder but not read the file.
    for (std::filesystem::path folder = file.parent_path(); folder != root_.path().parent_path();
         folder = folder.parent_path())
        std::filesystem::permissions(folder, std::filesystem::perms::all);
    std::filesystem::permissions(file, std::filesystem::perms::none);
    for (const auto& args : std::vector<std::vector<std::string>> {
             { "prefs", "show" }, { "prefs", "reset" }, { "prefs", "set", "daysToDisplay", "6" } }) {
        std::vector<std::string> withRoot = args;
        withRoot.insert(withRoot.end(), { "--root", root() });
        const auto result = command_runner::runUnprivileged(withRoot);
        EXPECT_EQ(result.status, 1) << args[1];
        EXPECT_EQ(result.err, "dayglass: cannot read " + file.string() + ": permission denied\n") << args[1];
    }
    // The extension falls back on its defaults, and the command says why.
    const auto shown = command_runner::runUnprivileged({ "settings", "--root", root() });
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, defaultsText);
    EXPECT_EQ(shown.err,
        "dayglass: note: cannot read " + file.string() + ": permission denied; the extension uses its defaults\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(storedPreferences()->count(), 2u);
}

TEST_F(Dayglass, ResetSaysWhatItRemovedAndAllStartsAfresh)
{
    root_.writeText(preferencesPath,
        "<plist version=\"1.0\"><dict><key>paneVersion</key><string>2.1</string>"
        "<key>daysToDisplay</key><integer>4</integer><key>enabled</key><false/></dict></plist>");
    EXPECT_EQ(dayglass({ "prefs", "reset" }).out, "Removed enabled, daysToDisplay.\n");
    EXPECT_EQ(dayglass({ "prefs", "reset" }).out, "No preference of the extension was set.\n");
    EXPECT_EQ(storedPreferences()->count(), 1u);
    EXPECT_EQ(dayglass({ "prefs", "reset", "--all" }).status, 0);
    EXPECT_EQ(storedPreferences()->count(), 0u);
}

// What the pane offers: names where the extension compares names, colour names,
// ranges; the type flags still write anything.
TEST_F(Dayglass, PrefsSetTakesThePanesValues)
{
    expectSet({ "iconType", "1" });
    expectSet({ "backgroundColor", "clear" });
    expectSet({ "dateTextColor", "Near-Black" });
    expectSet({ "textColor", "calendar" });
    expectSet({ "textSize", "2147483648", "--int" });
    const json shown = json::parse(dayglass({ "prefs", "show", "--json" }).out);
    EXPECT_EQ(shown["preferences"]["iconType"], "DOT");
    EXPECT_EQ(shown["preferences"]["backgroundColor"], 999);
    EXPECT_EQ(shown["preferences"]["dateTextColor"], 1);
    EXPECT_EQ(shown["preferences"]["textColor"], 999);
    EXPECT_EQ(shown["preferences"]["textSize"], 2147483648LL);
    EXPECT_EQ(shown["preferences"]["daysToDisplay"], nullptr);
    EXPECT_EQ(settings()["iconType"], 1);

    EXPECT_EQ(failure({ "prefs", "set", "textSize", "-5" }),
        "dayglass: textSize takes a whole number from 1 to 200 points, not \"-5\"\n");
    EXPECT_NE(failure({ "prefs", "set", "daysToDisplay", "2147483648" }).find("0 to 3660 days"), std::string::npos);
    EXPECT_NE(
        failure({ "prefs", "set", "textColor", "teal" }).find("8 purple, 9 brown, 999 calendar"), std::string::npos);
    EXPECT_NE(failure({ "prefs", "set", "customLaunchAppBundleID", "com.\xff" }).find("UTF-8"), std::string::npos);
    EXPECT_EQ(dayglass({ "prefs", "set", "enabled", "maybe" }).status, 2);
}

TEST_F(Dayglass, MistypedNamesGetTheKeyTheyMeant)
{
    EXPECT_EQ(failure({ "prefs", "set", "isEnabled", "false" }),
        "dayglass: unknown preference \"isEnabled\"; did you mean enabled? (`dayglass prefs keys` lists them all)\n");
    EXPECT_NE(failure({ "prefs", "set", "daysToDisplya", "3" }).find("did you mean daysToDisplay?"), std::string::npos);
    EXPECT_NE(
        failure({ "prefs", "set", "titleColorSameAsCalendarColor", "YES" }).find("textColor 999"), std::string::npos);
    const auto keys = dayglass({ "prefs", "keys" });
    EXPECT_EQ(std::count(keys.out.begin(), keys.out.end(), '\n'), 27);
    EXPECT_NE(keys.out.find("iconType                      string   NONE           NONE, DOT, DOT_LARGE or CALENDAR"),
        std::string::npos)
        << keys.out;
}

TEST_F(Dayglass, ExitStatusesSayUsageOrFailure)
{
    const auto unknown = dayglass({ "lsit" });
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "dayglass: unknown command \"lsit\"; did you mean list? (see --help)\n");
    EXPECT_EQ(dayglass({ "list", "--days", "abc" }).err,
        "dayglass: --days: 'abc' is not a number of days: give a whole number from 0 to 3660 (see --help)\n");
    EXPECT_EQ(dayglass({ "list", "--days", "abc" }).status, 2);
    EXPECT_EQ(dayglass({ "list", "--bogus" }).status, 2);
    const auto version = run({ "--version" });
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("dayglass ", 0), 0u);
    for (const char* subcommand : { "list", "render", "settings", "prefs", "draw" }) {
        const auto help = run({ subcommand, "--help" });
        EXPECT_EQ(help.status, 0) << subcommand;
        EXPECT_NE(help.out.find("--root"), std::string::npos) << subcommand;
        EXPECT_NE(help.out.find("--log"), std::string::npos) << subcommand;
        EXPECT_NE(help.out.find("Exit status: 0 success"), std::string::npos) << subcommand;
    }
}

// A watch stopped by a signal takes its notification socket with it; a socket
// whose process is gone is cleared by the next post.
TEST_F(Dayglass, WatchLeavesNoSocketBehind)
{
    testing_support::TempDeviceRoot runtime;
    auto sockets = [&] {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(runtime.path()))
            if (entry.path().extension() == ".sock")
                found.push_back(entry.path());
        return found;
    };
    for (int signal : { SIGINT, SIGTERM }) {
        command_runner::Running watching(
            { "settings", "--watch", "--root", root() }, { { "XDG_RUNTIME_DIR", runtime.path().string() } });
        ASSERT_TRUE(watching.nextLine().has_value());
        const std::vector<std::filesystem::path> listening = sockets();
        ASSERT_EQ(listening.size(), 1u);

        // A socket nobody listens on any more, as a killed process leaves it.
        const std::filesystem::path stale = listening.front().parent_path() / "1.sock";
        const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, stale.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        EXPECT_EQ(run({ "prefs", "set", "daysToDisplay", "3", "--root", root() },
                      { { "XDG_RUNTIME_DIR", runtime.path().string() } })
                      .status,
            0);
        EXPECT_FALSE(std::filesystem::exists(stale));

        watching.stop(signal);
        EXPECT_TRUE(sockets().empty()) << signal;
    }
}
