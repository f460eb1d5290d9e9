#include <EventKit/EKPredicate.h>

Class EKPredicate::classObject()
{
    return objc::registeredClass<EKPredicate>("EKPredicate");
}

EKPredicate::EKPredicate(Ref<NSDate> startDate, Ref<NSDate> endDate, Ref<NSArray> calendars)
    : startDate_(std::move(startDate))
    , endDate_(std::move(endDate))
    , calendars_(std::move(calendars))
{
}

std::string EKPredicate::description() const
{
    return "EKPredicate {start = " + startDate_->description() + "; end = " + endDate_->description()
        + "; calendars = " + (calendars_ ? std::to_string(calendars_->count()) : std::string("all")) + ";}";
}
