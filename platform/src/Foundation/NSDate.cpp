#include <Foundation/NSDate.h>

#include <platform/Environment.h>

#include <cmath>
#include <ctime>
#include <functional>

Class NSDate::classObject()
{
    return objc::registeredClass<NSDate>("NSDate");
}

NSDate::NSDate(NSTimeInterval sinceReferenceDate)
    : sinceReferenceDate_(sinceReferenceDate)
{
}

Ref<NSDate> NSDate::date()
{
    return dateWithTimeIntervalSince1970(platform::currentUnixTime());
}

Ref<NSDate> NSDate::dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds)
{
    return makeRef<NSDate>(seconds);
}

Ref<NSDate> NSDate::dateWithTimeIntervalSince1970(NSTimeInterval seconds)
{
    return makeRef<NSDate>(seconds - NSTimeIntervalSince1970);
}

NSTimeInterval NSDate::timeIntervalSinceDate(const NSDate* other) const
{
    return sinceReferenceDate_ - other->sinceReferenceDate_;
}

Ref<NSDate> NSDate::dateByAddingTimeInterval(NSTimeInterval seconds) const
{
    return makeRef<NSDate>(sinceReferenceDate_ + seconds);
}

NSComparisonResult NSDate::compare(const NSDate* other) const
{
    if (sinceReferenceDate_ < other->sinceReferenceDate_)
        return NSOrderedAscending;
    if (sinceReferenceDate_ > other->sinceReferenceDate_)
        return NSOrderedDescending;
    return NSOrderedSame;
}

Ref<NSDate> NSDate::copy() const
{
    return Ref<NSDate>(const_cast<NSDate*>(this));
}

std::string NSDate::description() const
{
    const auto seconds = static_cast<std::time_t>(std::floor(timeIntervalSince1970()));
    std::tm utc {};
    gmtime_r(&seconds, &utc);
    char buffer[40];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S +0000", &utc);
    return buffer;
}

bool NSDate::isEqual(const NSObject* other) const
{
    auto* date = dynamicCast<NSDate>(const_cast<NSObject*>(other));
    return date && date->sinceReferenceDate_ == sinceReferenceDate_;
}

std::size_t NSDate::hash() const
{
    return std::hash<double>()(sinceReferenceDate_);
}
