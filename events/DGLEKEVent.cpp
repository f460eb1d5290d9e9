#include "events/DGLEKEVent.h"

// The object-valued setters copy what they are given, so that a mutable string
// handed in cannot change the record afterwards.

Class DGLEKEVent::classObject()
{
    static Class cls = objc::registerClass<DGLEKEVent>("DGLEKEVent", NSObject::classObject());
    return cls;
}

DGLEKEVent::DGLEKEVent()
{
    setIsa(classObject());
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

std::string DGLEKEVent::description() const
{
    auto text = [](const NSObject* object) { return object ? object->description() : std::string("(null)"); };
    return "<DGLEKEVent: " + text(title_.get()) + " at " + text(startDate_.get()) + ">";
}
