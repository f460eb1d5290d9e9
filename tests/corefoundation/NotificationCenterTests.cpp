// The Darwin centre: observers by name, coalesced delivery on the main run loop,
// and posts from other processes booted on the same device root.
#include "TempDeviceRoot.h"

#include <CoreFoundation/CFNotificationCenter.h>
#include <CoreFoundation/CFRunLoop.h>
#include <Foundation/NSString.h>
#include <platform/Environment.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

// What each observer received, by observer and name.
std::map<std::pair<const void*, std::string>, int> received;

void record(CFNotificationCenterRef, void* observer, CFStringRef name, const void* object, CFDictionaryRef userInfo)
{
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(userInfo, nullptr);
    ++received[{ observer, name->UTF8String() }];
}

int receivedBy(const void* observer, const std::string& name)
{
    auto it = received.find({ observer, name });
    return it == received.end() ? 0 : it->second;
}

CFNotificationCenterRef darwin()
{
    return CFNotificationCenterGetDarwinNotifyCenter();
}

void observe(const void* observer, const char* name)
{
    CFNotificationCenterAddObserver(
        darwin(), observer, &record, NSString::string(name).get(), nullptr, CFNotificationSuspensionBehaviorCoalesce);
}

void post(const char* name)
{
    CFNotificationCenterPostNotification(darwin(), NSString::string(name).get(), nullptr, nullptr, true);
}

// Handles whatever is pending, without waiting.
void runPending()
{
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
}

// Another process on `root` posts `name` `count` times and exits.
void postFromAnotherProcess(const std::string& root, const std::string& name, int count = 1)
{
    const std::string countText = std::to_string(count);
    const char* argv[] = { DARWIN_POST_HELPER, root.c_str(), name.c_str(), countText.c_str(), nullptr };
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, DARWIN_POST_HELPER, nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Runs the main run loop until `observer` has had `name`, for at most a second.
void runUntilReceived(const void* observer, const std::string& name)
{
    for (int pass = 0; pass < 10 && receivedBy(observer, name) == 0; ++pass)
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.1, true);
}

// XDG_RUNTIME_DIR pointed at a folder of the test's own for one scope: the folder
// where the processes of a device root meet is then the one folder made in it.
class RuntimeFolder {
public:
    explicit RuntimeFolder(std::filesystem::path folder)
        : folder_(std::move(folder))
    {
        if (const char* previous = std::getenv("XDG_RUNTIME_DIR"))
            previous_ = previous;
        std::filesystem::create_directories(folder_);
        ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    }
    ~RuntimeFolder()
    {
        if (previous_)
            ::setenv("XDG_RUNTIME_DIR", previous_->c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
    }
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

    std::filesystem::path meetingFolder() const { return std::filesystem::directory_iterator(folder_)->path(); }

private:
    std::filesystem::path folder_;
    std::optional<std::string> previous_;
};

class DarwinCenter : public ::testing::Test {
protected:
    void SetUp() override { received.clear(); }
    void TearDown() override
    {
        for (const void* observer : { first, second })
            CFNotificationCenterRemoveEveryObserver(darwin(), observer);
        runPending();
    }

    testing_support::TempDeviceRoot device;
    const void* first = &received;
    const void* second = &device;
};

} // namespace

TEST_F(DarwinCenter, DeliversOnTheRunLoopNotInsideThePost)
{
    observe(first, "com.example.changed");
    post("com.example.changed");
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 0);
    runPending();
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 1);
}

TEST_F(DarwinCenter, ObserversGetOnlyTheirNames)
{
    observe(first, "com.example.a");
    observe(second, "com.example.a");
    observe(second, "com.example.b");
    post("com.example.a");
    post("com.example.c");
    runPending();
    EXPECT_EQ(receivedBy(first, "com.example.a"), 1);
    EXPECT_EQ(receivedBy(second, "com.example.a"), 1);
    EXPECT_EQ(receivedBy(second, "com.example.b"), 0);
    EXPECT_EQ(receivedBy(first, "com.example.c") + receivedBy(second, "com.example.c"), 0);
}

TEST_F(DarwinCenter, PostsBeforeTheObserverRanAreCoalesced)
{
    observe(first, "com.example.changed");
    observe(first, "com.example.other");
    for (int i = 0; i < 3; ++i)
        post("com.example.changed");
    post("com.example.other");
    runPending();
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 1);
    EXPECT_EQ(receivedBy(first, "com.example.other"), 1);

    post("com.example.changed");
    runPending();
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 2);
}

TEST_F(DarwinCenter, RegisteringTwiceDeliversOnce)
{
    observe(first, "com.example.changed");
    observe(first, "com.example.changed");
    post("com.example.changed");
    runPending();
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 1);
}

TEST_F(DarwinCenter, RemovedObserverHearsNothingMore)
{
    observe(first, "com.example.a");
    observe(first, "com.example.b");
    post("com.example.a");
    CFNotificationCenterRemoveObserver(darwin(), first, "com.example.a"_ns.get(), nullptr);
    post("com.example.b");
    runPending();
    EXPECT_EQ(receivedBy(first, "com.example.a"), 0);
    EXPECT_EQ(receivedBy(first, "com.example.b"), 1);
}

TEST_F(DarwinCenter, PostFromAnotherProcessArrivesOnTheMainRunLoop)
{
    observe(first, "com.quarnel.dayglass2.preferencesChanged");
    postFromAnotherProcess(device.path().string(), "com.quarnel.dayglass2.preferencesChanged");
    runUntilReceived(first, "com.quarnel.dayglass2.preferencesChanged");
    EXPECT_EQ(receivedBy(first, "com.quarnel.dayglass2.preferencesChanged"), 1);
}

TEST_F(DarwinCenter, BurstFromAnotherProcessIsCoalesced)
{
    observe(first, "com.example.changed");
    postFromAnotherProcess(device.path().string(), "com.example.changed", 5);
    runUntilReceived(first, "com.example.changed");
    runPending();
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 1);
}

TEST_F(DarwinCenter, ListenerFollowsTheDeviceRoot)
{
    observe(first, "com.example.changed");
    runPending();
    testing_support::TempDeviceRoot otherDevice;
    // The process now runs on the other root: posts there reach it, posts on the
    // root it left do not.
    runPending();
    postFromAnotherProcess(device.path().string(), "com.example.changed");
    runPending();
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 0);
    postFromAnotherProcess(otherDevice.path().string(), "com.example.changed");
    runUntilReceived(first, "com.example.changed");
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 1);
}

TEST_F(DarwinCenter, PostOnAnotherDeviceRootDoesNotArrive)
{
    observe(first, "com.example.changed");
    runPending();
    testing_support::TempDeviceRoot elsewhere;
    const std::string otherRoot = elsewhere.path().string();
    platform::setDeviceRoot(device.path().string());
    postFromAnotherProcess(otherRoot, "com.example.changed");
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.1, true);
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 0);
}

TEST_F(DarwinCenter, SocketLeftByADeadProcessIsRemovedByThePost)
{
    const RuntimeFolder runtime(device.path() / "run");
    observe(first, "com.example.changed");
    runPending();
    // A listener that went away without cleaning up: its file stays, nobody reads it.
    const std::filesystem::path stale = runtime.meetingFolder() / "999999999.sock";
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    stale.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(std::filesystem::exists(stale));

    post("com.example.changed");
    EXPECT_FALSE(std::filesystem::exists(stale));
    runPending();
    EXPECT_EQ(receivedBy(first, "com.example.changed"), 1);
}
