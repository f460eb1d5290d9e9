#include <UIKit/UIScreen.h>

Class UIScreen::classObject()
{
    return objc::registeredClass<UIScreen>("UIScreen");
}

UIScreen::UIScreen()
    : bounds_(CGRectMake(0, 0, 375, 667))
    , scale_(2)
{
}

UIScreen* UIScreen::mainScreen()
{
    static Ref<UIScreen> screen = makeRef<UIScreen>();
    return screen.get();
}

void UIScreen::setScale(CGFloat scale)
{
    if (scale > 0)
        scale_ = scale;
}
