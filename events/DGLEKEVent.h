// One event occurrence as the list shows it: a snapshot copied out of the
// calendar store when the list is loaded. Nothing here refers back to the store,
// so a record stays valid after the store is gone, and it never changes after
// the loader has filled it.
#pragma once

#include <Foundation/NSDate.h>
#include <Foundation/NSString.h>
#include <Foundation/NSURL.h>
#include <UIKit/UIColor.h>

class DGLEKEVent : public objc::Subclass<DGLEKEVent, NSObject> {
public:
    static Class classObject();

    const NSDate* endDate() const { return endDate_.get(); }
    void setEndDate(const NSDate* date);
    // The sort key and the key that decides the record's day.
    const NSDate* startDate() const { return startDate_.get(); }
    void setStartDate(const NSDate* date);
    bool isAllDay() const { return allDay_; }
    void setAllDay(bool allDay) { allDay_ = allDay; }
    // The link that opens this occurrence in the calendar application; nil when the
    // link text was not a valid URL.
    const NSURL* URL() const { return URL_.get(); }
    void setURL(const NSURL* url);
    // nil when the event has no location.
    const NSString* location() const { return location_.get(); }
    void setLocation(const NSString* location);
    const NSString* title() const { return title_.get(); }
    void setTitle(const NSString* title);
    UIColor* calendarColor() const { return calendarColor_.get(); }
    void setCalendarColor(UIColor* color) { calendarColor_ = color; }
    // The calendar the event belongs to, for tools that list the events outside the
    // lock screen; the list itself never reads it. Set after all the others.
    const NSString* calendarIdentifier() const { return calendarIdentifier_.get(); }
    void setCalendarIdentifier(const NSString* identifier);

    std::string description() const override;

private:
    Ref<NSDate> endDate_;
    Ref<NSDate> startDate_;
    bool allDay_ = false;
    Ref<NSURL> URL_;
    Ref<NSString> location_;
    Ref<NSString> title_;
    Ref<UIColor> calendarColor_;
    Ref<NSString> calendarIdentifier_;
};
