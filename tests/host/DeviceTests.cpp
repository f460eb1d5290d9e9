#include <host/Device.h>
#include <host/SBApplicationController.h>
#include <host/SBUIController.h>
#include <objc/message.h>

#include <TempDeviceRoot.h>
#include <platform/Environment.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::string infoPlist(const std::string& identifier, const std::string& name)
{
    return "<plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><string>" + identifier
        + "</string><key>CFBundleDisplayName</key><string>" + name + "</string></dict></plist>";
}

const std::string springBoardFilter = "<plist version=\"1.0\"><dict><key>Filter</key><dict><key>Bundles</key>"
                                      "<array><string>com.apple.springboard</string></array></dict></dict></plist>";

} // namespace

TEST(Device, BootRefusesARootThatIsNotAFolder)
{
    testing_support::TempDeviceRoot root;
    EXPECT_THROW(host::Device::boot({ .root = (root.path() / "missing").string() }), std::invalid_argument);
    root.writeText("/file", "x");
    EXPECT_THROW(host::Device::boot({ .root = (root.path() / "file").string() }), std::invalid_argument);
}

TEST(Device, BootSetsTheEnvironmentAndLoadsTheRootsOwnExtensions)
{
    testing_support::TempDeviceRoot root;
    fs::copy_file(PROBE_EXTENSION, root.file("/Library/MobileSubstrate/DynamicLibraries/Own.dylib"));
    root.writeText("/Library/MobileSubstrate/DynamicLibraries/Own.plist", springBoardFilter);

    host::Device device = host::Device::boot({ .root = root.path().string(),
        .fallbackExtensionsFolder = "/nonexistent",
        .timeZone = "Europe/Berlin",
        .locale = "de_DE" });

    EXPECT_EQ(platform::deviceRoot(), root.path().string());
    EXPECT_EQ(platform::currentTimeZoneIdentifier(), "Europe/Berlin");
    EXPECT_EQ(platform::currentLocaleIdentifier(), "de_DE");
    EXPECT_EQ(device.extensionsFolder(), (root.path() / "Library/MobileSubstrate/DynamicLibraries").string());
    ASSERT_NE(device.extension("Own.dylib"), nullptr);
    EXPECT_EQ(device.extension("Own.dylib")->outcome, host::ExtensionLoad::Outcome::Loaded);
    EXPECT_EQ(device.extension("Other.dylib"), nullptr);
}

TEST(Device, ARootWithoutExtensionsUsesTheFallbackFolder)
{
    testing_support::TempDeviceRoot installed;
    fs::copy_file(PROBE_EXTENSION, installed.file("/Fallback.dylib"));
    installed.writeText("/Fallback.plist", springBoardFilter);
    testing_support::TempDeviceRoot bare;

    host::Device withFallback
        = host::Device::boot({ .root = bare.path().string(), .fallbackExtensionsFolder = installed.path().string() });
    EXPECT_EQ(withFallback.extensionsFolder(), installed.path().string());
    ASSERT_NE(withFallback.extension("Fallback.dylib"), nullptr);
    EXPECT_EQ(withFallback.extension("Fallback.dylib")->outcome, host::ExtensionLoad::Outcome::Loaded);

    host::Device without = host::Device::boot({ .root = bare.path().string() });
    EXPECT_TRUE(without.extensions().empty());
}

TEST(Device, ApplicationsComeFromTheDeviceAndCanBeActivated)
{
    testing_support::TempDeviceRoot root;
    root.writeText("/Applications/MobileCal.app/Info.plist", infoPlist("com.apple.mobilecal", "Calendar"));
    root.writeText("/private/var/containers/Bundle/Application/1234/Fantastical2.app/Info.plist",
        infoPlist("com.flexibits.fantastical2.iphone", "Fantastical 2"));
    root.writeText("/Applications/Broken.app/Info.plist", "garbage");
    fs::create_directory_symlink("private/var", root.path() / "var");

    host::Device device = host::Device::boot({ .root = root.path().string() });
    device.springBoard().unlock();
    SBApplicationController* applications = SBApplicationController::sharedInstance();
    EXPECT_EQ(applications->allApplications()->count(), 2u);
    SBApplication* fantastical = applications->applicationWithDisplayIdentifier("com.flexibits.fantastical2.iphone");
    ASSERT_NE(fantastical, nullptr);
    EXPECT_EQ(fantastical->displayName()->UTF8String(), "Fantastical 2");

    SBApplication* calendar = static_cast<SBApplication*>(objc_msgSend<id>(
        applications, "applicationWithDisplayIdentifier:", NSString::string("com.apple.mobilecal").get()));
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(
        objc_msgSend<id>(applications, "applicationWithDisplayIdentifier:", NSString::string("x.y").get()), nullptr);

    objc_msgSend<void>(SBUIController::sharedInstance(), "activateApplicationAnimated:", calendar);
    ASSERT_TRUE(device.springBoard().foregroundApplication());
    EXPECT_EQ(device.springBoard().foregroundApplication()->bundleIdentifier, "com.apple.mobilecal");
}
