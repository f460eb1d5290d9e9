// A whole session on a device root that nothing may write: the root is bind-mounted
// read-only in a private mount namespace, since root ignores file modes. Only the
// preference folder is mounted writable over it, from a folder outside the root,
// for the settings pane's `prefs set` steps. The calendar index, which would live
// under the root, has to make do with memory.
#include "CommandRunner.h"

#include <TempDeviceRoot.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const char* const preferencesFolder = "private/var/mobile/Library/Preferences";

// Every entry under the folder, by relative path: the bytes of a file, the target
// of a link, the mode bits of each.
std::map<std::string, std::size_t> fingerprint(const fs::path& folder)
{
    std::map<std::string, std::size_t> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        std::string content = std::to_string(static_cast<unsigned>(entry.symlink_status().permissions())) + ":";
        if (entry.is_symlink())
            content += fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file()) {
            std::ifstream file(entry.path(), std::ios::binary);
            content.append(std::istreambuf_iterator<char>(file), {});
        }
        entries[fs::relative(entry.path(), folder).string()] = std::hash<std::string> {}(content);
    }
    return entries;
}

std::string quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

// The mounts for the session; an empty error when this sandbox can make them.
std::string mountsFor(const fs::path& root, const fs::path& preferences)
{
    return "mount --bind " + quoted(root) + " " + quoted(root) + " && mount -o remount,bind,ro " + quoted(root)
        + " && mount --bind " + quoted(preferences) + " " + quoted(root / preferencesFolder);
}

std::string whyNoReadOnlyMount(const fs::path& folder)
{
    const command_runner::Result probe = command_runner::runInMountNamespace("mount --bind " + quoted(folder) + " "
            + quoted(folder) + " && mount -o remount,bind,ro " + quoted(folder) + " && ! touch "
            + quoted(folder / "probe") + " 2>/dev/null",
        { "--version" });
    return probe.status == 0 ? "" : "no private mount namespace with a read-only bind mount here: " + probe.err;
}

std::vector<json> steps(const std::string& out)
{
    std::vector<json> lines;
    std::istringstream stream(out);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(json::parse(line));
    return lines;
}

} // namespace

TEST(ReadOnlyRoot, AWholeSessionPassesAndChangesNoByteUnderTheRoot)
{
    testing_support::TempDeviceRoot outside;
    const fs::path root = outside.path() / "device";
    const fs::path preferences = outside.path() / "preferences";
    fs::copy(DAYGLASS_EXAMPLES "/device", root, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    fs::copy(root / preferencesFolder, preferences, fs::copy_options::recursive);
    if (const std::string reason = whyNoReadOnlyMount(outside.path()); !reason.empty())
        GTEST_SKIP() << reason;

    const fs::path script = outside.path() / "session.simulate";
    std::ofstream(script) << "wake\nstate\n"
                             "notify Messages \"Anna\" \"Running late\"\nstate\n"
                             "clear all\nswipe 0 0 90\nstate\nlock\n"
                             "prefs set enabled no\nwake\nstate\n"
                             "prefs set enabled yes\nnotify Mail \"Lunch?\"\nstate\n";
    const std::map<std::string, std::size_t> before = fingerprint(root);
    const std::vector<std::string> pinned { "--root", root.string(), "--now", "2026-03-05T09:41", "--tz",
        "Europe/Berlin" };
    const auto inNamespace = [&](std::vector<std::string> args) {
        args.insert(args.end(), pinned.begin(), pinned.end());
        return command_runner::runInMountNamespace(mountsFor(root, preferences), args);
    };

    const command_runner::Result session = inNamespace({ "simulate", script.string(), "--json" });
    ASSERT_EQ(session.status, 0) << session.err;
    const std::vector<json> lines = steps(session.out);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[1]["state"]["list"], "own page") << lines[1];
    EXPECT_EQ(lines[3]["state"]["list"], "footer") << lines[3];
    // The swipe opened the first row's event, which unlocked the phone.
    EXPECT_EQ(lines[6]["state"]["foreground"], "com.apple.mobilecal") << lines[6];
    EXPECT_EQ(lines[6]["state"]["locked"], false);
    EXPECT_EQ(lines[10]["state"]["list"], "none") << lines[10];
    EXPECT_EQ(lines[13]["state"]["list"], "footer") << lines[13];

    // The calendar index cannot be kept on the root: the calendars are read into memory.
    const command_runner::Result listed = inNamespace({ "list", "--log" });
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.err.find("no calendar index can be kept"), std::string::npos) << listed.err;
    EXPECT_NE(listed.out.find("Dinner"), std::string::npos) << listed.out;

    EXPECT_EQ(fingerprint(root), before);
}
