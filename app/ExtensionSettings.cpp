#include "ExtensionSettings.h"

Class extensionSettingsClass()
{
    const Class settings = objc_getClass(settingsClassName);
    if (!settings)
        throw CommandError(std::string("the loaded extension has no ") + settingsClassName + " class");
    return settings;
}
