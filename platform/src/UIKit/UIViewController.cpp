#include <UIKit/UIViewController.h>

#include <UIKit/UIScreen.h>

#include <objc/message.h>

namespace {

UIViewController* asController(id self)
{
    return static_cast<UIViewController*>(self);
}

id initImp(id self, SEL)
{
    return self;
}

id viewImp(id self, SEL)
{
    return asController(self)->view();
}

void viewWillAppearImp(id self, SEL, bool animated)
{
    asController(self)->UIViewController::viewWillAppear(animated);
}

void viewDidAppearImp(id self, SEL, bool animated)
{
    asController(self)->UIViewController::viewDidAppear(animated);
}

void viewWillDisappearImp(id self, SEL, bool animated)
{
    asController(self)->UIViewController::viewWillDisappear(animated);
}

} // namespace

Class UIViewController::classObject()
{
    return objc::registeredClass<UIViewController>("UIViewController", [](Class c) {
        objc::addMethod(c, "init", &initImp);
        objc::addMethod(c, "view", &viewImp);
        objc::addMethod(c, "viewWillAppear:", &viewWillAppearImp);
        objc::addMethod(c, "viewDidAppear:", &viewDidAppearImp);
        objc::addMethod(c, "viewWillDisappear:", &viewWillDisappearImp);
    });
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

void UIViewController::viewDidAppear(bool)
{
    appearing_ = false;
    visible_ = true;
}

void UIViewController::viewWillDisappear(bool)
{
    appearing_ = false;
    visible_ = false;
}

void UIViewControllerSendAppear(UIViewController* controller, bool animated)
{
    objc_msgSend<void>(controller, "viewWillAppear:", animated);
    objc_msgSend<void>(controller, "viewDidAppear:", animated);
}

void UIViewControllerSendDisappear(UIViewController* controller, bool animated)
{
    objc_msgSend<void>(controller, "viewWillDisappear:", animated);
}
