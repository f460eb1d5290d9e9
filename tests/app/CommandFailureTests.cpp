// How the command fails: output it cannot write, inputs that are no files, and
// usage errors, each with its exit status and its one line on stderr.
#include "CommandRunner.h"

#include <TempDeviceRoot.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>

using command_runner::Output;
using command_runner::run;

namespace {

class CommandFailure : public ::testing::Test {
protected:
    std::string file(const std::string& name) const { return (folder_.path() / name).string(); }

    std::string script(const std::string& name, const std::string& text) const
    {
        std::ofstream(file(name)) << text;
        return file(name);
    }

    // Runs on a copy of nothing: the root's own preferences are absent, the
    // extension is the sample device's.
    command_runner::Result dayglass(std::vector<std::string> args) const
    {
        args.insert(args.end(), { "--root", root_.path().string() });
        return run(args);
    }

    testing_support::TempDeviceRoot root_;
    testing_support::TempDeviceRoot folder_;
};

} // namespace

// Every subcommand's answer goes through one checked stream: a full disk is a
// failure, a reader that went away ends the command as SIGPIPE would.
TEST_F(CommandFailure, OutputThatCannotBeWrittenIsReported)
{
    const std::string steps = script("state.simulate", "wake\nstate\n");
    const std::vector<std::vector<std::string>> answers {
        { "list" },
        { "list", "--json" },
        { "settings" },
        { "prefs", "keys" },
        { "prefs", "show", "--json" },
        { "calendars", "--json" },
        { "serve", "--port", "0" },
        { "render", "--layout-json", "-o", file("x.png") },
        { "simulate", steps },
        { "list", "--help" },
    };
    for (const auto& args : answers) {
        SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args[1] : ""));
        const auto full = run(args, Output::FullDisk);
        EXPECT_EQ(full.status, 1);
        EXPECT_EQ(full.err, "dayglass: cannot write the output: no space left on device\n");

        const auto closed = run(args, Output::ClosedPipe);
        EXPECT_EQ(closed.status, 128 + SIGPIPE);
        EXPECT_EQ(closed.err, "");
    }
}

TEST_F(CommandFailure, ScriptsPicturesAndPreferencesMustBeRegularFiles)
{
    ASSERT_EQ(::mkfifo(file("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(file("folder"));
    const auto folder = dayglass({ "simulate", file("folder") });
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.err, "dayglass: the script " + file("folder") + " is a folder, not a file\n");

    // Neither waits for a writer that never comes.
    EXPECT_EQ(dayglass({ "simulate", file("fifo") }).err,
        "dayglass: the script " + file("fifo") + " is not a regular file\n");
    const auto wallpaper = dayglass({ "render", "--wallpaper", file("fifo"), "-o", file("x.png") });
    EXPECT_EQ(wallpaper.status, 2);
    EXPECT_EQ(wallpaper.err, "dayglass: --wallpaper: '" + file("fifo") + "' is not a regular file (see --help)\n");

    const auto notPng = dayglass({ "render", "--wallpaper", script("text.png", "hello"), "-o", file("x.png") });
    EXPECT_EQ(notPng.err, "dayglass: the wallpaper " + file("text.png") + " is not a PNG picture\n");

    const std::string preferences = root_.file("/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist").string();
    ASSERT_EQ(::mkfifo(preferences.c_str(), 0600), 0);
    const auto settings = dayglass({ "settings" });
    EXPECT_EQ(settings.status, 0);
    EXPECT_EQ(settings.err,
        "dayglass: note: cannot read " + preferences + ": it is not a regular file; the extension uses its defaults\n");
    EXPECT_EQ(dayglass({ "prefs", "set", "daysToDisplay", "3" }).status, 1);
}

// A line that is no step is a usage error, as the same words on the command
// line are; a step the device cannot carry out is a failure. Both say where.
TEST_F(CommandFailure, ScriptErrorsNameTheirFileAndLine)
{
    const std::string bad = script("bad.simulate", "wake\nprefs set daysToDisplay many\n");
    const auto parsed = dayglass({ "simulate", bad });
    EXPECT_EQ(parsed.status, 2);
    EXPECT_EQ(parsed.err.rfind("dayglass: " + bad + ":2: ", 0), 0u) << parsed.err;
    EXPECT_EQ(parsed.out, "");
    EXPECT_EQ(dayglass({ "prefs", "set", "daysToDisplay", "many" }).status, 2);

    const std::string failing = script("failing.simulate", "wake\n\nsnapshot " + file("missing/x.png") + "\n");
    const auto played = dayglass({ "simulate", failing });
    EXPECT_EQ(played.status, 1);
    EXPECT_EQ(played.err.rfind("dayglass: " + failing + ":3: snapshot ", 0), 0u) << played.err;
    EXPECT_NE(played.err.find("no such file or directory"), std::string::npos) << played.err;
}

TEST_F(CommandFailure, UsageErrorsAreStatusTwoWithWhatToDo)
{
    std::filesystem::create_symlink(file("loop"), file("loop"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused {
        { { "prefs", "shw" }, "unknown command \"prefs shw\"; did you mean prefs show? (see --help)" },
        { { "draw", "icn" }, "unknown command \"draw icn\"; did you mean draw icon? (see --help)" },
        { { "list", "b", "a", "c" }, "unexpected arguments: b a c (see --help)" },
        { { "render", "-o", "" }, "--output: no output file given (see --help)" },
        { { "render", "-o", "x.jpg" },
            "--output: 'x.jpg': the picture is written as PNG; give a name ending in .png (see --help)" },
        { { "list", "--calendars", file("loop") },
            "--calendars: '" + file("loop") + "' is a symbolic-link loop (see --help)" },
        { { "list", "--calendars", file("missing") },
            "--calendars: '" + file("missing") + "' does not exist (see --help)" },
        { { "list", "--max", "1001" },
            "--max: '1001' is not a number of events: give a whole number from 0 to 1000 (see --help)" },
        { { "draw", "dot", "--color", "#ff0000", "--diameter", "1e9", "-o", "d.png" },
            "--diameter: '1e9' is not a diameter the dot's image can hold: give a number of points from 0 to 80 (see "
            "--help)" },
        { { "draw", "dot", "--color", "#ff0000", "--diameter", "80.5", "-o", "d.png" },
            "--diameter: '80.5' is not a diameter the dot's image can hold: give a number of points from 0 to 80 (see "
            "--help)" },
    };
    for (const auto& [args, message] : refused) {
        const auto result = dayglass(args);
        EXPECT_EQ(result.status, 2) << message;
        EXPECT_EQ(result.err, "dayglass: " + message + "\n");
    }
    for (const std::vector<std::string>& args :
        { std::vector<std::string> { "--root", "", "list" }, { "list", "--root", "" } })
        EXPECT_EQ(run(args).err, "dayglass: --root: no device root given (see --help)\n");

    // Every number an option takes says its range in the help.
    const auto listHelp = run({ "list", "--help" });
    EXPECT_NE(listHelp.out.find("--max INT:0-1000"), std::string::npos) << listHelp.out;
    EXPECT_NE(listHelp.out.find("--days INT:0-3660"), std::string::npos) << listHelp.out;
    EXPECT_NE(run({ "render", "--help" }).out.find("--scale FLOAT:(0-8]"), std::string::npos);
    EXPECT_NE(run({ "draw", "dot", "--help" }).out.find("--diameter FLOAT:0-80"), std::string::npos);
}
