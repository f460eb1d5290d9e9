// NSTimeZone: a geopolitical time zone by its tz database name ("Europe/Berlin"),
// with its daylight-saving rules. The system zone is the host's
// (platform/Environment.h).
#pragma once

#include <Foundation/NSDate.h>
#include <Foundation/NSString.h>
#include <platform/Export.h>

#include <string_view>

class PLATFORM_EXPORT NSTimeZone : public objc::Subclass<NSTimeZone, NSObject> {
public:
    static Class classObject();

    // The host's zone; UTC when the host names a zone that the tz database does
    // not know (logged once per name). The same object comes back for as long
    // as the host's zone stays the same.
    static Ref<NSTimeZone> systemTimeZone();
    // The zone that calendars and formatters start with: the system zone.
    static Ref<NSTimeZone> defaultTimeZone();
    // The named zone; nil for a name the tz database does not know.
    static Ref<NSTimeZone> timeZoneWithName(std::string_view name);

    Ref<NSString> name() const { return name_; }
    // Offset from UTC at that instant, daylight saving included.
    NSInteger secondsFromGMTForDate(const NSDate* date) const;

    std::string description() const override;
    // Zones with the same name are equal.
    bool isEqual(const NSObject* other) const override;
    std::size_t hash() const override;

private:
    // Only for names the tz database knows: use the class methods.
    explicit NSTimeZone(std::string_view name);
    template <typename T, typename... Args> friend Ref<T> makeRef(Args&&... args);

    Ref<NSString> name_;
};
