#include <CoreGraphics/CGColor.h>

#include <cstdio>

std::string CGColor::componentText(CGFloat value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

Class CGColor::classObject()
{
    return objc::registeredClass<CGColor>("CGColor");
}

CGColor::CGColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
    : red_(red)
    , green_(green)
    , blue_(blue)
    , alpha_(alpha)
{
}

std::string CGColor::description() const
{
    return "<CGColor " + componentText(red_) + " " + componentText(green_) + " " + componentText(blue_) + " "
        + componentText(alpha_) + ">";
}

bool CGColor::isEqual(const NSObject* other) const
{
    auto* color = dynamicCast<CGColor>(const_cast<NSObject*>(other));
    return color && color->red_ == red_ && color->green_ == green_ && color->blue_ == blue_ && color->alpha_ == alpha_;
}
