#include <host/SubstrateLoader.h>

#include <Foundation/NSData.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSPropertyList.h>
#include <platform/FileBytes.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>

namespace fs = std::filesystem;

namespace host {
namespace {

std::vector<fs::path> librariesIn(const std::string& folder)
{
    std::vector<fs::path> libraries;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".dylib" && entry.is_regular_file(error))
            libraries.push_back(entry.path());
    std::sort(libraries.begin(), libraries.end(),
        [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); });
    return libraries;
}

// The folder may lie outside the device root (a bare root runs the sample device's
// extensions), so the filter is read by its own path, not as a device path.
Ref<NSDictionary> readFilter(const fs::path& path)
{
    const std::optional<std::string> bytes
        = platform::readFileBytes(path.string(), std::numeric_limits<std::uint32_t>::max());
    if (!bytes)
        return nullptr;
    Ref<NSData> data = NSData::dataWithBytes(bytes->data(), bytes->size());
    return dynamicCast<NSDictionary>(NSPropertyListSerialization::propertyListWithData(data.get()));
}

bool namesBundle(const NSArray* bundles, std::string_view bundleIdentifier)
{
    return std::any_of(bundles->begin(), bundles->end(), [&](const Ref<NSObject>& entry) {
        auto* name = dynamicCast<NSString>(entry.get());
        return name && name->UTF8String() == bundleIdentifier;
    });
}

// Decides from the filter whether the library is meant for this process; leaves
// the outcome Skipped or Failed with the reason when it is not.
bool passesFilter(ExtensionLoad& load, const fs::path& library, std::string_view bundleIdentifier)
{
    fs::path filterPath = library;
    filterPath.replace_extension(".plist");
    const std::string filterName = filterPath.filename().string();
    std::error_code error;
    if (!fs::exists(filterPath, error)) {
        load.detail = "no filter " + filterName;
        return false;
    }
    Ref<NSDictionary> filterFile = readFilter(filterPath);
    if (!filterFile) {
        load.outcome = ExtensionLoad::Outcome::Failed;
        load.detail = "filter " + filterName + " is not a property-list dictionary";
        return false;
    }
    auto* filter = dynamicCast<NSDictionary>(filterFile->objectForKey("Filter"));
    auto* bundles = filter ? dynamicCast<NSArray>(filter->objectForKey("Bundles")) : nullptr;
    if (!bundles || !namesBundle(bundles, bundleIdentifier)) {
        load.detail = "filter " + filterName + " does not name " + std::string(bundleIdentifier);
        return false;
    }
    return true;
}

ExtensionLoad load(const fs::path& library, std::string_view bundleIdentifier)
{
    ExtensionLoad result;
    result.name = library.filename().string();
    result.path = library.string();
    if (!passesFilter(result, library, bundleIdentifier))
        return result;
    NSLog("MS:Notice: Loading: %s", result.path.c_str());
    result.handle = dlopen(result.path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!result.handle) {
        const char* reason = dlerror();
        result.outcome = ExtensionLoad::Outcome::Failed;
        result.detail = reason ? reason : "dlopen failed";
        NSLog("MS:Error: %s", result.detail.c_str());
        return result;
    }
    result.outcome = ExtensionLoad::Outcome::Loaded;
    return result;
}

} // namespace

LoadReport loadExtensions(const std::string& folder, std::string_view bundleIdentifier)
{
    LoadReport report;
    for (const fs::path& library : librariesIn(folder))
        report.push_back(load(library, bundleIdentifier));
    return report;
}

} // namespace host
