#include "InstalledData.h"

#include <filesystem>

namespace fs = std::filesystem;

std::string installedDataFolder(const char* name)
{
    std::error_code error;
    const fs::path command = fs::canonical("/proc/self/exe", error);
    if (error)
        return {};
    const fs::path folder = (command.parent_path() / DAYGLASS_INSTALLED_DATA / name).lexically_normal();
    return fs::is_directory(folder, error) ? folder.string() : std::string();
}
