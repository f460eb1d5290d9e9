// EKPredicate: the query a store builds for events between two instants in some
// calendars; only the store that made it (or another store) evaluates it.
#pragma once

#include <Foundation/NSArray.h>
#include <Foundation/NSDate.h>
#include <platform/Export.h>

class PLATFORM_EXPORT EKPredicate : public objc::Subclass<EKPredicate, NSObject> {
public:
    static Class classObject();

    // `calendars` nil means every calendar of the store.
    EKPredicate(Ref<NSDate> startDate, Ref<NSDate> endDate, Ref<NSArray> calendars);

    const NSDate* startDate() const { return startDate_.get(); }
    const NSDate* endDate() const { return endDate_.get(); }
    const NSArray* calendars() const { return calendars_.get(); }

    std::string description() const override;

private:
    Ref<NSDate> startDate_;
    Ref<NSDate> endDate_;
    Ref<NSArray> calendars_;
};
