// dayglass prefs set killed with SIGKILL at random points: whatever the moment,
// the preference file stays one that the settings read, with every key it had.
#include "CommandRunner.h"

#include <TempDeviceRoot.h>

#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSValue.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace {

const char* const preferencesPath = "/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist";
// Keys another program keeps in the same file, and the extension's own.
const char* const keptKeys[] = { "paneVersion", "daysToDisplay", "textSize", "iconType" };

// DAYGLASS_KILL_RUNS=1000 is the long run. The kill points come from a fixed seed,
// printed on failure; DAYGLASS_KILL_SEED gives another.
std::size_t runsToMake()
{
    const char* runs = std::getenv("DAYGLASS_KILL_RUNS");
    return runs ? std::stoul(runs) : 100;
}

unsigned seedToUse()
{
    const char* seed = std::getenv("DAYGLASS_KILL_SEED");
    return seed ? static_cast<unsigned>(std::stoul(seed)) : 20261208;
}

// `dayglass prefs set daysToDisplay VALUE` started with its output thrown away.
pid_t startPrefsSet(const fs::path& root, int value)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string valueText = std::to_string(value), rootText = root.string();
    const char* argv[]
        = { DAYGLASS_COMMAND, "prefs", "set", "daysToDisplay", valueText.c_str(), "--root", rootText.c_str(), nullptr };
    pid_t pid = 0;
    const int failure = posix_spawn(&pid, DAYGLASS_COMMAND, &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failure ? -1 : pid;
}

int finish(pid_t pid, int signal)
{
    if (signal)
        ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// Why the file is not as a reader must find it, or empty when it is.
std::string problemWith(int before, int after)
{
    Ref<NSDictionary> stored = NSDictionary::dictionaryWithContentsOfFile(preferencesPath);
    if (!stored)
        return "the file is not a property-list dictionary";
    for (const char* key : keptKeys)
        if (!stored->objectForKey(key))
            return std::string("lost the key ") + key;
    auto* days = dynamicCast<NSNumber>(stored->objectForKey("daysToDisplay"));
    if (!days || (days->integerValue() != before && days->integerValue() != after))
        return "daysToDisplay is neither " + std::to_string(before) + " nor " + std::to_string(after);
    return {};
}

std::size_t temporaryCopiesIn(const fs::path& folder)
{
    std::size_t count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        count += entry.path().filename().string().rfind(".com.quarnel.dayglass2.plist.", 0) == 0;
    return count;
}

} // namespace

TEST(SettingsWriter, KilledAtRandomPointsItLeavesAReadableFileWithEveryKey)
{
    testing_support::TempDeviceRoot root;
    Ref<NSMutableDictionary> seeded = NSMutableDictionary::dictionary();
    seeded->setObjectForKey(NSString::string("2.1").get(), "paneVersion");
    seeded->setObjectForKey(NSNumber::numberWithInteger(2).get(), "daysToDisplay");
    seeded->setObjectForKey(NSNumber::numberWithInteger(15).get(), "textSize");
    seeded->setObjectForKey(NSString::string("DOT").get(), "iconType");
    ASSERT_TRUE(NSPropertyListSerialization::writePropertyList(
        seeded.get(), preferencesPath, NSPropertyListBinaryFormat_v1_0, nullptr));

    // The kill points spread over a whole run of the command, as long as one takes
    // here; the figure only places the kills, nothing is asserted on it.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(finish(startPrefsSet(root.path(), 2), 0), 0);
    const auto oneRun
        = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

    const unsigned seed = seedToUse();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(0, oneRun.count() * 5 / 4);
    const std::size_t runs = runsToMake();
    int stored = 2;
    std::size_t killedMidway = 0;
    for (std::size_t run = 0; run < runs; ++run) {
        const int value = 2 + static_cast<int>(run % 7) + 1;
        const long microseconds = delay(random);
        const pid_t pid = startPrefsSet(root.path(), value);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
        const int status = finish(pid, SIGKILL);
        killedMidway += WIFSIGNALED(status);
        const std::string problem = problemWith(stored, value);
        ASSERT_EQ(problem, "") << "run " << run << " of seed " << seed << ", killed after " << microseconds << " µs";
        stored = dynamicCast<NSNumber>(
            NSDictionary::dictionaryWithContentsOfFile(preferencesPath)->objectForKey("daysToDisplay"))
                     ->integerValue();
    }
    std::printf("[ kills    ] %zu runs of seed %u, %zu killed before they ended\n", runs, seed, killedMidway);

    // The next writer clears what the killed ones left, and the device reads it.
    ASSERT_EQ(finish(startPrefsSet(root.path(), 9), 0), 0);
    EXPECT_EQ(problemWith(9, 9), "");
    EXPECT_EQ(temporaryCopiesIn(root.file(preferencesPath).parent_path()), 0u);
    const command_runner::Result settings
        = command_runner::run({ "settings", "--json", "--root", root.path().string() });
    ASSERT_EQ(settings.status, 0) << settings.err;
    EXPECT_EQ(nlohmann::json::parse(settings.out)["daysToDisplay"], 9);
}
