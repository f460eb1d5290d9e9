#include <Foundation/NSTimeZone.h>

#include "IcuDates.h"

#include <unicode/timezone.h>

#include <memory>
#include <mutex>

Class NSTimeZone::classObject()
{
    return objc::registeredClass<NSTimeZone>("NSTimeZone");
}

NSTimeZone::NSTimeZone(std::string_view name)
    : name_(NSString::string(name))
{
}

Ref<NSTimeZone> NSTimeZone::systemTimeZone()
{
    struct System {
        std::mutex lock;
        Ref<NSTimeZone> zone;
    };
    static auto* system = new System;
    const std::string name = dates::hostTimeZoneName();
    std::lock_guard guard(system->lock);
    if (!system->zone || system->zone->name_->UTF8String() != name)
        system->zone = makeRef<NSTimeZone>(name);
    return system->zone;
}

Ref<NSTimeZone> NSTimeZone::defaultTimeZone()
{
    return systemTimeZone();
}

Ref<NSTimeZone> NSTimeZone::timeZoneWithName(std::string_view name)
{
    if (!dates::isKnownTimeZone(name))
        return nil;
    return makeRef<NSTimeZone>(name);
}

NSInteger NSTimeZone::secondsFromGMTForDate(const NSDate* date) const
{
    if (!date)
        return 0;
    dates::IcuSession icu;
    int32_t raw = 0;
    int32_t dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    icu.calendar(name_->UTF8String()).getTimeZone().getOffset(dates::toUDate(date), false, raw, dst, status);
    return U_SUCCESS(status) ? (raw + dst) / 1000 : 0;
}

std::string NSTimeZone::description() const
{
    return name_->UTF8String();
}

bool NSTimeZone::isEqual(const NSObject* other) const
{
    auto* zone = dynamicCast<NSTimeZone>(const_cast<NSObject*>(other));
    return zone && zone->name_->isEqualToString(name_.get());
}

std::size_t NSTimeZone::hash() const
{
    return name_->hash();
}
