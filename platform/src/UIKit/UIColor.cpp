#include <UIKit/UIColor.h>

#include <UIKit/UIGraphics.h>

Class UIColor::classObject()
{
    return objc::registeredClass<UIColor>("UIColor");
}

UIColor::UIColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha, bool grayscale)
    : red_(red)
    , green_(green)
    , blue_(blue)
    , alpha_(alpha)
    , grayscale_(grayscale)
    , cgColor_(makeNonNullRef<::CGColor>(red, green, blue, alpha))
{
}

Ref<UIColor> UIColor::colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    return makeRef<UIColor>(red, green, blue, alpha, false);
}

Ref<UIColor> UIColor::colorWithWhite(CGFloat white, CGFloat alpha)
{
    return makeRef<UIColor>(white, white, white, alpha, true);
}

Ref<UIColor> UIColor::colorWithCGColor(const ::CGColor* color)
{
    if (!color)
        return nullptr;
    return colorWithRed(color->red(), color->green(), color->blue(), color->alpha());
}

Ref<UIColor> UIColor::blackColor()
{
    return colorWithWhite(0, 1);
}
Ref<UIColor> UIColor::darkGrayColor()
{
    return colorWithWhite(1.0 / 3.0, 1);
}
Ref<UIColor> UIColor::lightGrayColor()
{
    return colorWithWhite(2.0 / 3.0, 1);
}
Ref<UIColor> UIColor::whiteColor()
{
    return colorWithWhite(1, 1);
}
Ref<UIColor> UIColor::grayColor()
{
    return colorWithWhite(0.5, 1);
}
Ref<UIColor> UIColor::redColor()
{
    return colorWithRed(1, 0, 0, 1);
}
Ref<UIColor> UIColor::greenColor()
{
    return colorWithRed(0, 1, 0, 1);
}
Ref<UIColor> UIColor::blueColor()
{
    return colorWithRed(0, 0, 1, 1);
}
Ref<UIColor> UIColor::yellowColor()
{
    return colorWithRed(1, 1, 0, 1);
}
Ref<UIColor> UIColor::orangeColor()
{
    return colorWithRed(1, 0.5, 0, 1);
}
Ref<UIColor> UIColor::purpleColor()
{
    return colorWithRed(0.5, 0, 0.5, 1);
}
Ref<UIColor> UIColor::brownColor()
{
    return colorWithRed(0.6, 0.4, 0.2, 1);
}
Ref<UIColor> UIColor::clearColor()
{
    return colorWithWhite(0, 0);
}

bool UIColor::getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const
{
    if (red)
        *red = red_;
    if (green)
        *green = green_;
    if (blue)
        *blue = blue_;
    if (alpha)
        *alpha = alpha_;
    return true;
}

bool UIColor::getWhite(CGFloat* white, CGFloat* alpha) const
{
    if (!grayscale_)
        return false;
    if (white)
        *white = red_;
    if (alpha)
        *alpha = alpha_;
    return true;
}

std::string UIColor::description() const
{
    if (grayscale_)
        return "UIExtendedGrayColorSpace " + ::CGColor::componentText(red_) + " " + ::CGColor::componentText(alpha_);
    return "UIExtendedSRGBColorSpace " + ::CGColor::componentText(red_) + " " + ::CGColor::componentText(green_) + " "
        + ::CGColor::componentText(blue_) + " " + ::CGColor::componentText(alpha_);
}

bool UIColor::isEqual(const NSObject* other) const
{
    auto* color = dynamicCast<UIColor>(const_cast<NSObject*>(other));
    return color && color->red_ == red_ && color->green_ == green_ && color->blue_ == blue_ && color->alpha_ == alpha_;
}

void UIColor::set() const
{
    setFill();
    setStroke();
}

void UIColor::setFill() const
{
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), CGColor());
}

void UIColor::setStroke() const
{
    CGContextSetStrokeColorWithColor(UIGraphicsGetCurrentContext(), CGColor());
}
