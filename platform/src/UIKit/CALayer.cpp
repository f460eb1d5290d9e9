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

UIView* CALayer::delegate() const
{
    return view_.get();
}

void CALayer::renderInContext(CGContextRef context) const
{
    if (Ref<UIView> view = view_.strong())
        view->renderContents(context);
}
