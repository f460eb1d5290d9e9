// The Substrate-style loader: SpringBoard loads the extensions of its device at
// start, exactly as Cydia Substrate injects them on a phone. Every "*.dylib" in the
// DynamicLibraries folder whose filter ("<same name>.plist", Filter → Bundles)
// names the process's bundle is loaded with dlopen, in name order. A library
// without a filter, or whose filter names other bundles only, is left alone.
#pragma once

#include <host/Export.h>

#include <string>
#include <string_view>
#include <vector>

namespace host {

inline constexpr std::string_view springBoardBundleIdentifier = "com.apple.springboard";
// Where the extensions live on the device.
inline constexpr std::string_view dynamicLibrariesDevicePath = "/Library/MobileSubstrate/DynamicLibraries";

struct ExtensionLoad {
    enum class Outcome {
        Loaded,
        Skipped, // no filter, or a filter for other processes
        Failed, // an unreadable filter, or dlopen refused the library
    };

    std::string name; // "Dayglass2.dylib"
    std::string path;
    Outcome outcome = Outcome::Skipped;
    // Why it was skipped or failed, in one line; empty once loaded.
    std::string detail;
    // The dlopen handle of a loaded library. Libraries are never unloaded.
    void* handle = nullptr;
};

using LoadReport = std::vector<ExtensionLoad>;

// Loads the libraries of `folder` meant for `bundleIdentifier`, with
// RTLD_NOW | RTLD_GLOBAL. A missing folder loads nothing. Each library's
// initialiser runs inside this call; a library loaded before stays loaded and its
// initialiser does not run again.
HOST_EXPORT LoadReport loadExtensions(
    const std::string& folder, std::string_view bundleIdentifier = springBoardBundleIdentifier);

} // namespace host
