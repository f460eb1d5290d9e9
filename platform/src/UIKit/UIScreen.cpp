#include <UIKit/UIScreen.h>

Class UIScreen::classObject()
{
    static Class cls = objc::registerClass<UIScreen>("UIScreen", NSObject::classObject());
    return cls;
}

UIScreen::UIScreen()
    : bounds_(CGRectMake(0, 0, 375, 667))
    , scale_(2)
{
    setIsa(classObject());
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
