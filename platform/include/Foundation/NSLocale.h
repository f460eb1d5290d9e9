// NSLocale: a language and region by ICU identifier ("en_US", "de_DE"). The
// current locale is the host's (platform/Environment.h).
#pragma once

#include <Foundation/NSString.h>
#include <objc/runtime.h>
#include <platform/Export.h>

#include <string_view>

class PLATFORM_EXPORT NSLocale : public objc::Subclass<NSLocale, NSObject> {
public:
    static Class classObject();

    explicit NSLocale(std::string_view identifier);

    // The host's locale. The same object comes back for as long as the host's
    // locale stays the same, and a new one after it changes, so a caller may
    // compare locales by identity to notice a change.
    static Ref<NSLocale> currentLocale();
    static Ref<NSLocale> localeWithLocaleIdentifier(std::string_view identifier);

    // The identifier as given.
    Ref<NSString> localeIdentifier() const { return identifier_; }

    std::string description() const override;
    // Locales with the same identifier are equal.
    bool isEqual(const NSObject* other) const override;
    std::size_t hash() const override;

private:
    Ref<NSString> identifier_;
};
