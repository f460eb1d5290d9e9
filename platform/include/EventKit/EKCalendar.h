// EKCalendar: one calendar of the store, as the store saw it when it was made.
//
// `calendarIdentifier` is stable across runs and machines. It is a UUID of
// RFC 4122 version 5 (SHA-1, name-based) in the URL namespace
// 6ba7b811-9dad-11d1-80b4-00c04fd430c8, of the name
//   "x-dayglass-calendar:<folder>"  for a calendar folder of the device, <folder>
//                                   being the folder's own name (so that the
//                                   same device gives the same identifiers
//                                   wherever its root lies), and
//   "file://<absolute path>"         for a folder or an .ics file the host adds,
//                                   the path made absolute and normalised.
// The same value comes out of Python's
//   uuid.uuid5(uuid.NAMESPACE_URL, "x-dayglass-calendar:work")
// and is printed upper case, as the phone prints its calendar identifiers.
//
// `title` is the folder's `displayname` file, else the calendar's X-WR-CALNAME,
// else the folder's or the file's name. The colour is the folder's `color` file
// ("#RRGGBB" or "#RRGGBBAA"), else the calendar's X-APPLE-CALENDAR-COLOR or
// COLOR (hexadecimal or a CSS colour name), else one of the phone's seven
// default calendar colours, chosen by the identifier.
#pragma once

#include <CoreGraphics/CGColor.h>
#include <EventKit/EKTypes.h>
#include <Foundation/NSString.h>
#include <platform/Export.h>

class PLATFORM_EXPORT EKCalendar : public objc::Subclass<EKCalendar, NSObject> {
public:
    static Class classObject();

    const NSString* calendarIdentifier() const { return identifier_.get(); }
    const NSString* title() const { return title_.get(); }
    // Owned by the calendar.
    CGColorRef CGColor() const { return color_.get(); }

    // "EKCalendar {title = Work; identifier = …; color = #1BADF8FF;}"
    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    std::size_t hash() const override;

    // Made by the store only.
    EKCalendar(Ref<NSString> identifier, Ref<NSString> title, Ref<::CGColor> color);

private:
    Ref<NSString> identifier_;
    Ref<NSString> title_;
    Ref<::CGColor> color_;
};
