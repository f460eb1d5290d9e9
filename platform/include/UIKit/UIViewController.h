// UIViewController: owns a view made on first use, and hears when that view is
// about to appear, has appeared and is about to disappear.
//
// "init", "view" and the appearance calls are methods of the runtime, so that a
// host class can derive from this one and a library can hook or call them by
// selector. The C++ members below are this class's own behaviour: a subclass
// that registers its own "viewWillAppear:" calls UIViewController::viewWillAppear
// as its super call, and a caller that wants the hooked behaviour sends the
// message with objc_msgSend.
#pragma once

#include <UIKit/UIView.h>
#include <platform/Export.h>

class PLATFORM_EXPORT UIViewController : public objc::Subclass<UIViewController, NSObject> {
public:
    static Class classObject();

    ~UIViewController() override;

    // The view, made by loadView (then viewDidLoad) on first use.
    UIView* view();
    bool isViewLoaded() const { return view_ != nullptr; }
    void setView(UIView* view);

    // Makes the view: a plain view as large as the main screen.
    virtual void loadView();
    virtual void viewDidLoad() { }

    // UIKit's own part of the appearance calls: where the view stands between
    // them. A view is visible from viewDidAppear until viewWillDisappear.
    void viewWillAppear(bool animated);
    void viewDidAppear(bool animated);
    void viewWillDisappear(bool animated);
    bool isAppearing() const { return appearing_; }
    bool isVisible() const { return visible_; }

private:
    Ref<UIView> view_;
    bool appearing_ = false;
    bool visible_ = false;
};

// Sends the appearance messages through the runtime, so that hooks on them run:
// "viewWillAppear:" then "viewDidAppear:", or "viewWillDisappear:".
PLATFORM_EXPORT void UIViewControllerSendAppear(UIViewController* controller, bool animated);
PLATFORM_EXPORT void UIViewControllerSendDisappear(UIViewController* controller, bool animated);
