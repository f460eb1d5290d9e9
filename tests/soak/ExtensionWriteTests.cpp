#include "FileWriteRecorder.h"
#include "SoakDevice.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

// Keeps the writes made with one library on the stack while it lives.
class WatchedLibrary {
public:
    explicit WatchedLibrary(std::string name)
        : name_(std::move(name))
    {
        file_writes::clear();
        file_writes::watch(name_);
    }
    ~WatchedLibrary()
    {
        file_writes::unwatch(name_);
        file_writes::clear();
    }
    WatchedLibrary(const WatchedLibrary&) = delete;
    WatchedLibrary& operator=(const WatchedLibrary&) = delete;

private:
    std::string name_;
};

// The folder itself or anything in it, with links resolved: the root's "var" is
// a link to "private/var", as on the phone.
bool within(const std::string& path, const std::filesystem::path& folder)
{
    const std::string resolved = std::filesystem::weakly_canonical(path).string();
    const std::string base = std::filesystem::weakly_canonical(folder).string();
    return resolved == base || resolved.rfind(base + "/", 0) == 0;
}

} // namespace

TEST(ExtensionWrites, AWriteIsPutDownToTheLibraryThatMadeItAndAReadToNone)
{
    testing_support::TempDeviceRoot root;
    WatchedLibrary probe("WriteProbe.so");
    void* library = dlopen(WRITE_PROBE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto* writeProbeFile = reinterpret_cast<void (*)(const char*)>(dlsym(library, "writeProbeFile"));
    const std::string file = (root.path() / "probe.txt").string();

    ::close(::open(WRITE_PROBE, O_RDONLY | O_CLOEXEC));
    EXPECT_EQ(file_writes::seen(), 0u);
    writeProbeFile(file.c_str());
    const std::vector<file_writes::Write> writes = file_writes::kept();
    dlclose(library);

    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].path, file);
    EXPECT_NE(
        std::find(writes[0].libraries.begin(), writes[0].libraries.end(), "WriteProbe.so"), writes[0].libraries.end());
}

// A day of use, a preference change and a calendar sync included, with the
// calendars in memory and in the index: the only files changed under the root are
// the settings pane's and the sync's, which the test itself writes, and the
// index's, which is the platform's (as the phone's calendar database is the
// calendar daemon's) even when a query of the extension brings it up to date.
TEST(ExtensionWrites, TheExtensionChangesNoFileUnderTheDeviceRootButTheCalendarIndex)
{
    for (const EKCalendarStorage storage : { EKCalendarStorage::Memory, EKCalendarStorage::Index }) {
        WatchedLibrary extension("Dayglass2.dylib");
        SoakDevice device(storage);
        for (std::size_t cycle = 1; cycle <= 3; ++cycle)
            device.cycle(cycle);

        const std::filesystem::path index = device.root() / "var/mobile/Library/Calendar";
        for (const file_writes::Write& write : file_writes::kept())
            EXPECT_TRUE(!within(write.path, device.root()) || within(write.path, index))
                << write.call << " " << write.path;
        // The calls were watched: the test's own writes went through them.
        EXPECT_GE(file_writes::seen(), 6u);
    }
}
