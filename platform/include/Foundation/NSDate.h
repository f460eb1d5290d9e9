// NSDate: an absolute instant, seconds since the reference date
// (2001-01-01 00:00:00 UTC). "Now" is the host's clock (platform/Environment.h).
#pragma once

#include <objc/NSObjCRuntime.h>
#include <objc/runtime.h>
#include <platform/Export.h>

typedef double NSTimeInterval;

// Seconds from 1970-01-01 to the reference date 2001-01-01, both UTC.
inline constexpr NSTimeInterval NSTimeIntervalSince1970 = 978307200.0;

class PLATFORM_EXPORT NSDate : public objc::Subclass<NSDate, NSObject> {
public:
    static Class classObject();

    explicit NSDate(NSTimeInterval sinceReferenceDate = 0);

    // The host's current instant.
    static Ref<NSDate> date();
    static Ref<NSDate> dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds);
    static Ref<NSDate> dateWithTimeIntervalSince1970(NSTimeInterval seconds);

    NSTimeInterval timeIntervalSinceReferenceDate() const { return sinceReferenceDate_; }
    NSTimeInterval timeIntervalSince1970() const { return sinceReferenceDate_ + NSTimeIntervalSince1970; }
    NSTimeInterval timeIntervalSinceDate(const NSDate* other) const;
    Ref<NSDate> dateByAddingTimeInterval(NSTimeInterval seconds) const;
    NSComparisonResult compare(const NSDate* other) const;
    // Dates are immutable: a copy is the same object.
    Ref<NSDate> copy() const;

    // "2017-03-05 13:05:00 +0000", as Foundation prints a date.
    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    std::size_t hash() const override;

private:
    NSTimeInterval sinceReferenceDate_;
};
