#include "TempDeviceRoot.h"

#include <platform/Environment.h>
#include <platform/Log.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {

TempDeviceRoot::TempDeviceRoot()
    : previousRoot_(platform::deviceRoot())
{
    std::string pattern = (fs::temp_directory_path() / "dayglass-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary device root");
    path_ = pattern;
    platform::setDeviceRoot(path_.string());
    platform::clearLog();
}

TempDeviceRoot::~TempDeviceRoot()
{
    platform::setDeviceRoot(previousRoot_);
    std::error_code error;
    fs::remove_all(path_, error);
}

fs::path TempDeviceRoot::file(const std::string& devicePath) const
{
    fs::path full = path_ / fs::path(devicePath).relative_path();
    fs::create_directories(full.parent_path());
    return full;
}

void TempDeviceRoot::writeText(const std::string& devicePath, const std::string& text) const
{
    std::ofstream(file(devicePath), std::ios::binary) << text;
}

} // namespace testing_support
