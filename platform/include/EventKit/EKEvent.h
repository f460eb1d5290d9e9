// EKEvent: one occurrence of a stored event, as the store answers a query.
//
// A repeating event gives one object per occurrence; they share the stored
// event's identifier and differ in their dates. All-day events start at local
// midnight of their first day in the device's time zone and, as on the phone,
// end one second before midnight after their last day.
//
// `_persistentEvent` is reachable by selector, as the phone's private method is.
#pragma once

#include <EventKit/EKCalendar.h>
#include <EventKit/EKPersistentEvent.h>
#include <Foundation/NSDate.h>
#include <platform/Export.h>

class PLATFORM_EXPORT EKEvent : public objc::Subclass<EKEvent, NSObject> {
public:
    static Class classObject();

    struct Occurrence {
        Ref<NSString> title; // nil when the item has no SUMMARY
        Ref<NSString> location; // nil when it has no LOCATION
        Ref<NSDate> startDate;
        Ref<NSDate> endDate;
        Ref<NSDate> occurrenceDate; // the start the series gave this occurrence
        bool allDay = false;
        bool detached = false; // moved or changed by an override
        Ref<EKPersistentEvent> persistentEvent;
    };
    EKEvent(Occurrence occurrence, Ref<EKCalendar> calendar);

    const NSString* title() const { return occurrence_.title.get(); }
    const NSString* location() const { return occurrence_.location.get(); }
    const NSDate* startDate() const { return occurrence_.startDate.get(); }
    const NSDate* endDate() const { return occurrence_.endDate.get(); }
    // The start the series' rule gave this occurrence, before any override moved it.
    const NSDate* occurrenceDate() const { return occurrence_.occurrenceDate.get(); }
    bool isAllDay() const { return occurrence_.allDay; }
    bool isDetached() const { return occurrence_.detached; }
    EKCalendar* calendar() const { return calendar_.get(); }
    // The same as the stored event's identifier.
    const NSString* eventIdentifier() const;
    EKPersistentEvent* persistentEvent() const { return occurrence_.persistentEvent.get(); }

    NSComparisonResult compareStartDateWithEvent(const EKEvent* other) const;

    std::string description() const override;

private:
    Occurrence occurrence_;
    Ref<EKCalendar> calendar_;
};
