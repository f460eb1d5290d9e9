#include <EventKit/EKPredicate.h>

Class EKPredicate::classObject()
{
    static Class cls = objc::registerClass(objc::ClassDefinition { "EKPredicate", NSObject::classObject(), {} });
    return cls;
}

EKPredicate::EKPredicate(Ref<NSDate> startDate, Ref<NSDate> endDate, Ref<NSArray> calendars)
    : startDate_(std::move(startDate))
    , endDate_(std::move(endDate))
    , calendars_(std::move(calendars))
{
    setIsa(classObject());
}

std::string EKPredicate::description() const
{
    return "EKPredicate {start = " + startDate_->description() + "; end = " + endDate_->description()
        + "; calendars = " + (calendars_ ? std::to_string(calendars_->count()) : std::string("all")) + ";}";
}
