// What `cmake --install` puts under share/dayglass, found from the command's own
// folder, so that an installed command needs neither its build tree nor its sources.
#pragma once

#include <string>

// The installed folder share/dayglass/NAME beside this command, or empty when the
// command is not an installed one (it runs from its build tree).
std::string installedDataFolder(const char* name);
