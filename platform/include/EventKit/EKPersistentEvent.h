// EKPersistentEvent: the stored event behind an occurrence, what an occurrence's
// private `_persistentEvent` answers.
//
// Its `eventIdentifier` is "<calendarIdentifier>:<UID>" for the stored series or
// single event, and "<calendarIdentifier>:<UID>/RID=<RECURRENCE-ID>" for an
// occurrence that an override detached from its series. The RECURRENCE-ID is
// written in iCalendar form: "20240305T080000Z" for a time with a zone (in UTC),
// "20240305T090000" for a floating time, "20240305" for a date.
#pragma once

#include <Foundation/NSString.h>
#include <platform/Export.h>

class PLATFORM_EXPORT EKPersistentEvent : public objc::Subclass<EKPersistentEvent, NSObject> {
public:
    static Class classObject();

    explicit EKPersistentEvent(Ref<NSString> eventIdentifier);

    const NSString* eventIdentifier() const { return eventIdentifier_.get(); }

    std::string description() const override;

private:
    Ref<NSString> eventIdentifier_;
};
