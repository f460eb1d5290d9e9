// SpringBoard's own words and numbers on the lock screen, in the device's
// language: the hint at the bottom, a notification's age and the charge. The
// extension's texts are its own; these are what the phone says around them.
#pragma once

#include <host/Export.h>

#include <string>
#include <string_view>

namespace host {

enum class LockScreenHint {
    // The lock screen at rest.
    Unlock,
    // A launch waits for the device to unlock.
    Open,
};

// The hint in the language of the locale, English for a language the phone
// does not speak: "Press home to unlock", "Zum Entsperren Home drücken".
HOST_EXPORT std::string_view lockScreenHintText(LockScreenHint hint, const std::string& localeIdentifier);

// How long ago a notification came, from ICU's relative formatter: "now",
// "1m ago", "3h ago" in English, "vor 3 Std.", "3時間前".
HOST_EXPORT std::string notificationAgeText(double seconds, const std::string& localeIdentifier);

// The battery's charge as the locale writes a percentage: "100%", "100 %", "%100".
HOST_EXPORT std::string chargeText(double fraction, const std::string& localeIdentifier);

// Whether the locale's language is written from right to left, so that the
// phone mirrors its bars.
HOST_EXPORT bool isRightToLeft(const std::string& localeIdentifier);

} // namespace host
