#include <UIKit/CALayer.h>

#include <UIKit/UIView.h>

#include <algorithm>

Class CALayer::classObject()
{
    return objc::registeredClass<CALayer>("CALayer");
}

CALayer::CALayer(UIView* view)
    : view_(view)
{
}

void CALayer::setCornerRadius(CGFloat radius)
{
    cornerRadius_ = std::max<CGFloat>(radius, 0);
}

void CALayer::renderInContext(CGContextRef context) const
{
    if (view_)
        view_->renderContents(context);
}
