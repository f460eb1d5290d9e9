#include <host/SubstrateLoader.h>

#include <TempDeviceRoot.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>

namespace fs = std::filesystem;
using host::ExtensionLoad;
using Outcome = host::ExtensionLoad::Outcome;

namespace {

std::string filterNaming(std::initializer_list<const char*> bundles)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n"
                      "<dict><key>Filter</key><dict><key>Bundles</key><array>";
    for (const char* bundle : bundles)
        xml += std::string("<string>") + bundle + "</string>";
    return xml + "</array></dict></dict></plist>\n";
}

// A DynamicLibraries folder in a fresh device root.
class ExtensionFolder {
public:
    ExtensionFolder()
        : folder_(root_.file("/Library/MobileSubstrate/DynamicLibraries/x").parent_path())
    {
    }

    const fs::path& path() const { return folder_; }

    // Installs a copy of `library` as "<name>.dylib", with "<name>.plist" holding
    // `filter` unless it is empty.
    void install(const std::string& name, const char* library, const std::string& filter) const
    {
        fs::copy_file(library, folder_ / (name + ".dylib"));
        if (!filter.empty())
            root_.writeText("/Library/MobileSubstrate/DynamicLibraries/" + name + ".plist", filter);
    }

    host::LoadReport load() const { return host::loadExtensions(folder_.string()); }

    // The names the probe logged, in the order it was loaded.
    std::vector<std::string> loadedProbes() const
    {
        std::vector<std::string> names;
        const std::string prefix = "probe loaded: ";
        for (const std::string& line : platform::loggedLines())
            if (line.rfind(prefix, 0) == 0)
                names.push_back(fs::path(line.substr(prefix.size())).filename().string());
        return names;
    }

private:
    testing_support::TempDeviceRoot root_;
    fs::path folder_;
};

std::vector<std::pair<std::string, Outcome>> outcomes(const host::LoadReport& report)
{
    std::vector<std::pair<std::string, Outcome>> result;
    for (const ExtensionLoad& load : report)
        result.emplace_back(load.name, load.outcome);
    return result;
}

} // namespace

TEST(SubstrateLoader, LoadsOnlyLibrariesWhoseFilterNamesSpringBoardInNameOrder)
{
    ExtensionFolder folder;
    folder.install("alpha", PROBE_EXTENSION, filterNaming({ "com.apple.springboard" }));
    folder.install("Bravo", PROBE_EXTENSION, filterNaming({ "com.apple.mobilesafari", "com.apple.springboard" }));
    folder.install("Charlie", PROBE_EXTENSION, filterNaming({ "com.apple.mobilesafari" }));
    folder.install("Delta", PROBE_EXTENSION, "");
    folder.install("Echo", PROBE_EXTENSION,
        "<plist version=\"1.0\"><dict><key>Filter</key><dict><key>Executables</key><array>"
        "<string>SpringBoard</string></array></dict></dict></plist>");
    folder.install("Foxtrot", PROBE_EXTENSION, filterNaming({ "com.apple.Springboard" }));

    const host::LoadReport report = folder.load();

    // Byte order: capitals before lower case.
    const std::vector<std::pair<std::string, Outcome>> expected {
        { "Bravo.dylib", Outcome::Loaded },
        { "Charlie.dylib", Outcome::Skipped },
        { "Delta.dylib", Outcome::Skipped },
        { "Echo.dylib", Outcome::Skipped },
        { "Foxtrot.dylib", Outcome::Skipped },
        { "alpha.dylib", Outcome::Loaded },
    };
    EXPECT_EQ(outcomes(report), expected);
    EXPECT_EQ(folder.loadedProbes(), (std::vector<std::string> { "Bravo.dylib", "alpha.dylib" }));
    EXPECT_EQ(report[2].detail, "no filter Delta.plist");
    EXPECT_EQ(report[1].detail, "filter Charlie.plist does not name com.apple.springboard");
    EXPECT_NE(report[0].handle, nullptr);
    EXPECT_EQ(report[1].handle, nullptr);
}

TEST(SubstrateLoader, AFailureIsReportedAndTheLibrariesAfterItStillLoad)
{
    ExtensionFolder folder;
    folder.install("A", UNRESOLVED_EXTENSION, filterNaming({ "com.apple.springboard" }));
    folder.install("B", PROBE_EXTENSION, "not a property list");
    folder.install("C", PROBE_EXTENSION, filterNaming({ "com.apple.springboard" }));

    const host::LoadReport report = folder.load();

    ASSERT_EQ(report.size(), 3u);
    EXPECT_EQ(report[0].outcome, Outcome::Failed);
    EXPECT_NE(report[0].detail.find("undefined symbol"), std::string::npos) << report[0].detail;
    EXPECT_EQ(report[1].outcome, Outcome::Failed);
    EXPECT_EQ(report[1].detail, "filter B.plist is not a property-list dictionary");
    EXPECT_EQ(report[2].outcome, Outcome::Loaded);
    EXPECT_EQ(folder.loadedProbes(), std::vector<std::string> { "C.dylib" });
    const auto lines = platform::loggedLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "MS:Error: " + report[0].detail), 1);
}

TEST(SubstrateLoader, AMissingFolderOrOtherFilesLoadNothing)
{
    ExtensionFolder folder;
    EXPECT_TRUE(host::loadExtensions((folder.path() / "absent").string()).empty());

    fs::create_directory(folder.path() / "Folder.dylib");
    fs::copy_file(PROBE_EXTENSION, folder.path() / "Library.so");
    EXPECT_TRUE(folder.load().empty());
    EXPECT_TRUE(folder.loadedProbes().empty());
}
