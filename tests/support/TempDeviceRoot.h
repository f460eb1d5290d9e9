// A fresh device root in a temporary folder for one test, made the platform's
// root for as long as the object lives, and removed afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

class TempDeviceRoot {
public:
    TempDeviceRoot();
    ~TempDeviceRoot();
    TempDeviceRoot(const TempDeviceRoot&) = delete;
    TempDeviceRoot& operator=(const TempDeviceRoot&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The file under the root for a device path such as "/var/mobile/x.plist";
    // its folder is created.
    std::filesystem::path file(const std::string& devicePath) const;
    void writeText(const std::string& devicePath, const std::string& text) const;

private:
    std::filesystem::path path_;
    std::string previousRoot_;
};

} // namespace testing_support
