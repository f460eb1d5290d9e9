// The loaded extension's settings, reached as SpringBoard reaches the extension:
// through the runtime, as the class properties of its settings class, typed by
// the settings table that the command shares with it. Nothing here links the
// extension or looks into the loaded library.
#pragma once

#include "Command.h"

#include <objc/message.h>
#include <schema/SettingsTable.h>

// One field of the settings, named as in the table:
// `extensionSetting<setting::isEnabled>()`.
namespace setting {
#define DAYGLASS_SETTING_FIELD(symbol, key, kind, fallback)                                                            \
    struct symbol {                                                                                                    \
        static constexpr const char* name = #symbol;                                                                   \
        using Type = SettingType<SettingKind::kind>;                                                                   \
    };
DAYGLASS_SETTINGS(DAYGLASS_SETTING_FIELD)
#undef DAYGLASS_SETTING_FIELD
} // namespace setting

// The settings class of the loaded extension. CommandError when no loaded library
// registered it.
Class extensionSettingsClass();

// The field's value as the extension holds it now.
template <typename Field> typename Field::Type extensionSetting()
{
    return objc_msgSend<typename Field::Type>(extensionSettingsClass(), Field::name);
}

// Replaces the field's value in the running extension, until its next load of the
// preference file.
template <typename Field> void setExtensionSetting(typename Field::Type value)
{
    objc_msgSend<void>(extensionSettingsClass(), settingSetterName(Field::name).c_str(), value);
}
