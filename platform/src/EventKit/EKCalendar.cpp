#include <EventKit/EKCalendar.h>

#include <cmath>
#include <cstdio>

Class EKCalendar::classObject()
{
    return objc::registeredClass<EKCalendar>("EKCalendar");
}

EKCalendar::EKCalendar(Ref<NSString> identifier, Ref<NSString> title, Ref<::CGColor> color)
    : identifier_(std::move(identifier))
    , title_(std::move(title))
    , color_(std::move(color))
{
}

std::string EKCalendar::description() const
{
    auto byte = [](CGFloat component) { return static_cast<unsigned>(std::lround(component * 255)); };
    char color[16];
    std::snprintf(color, sizeof color, "#%02X%02X%02X%02X", byte(color_->red()), byte(color_->green()),
        byte(color_->blue()), byte(color_->alpha()));
    return "EKCalendar {title = " + title_->UTF8String() + "; identifier = " + identifier_->UTF8String()
        + "; color = " + color + ";}";
}

bool EKCalendar::isEqual(const NSObject* other) const
{
    auto* calendar = dynamicCast<EKCalendar>(const_cast<NSObject*>(other));
    return calendar && calendar->identifier_->isEqualToString(identifier_.get());
}

std::size_t EKCalendar::hash() const
{
    return identifier_->hash();
}
