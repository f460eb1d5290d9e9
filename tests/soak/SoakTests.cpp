#include "ProcessResources.h"
#include "SoakDevice.h"

#include <platform/Log.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// AddressSanitizer keeps up to 256 MB of freed blocks in quarantine, which would
// grow the resident size with no leak at all; a small one lets it show what the
// program itself keeps.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=16";
}
#endif

namespace {

// CI runs a short soak; DAYGLASS_SOAK_CYCLES=10000 is the long one.
std::size_t cyclesToRun()
{
    const char* cycles = std::getenv("DAYGLASS_SOAK_CYCLES");
    return cycles ? std::stoul(cycles) : 200;
}

// What the resident size may grow by between the checkpoint and the end: room
// for the device log filling up to its limit and the allocator's own slack, far
// below what a kilobyte lost per cycle adds up to over a long run.
constexpr long long residentGrowthLimit = 6 << 20;

void report(std::size_t cycle, const ProcessResources& resources)
{
    std::printf("[ soak     ] cycle %zu: resident %.1f MiB (heap in use %.1f MiB), %zu descriptors, %zu threads\n",
        cycle, static_cast<double>(resources.residentBytes) / (1 << 20),
        static_cast<double>(resources.heapInUseBytes) / (1 << 20), resources.descriptors, resources.threads);
    std::fflush(stdout);
}

// The calendars parsed into memory, as `simulate` and `settings --watch` keep
// them, or in the index on the device, as `list` and `render` do.
class Soak : public testing::TestWithParam<EKCalendarStorage> { };

} // namespace

// Leaks are LeakSanitizer's to find when the asan preset runs this; here, what
// the process holds from the system.
TEST_P(Soak, ADeviceCycledManyTimesKeepsItsDescriptorsThreadsAndMemoryFlat)
{
    const std::size_t cycles = cyclesToRun();
    ASSERT_GE(cycles, 30u);
    const std::size_t warmedUp = 10;
    const std::size_t checkpoint = std::min<std::size_t>(1000, cycles / 3);

    SoakDevice device(GetParam());
    ProcessResources afterWarmUp, atCheckpoint;
    for (std::size_t cycle = 1; cycle <= cycles; ++cycle) {
        device.cycle(cycle);
        if (cycle == warmedUp)
            afterWarmUp = ProcessResources::now();
        if (cycle == checkpoint)
            atCheckpoint = ProcessResources::now();
        if (cycle == checkpoint || cycle % 1000 == 0 || cycle == cycles)
            report(cycle, ProcessResources::now());
    }
    const ProcessResources atEnd = ProcessResources::now();

    EXPECT_EQ(atEnd.descriptors, afterWarmUp.descriptors);
    EXPECT_EQ(atEnd.threads, afterWarmUp.threads);
    EXPECT_LT(static_cast<long long>(atEnd.residentBytes) - static_cast<long long>(atCheckpoint.residentBytes),
        residentGrowthLimit);
    // Every cycle's unlock logged the extension hiding its list, and the log kept
    // no more than its limit.
    EXPECT_GE(platform::logLinesWritten(), cycles);
    EXPECT_LE(platform::loggedLines().size(), platform::logLineLimit);
}

INSTANTIATE_TEST_SUITE_P(CalendarStorage, Soak, testing::Values(EKCalendarStorage::Memory, EKCalendarStorage::Index),
    [](const testing::TestParamInfo<EKCalendarStorage>& storage) {
        return storage.param == EKCalendarStorage::Memory ? "InMemory" : "Indexed";
    });
