#include "events/DGLEKEVent.h"

#include <objc/accessors.h>

using objc::Getter;

// The object-valued setters copy what they are given, so that a mutable string
// handed in cannot change the record afterwards.

// The getters answer by selector, so that code outside the extension (the
// dayglass command) reads records as it would on the phone.
Class DGLEKEVent::classObject()
{
    return objc::registeredClass<DGLEKEVent>("DGLEKEVent", [](Class c) {
        objc::addMethod(c, "title", &Getter<&DGLEKEVent::title>::imp);
        objc::addMethod(c, "location", &Getter<&DGLEKEVent::location>::imp);
        objc::addMethod(c, "startDate", &Getter<&DGLEKEVent::startDate>::imp);
        objc::addMethod(c, "endDate", &Getter<&DGLEKEVent::endDate>::imp);
        objc::addMethod(c, "isAllDay", &Getter<&DGLEKEVent::isAllDay>::imp);
        objc::addMethod(c, "URL", &Getter<&DGLEKEVent::URL>::imp);
        objc::addMethod(c, "calendarColor", &Getter<&DGLEKEVent::calendarColor>::imp);
        objc::addMethod(c, "calendarIdentifier", &Getter<&DGLEKEVent::calendarIdentifier>::imp);
    });
}

void DGLEKEVent::setEndDate(const NSDate* date)
{
    endDate_ = date ? date->copy() : nullptr;
}

void DGLEKEVent::setStartDate(const NSDate* date)
{
    startDate_ = date ? date->copy() : nullptr;
}

void DGLEKEVent::setURL(const NSURL* url)
{
    URL_ = url ? url->copy() : nullptr;
}

void DGLEKEVent::setLocation(const NSString* location)
{
    location_ = location ? location->copy() : nullptr;
}

void DGLEKEVent::setTitle(const NSString* title)
{
    title_ = title ? title->copy() : nullptr;
}

void DGLEKEVent::setCalendarIdentifier(const NSString* identifier)
{
    calendarIdentifier_ = identifier ? identifier->copy() : nullptr;
}

std::string DGLEKEVent::description() const
{
    auto text = [](const NSObject* object) { return object ? object->description() : std::string("(null)"); };
    return "<DGLEKEVent: " + text(title_.get()) + " at " + text(startDate_.get()) + ">";
}
