#include <UIKit/UIViewController.h>

#include <UIKit/UIScreen.h>

namespace {

id initImp(id self, SEL)
{
    return self;
}

id viewImp(id self, SEL)
{
    return static_cast<UIViewController*>(self)->view();
}

void viewWillAppearImp(id self, SEL, bool animated)
{
    static_cast<UIViewController*>(self)->UIViewController::viewWillAppear(animated);
}

} // namespace

Class UIViewController::classObject()
{
    static Class cls = objc::registerClass<UIViewController>("UIViewController", NSObject::classObject(), [](Class c) {
        objc::addMethod(c, "init", &initImp);
        objc::addMethod(c, "view", &viewImp);
        objc::addMethod(c, "viewWillAppear:", &viewWillAppearImp);
    });
    return cls;
}

UIViewController::UIViewController()
{
    setIsa(classObject());
}

UIViewController::~UIViewController() = default;

UIView* UIViewController::view()
{
    if (!view_) {
        loadView();
        if (!view_)
            view_ = makeRef<UIView>(UIScreen::mainScreen()->bounds());
        viewDidLoad();
    }
    return view_.get();
}

void UIViewController::setView(UIView* view)
{
    view_ = view;
}

void UIViewController::loadView()
{
    auto view = makeRef<UIView>(UIScreen::mainScreen()->bounds());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view_ = view;
}

void UIViewController::viewWillAppear(bool)
{
    appearing_ = true;
}
