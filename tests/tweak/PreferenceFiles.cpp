#include "PreferenceFiles.h"

#include <tweak/TweakSettings.h>

#include <plist/plist.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <type_traits>

namespace preference_files {

std::string binaryFrom(const std::string& xml)
{
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
    if (!root)
        throw std::runtime_error("fixture is not a property list");
    std::unique_ptr<void, void (*)(plist_t)> owner(root, plist_free);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    std::string binary(bytes, length);
    std::free(bytes);
    return binary;
}

void writeBinary(const testing_support::TempDeviceRoot& root, const std::string& entries)
{
    root.writeText(path, binaryFrom(xmlDocument("<dict>" + entries + "</dict>")));
}

} // namespace preference_files
