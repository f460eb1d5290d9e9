// Preference files for the extension's tests, written into the current device root.
#pragma once

#include <TempDeviceRoot.h>

#include <string>

namespace preference_files {

inline const char* const path = "/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist";

// Entries of an XML dictionary.
inline std::string integer(const std::string& key, long long value)
{
    return "<key>" + key + "</key><integer>" + std::to_string(value) + "</integer>";
}
inline std::string string(const std::string& key, const std::string& value)
{
    return "<key>" + key + "</key><string>" + value + "</string>";
}
inline std::string boolean(const std::string& key, bool value)
{
    return "<key>" + key + "</key>" + (value ? "<true/>" : "<false/>");
}
inline std::string raw(const std::string& key, const std::string& valueXml)
{
    return "<key>" + key + "</key>" + valueXml;
}

inline std::string xmlDocument(const std::string& rootXml)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n"
        + rootXml + "\n</plist>\n";
}

// The preference file as an XML dictionary of these entries.
inline void writeXml(const testing_support::TempDeviceRoot& root, const std::string& entries)
{
    root.writeText(path, xmlDocument("<dict>" + entries + "</dict>"));
}

// The same dictionary as a binary property list, converted with libplist.
void writeBinary(const testing_support::TempDeviceRoot& root, const std::string& entries);
std::string binaryFrom(const std::string& xml);

} // namespace preference_files
