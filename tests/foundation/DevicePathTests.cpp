// Device paths resolve under the device root, whichever spelling of "var" is used.
#include "TempDeviceRoot.h"

#include <platform/Environment.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(DevicePath, LinkedVarServesBothSpellings)
{
    testing_support::TempDeviceRoot device;
    fs::create_directories(device.path() / "private/var/mobile/Library");
    fs::create_directory_symlink("private/var", device.path() / "var");
    device.writeText("/private/var/mobile/Library/a.plist", "x");

    const fs::path viaVar = platform::resolveDevicePath("/var/mobile/Library/a.plist");
    const fs::path viaPrivate = platform::resolveDevicePath("/private/var/mobile/Library/a.plist");
    EXPECT_EQ(viaVar, device.path() / "var/mobile/Library/a.plist");
    EXPECT_EQ(viaPrivate, device.path() / "private/var/mobile/Library/a.plist");
    EXPECT_TRUE(fs::equivalent(viaVar, viaPrivate));
}

TEST(DevicePath, RootWithOnlyVarServesThePrivateSpelling)
{
    testing_support::TempDeviceRoot device;
    fs::create_directories(device.path() / "var/mobile");

    EXPECT_EQ(fs::path(platform::resolveDevicePath("/private/var/mobile/Library/Preferences/b.plist")),
        device.path() / "var/mobile/Library/Preferences/b.plist");
    EXPECT_EQ(fs::path(platform::resolveDevicePath("/var/mobile/c.plist")), device.path() / "var/mobile/c.plist");
    EXPECT_EQ(fs::path(platform::resolveDevicePath("/private/var")), device.path() / "var");
}

TEST(DevicePath, RootWithOnlyPrivateVarServesTheShortSpelling)
{
    testing_support::TempDeviceRoot device;
    fs::create_directories(device.path() / "private/var");
    EXPECT_EQ(
        fs::path(platform::resolveDevicePath("/var/mobile/c.plist")), device.path() / "private/var/mobile/c.plist");
}

TEST(DevicePath, OtherPathsAndEmptyRootsResolveAsWritten)
{
    testing_support::TempDeviceRoot device;
    EXPECT_EQ(fs::path(platform::resolveDevicePath("/Library/MobileSubstrate/DynamicLibraries/x.plist")),
        device.path() / "Library/MobileSubstrate/DynamicLibraries/x.plist");
    EXPECT_EQ(fs::path(platform::resolveDevicePath("/var/mobile/x")), device.path() / "var/mobile/x");
    EXPECT_EQ(fs::path(platform::resolveDevicePath("/privatevar/x")), device.path() / "privatevar/x");
}

TEST(DevicePath, ParentFoldersNeverLeaveTheRoot)
{
    testing_support::TempDeviceRoot device;
    EXPECT_EQ(
        fs::path(platform::resolveDevicePath("/var/mobile/../../../../etc/passwd")), device.path() / "etc/passwd");
    EXPECT_EQ(fs::path(platform::resolveDevicePath("var/./mobile//x")), device.path() / "var/mobile/x");
}
