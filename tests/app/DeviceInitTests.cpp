// dayglass device init, run as a new user runs it: a device that lists their
// calendars at once, and a folder outside it that nothing touches.
#include "CommandRunner.h"

#include <TempDeviceRoot.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>

using command_runner::run;
using nlohmann::json;
namespace fs = std::filesystem;

namespace {

std::string item(const std::string& uid, const std::string& title)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Dayglass//Device tests//EN\r\nBEGIN:VEVENT\r\nUID:" + uid
        + "\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20250305T100000Z\r\nDTEND:20250305T110000Z\r\nSUMMARY:" + title
        + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

// Every entry under the folder, links as links, with what each holds.
std::map<std::string, std::string> contentsOf(const fs::path& folder)
{
    std::map<std::string, std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::ifstream file(entry.path(), std::ios::binary);
        found[fs::relative(entry.path(), folder).string()]
            = entry.is_regular_file() ? std::string(std::istreambuf_iterator<char>(file), {}) : "";
    }
    return found;
}

// The user's own files: a vdir and an exported calendar.
class DeviceInit : public ::testing::Test {
protected:
    DeviceInit()
    {
        fs::create_directories(home() / "calendars/personal");
        std::ofstream(home() / "calendars/personal/displayname") << "Personal";
        std::ofstream(home() / "calendars/personal/dentist.ics") << item("dentist", "Dentist");
        std::ofstream(home() / "export.ics") << item("flight", "Flight to Lisbon");
    }

    fs::path home() const { return user_.path(); }
    fs::path device() const { return user_.path() / "dg"; }

    testing_support::TempDeviceRoot user_;
};

} // namespace

TEST_F(DeviceInit, MakesADeviceThatListsTheCalendarsAtOnce)
{
    const auto made = run({ "device", "init", device().string(), "--calendars", (home() / "calendars").string(),
        (home() / "export.ics").string() });
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find("calendar Personal in private/var/mobile/Library/Calendars/personal: 1 item file from "),
        std::string::npos)
        << made.out;
    EXPECT_EQ(fs::read_symlink(device() / "var"), "private/var");
    EXPECT_TRUE(fs::is_regular_file(device() / "Library/MobileSubstrate/DynamicLibraries/Dayglass2.dylib"));
    EXPECT_TRUE(fs::exists(device() / "Applications/MobileCal.app/Info.plist"));
    EXPECT_FALSE(fs::exists(device() / "private/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist"));

    const auto listed
        = run({ "list", "--root", device().string(), "--now", "2025-03-05T08:00", "--tz", "UTC", "--json" });
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.err, "");
    const json agenda = json::parse(listed.out);
    std::vector<std::string> titles;
    for (const json& section : agenda["sections"])
        for (const json& event : section["events"])
            titles.push_back(event["title"].get<std::string>() + " / " + event["calendarTitle"].get<std::string>());
    // Both start at once, in no fixed order.
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string> { "Dentist / Personal", "Flight to Lisbon / export" }));
}

// A folder in use is refused whole; with --force, a link planted in the folder is
// named and never written through, and one in the place of a calendar folder is
// replaced, not followed.
TEST_F(DeviceInit, RefusesAFolderInUseAndNeverWritesOutsideIt)
{
    fs::create_directories(device());
    std::ofstream(device() / "notes.txt") << "mine";
    const auto refused = run({ "device", "init", device().string() });
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(device().string() + " is not empty; give a new or empty folder, or --force"),
        std::string::npos)
        << refused.err;
    EXPECT_EQ(contentsOf(device()).size(), 1u);
    const std::string notes = (device() / "notes.txt").string();
    EXPECT_EQ(run({ "device", "init", notes }).err,
        "dayglass: " + notes + " is not a folder; give a new or empty folder to make the device in\n");
    const auto missing = run({ "device", "init", (home() / "new").string(), "--calendars", "/nowhere" });
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "dayglass: --calendars: '/nowhere' does not exist (see --help)\n");

    const fs::path outside = home() / "outside";
    fs::create_directories(outside / "var/mobile/Library/Calendars/personal");
    std::ofstream(outside / "var/mobile/Library/Calendars/personal/keep.ics") << "kept";
    const auto before = contentsOf(outside);
    fs::create_symlink(outside, device() / "private");
    const auto throughLink = run({ "device", "init", device().string(), "--force" });
    EXPECT_EQ(throughLink.status, 1);
    EXPECT_NE(throughLink.err.find(device().string() + "/private is a symbolic link; nothing is written through one"),
        std::string::npos)
        << throughLink.err;

    fs::remove(device() / "private");
    fs::create_directories(device() / "private/var/mobile/Library/Calendars");
    fs::create_directory_symlink(
        outside / "var/mobile/Library/Calendars/personal", device() / "private/var/mobile/Library/Calendars/personal");
    const auto forced = run(
        { "device", "init", device().string(), "--force", "--calendars", (home() / "calendars/personal").string() });
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_FALSE(fs::is_symlink(device() / "private/var/mobile/Library/Calendars/personal"));
    EXPECT_TRUE(fs::exists(device() / "private/var/mobile/Library/Calendars/personal/dentist.ics"));
    EXPECT_EQ(contentsOf(outside), before);
    EXPECT_TRUE(fs::exists(device() / "notes.txt"));
}
