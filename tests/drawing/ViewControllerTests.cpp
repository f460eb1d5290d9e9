#include "ImagePixels.h"

#include <UIKit/UIScreen.h>
#include <UIKit/UIViewController.h>
#include <objc/message.h>
#include <substrate.h>

#include <RuntimeGuards.h>
#include <gtest/gtest.h>

namespace {

class LoadingController : public UIViewController {
public:
    void loadView() override
    {
        ++loads;
        setView(makeRef<UIView>(CGRectMake(0, 0, 10, 10)).get());
    }
    void viewDidLoad() override { ++didLoads; }
    int loads = 0, didLoads = 0;
};

} // namespace

TEST(ViewController, ViewIsMadeOnceOnFirstUse)
{
    auto controller = makeRef<LoadingController>();
    EXPECT_FALSE(controller->isViewLoaded());
    UIView* view = controller->view();
    EXPECT_EQ(controller->view(), view);
    EXPECT_EQ(controller->loads, 1);
    EXPECT_EQ(controller->didLoads, 1);
    EXPECT_EQ(view->frame(), CGRectMake(0, 0, 10, 10));

    auto plain = makeRef<UIViewController>();
    EXPECT_EQ(plain->view()->frame(), UIScreen::mainScreen()->bounds());
}

TEST(ViewController, RuntimeSubclassCanHookViewWillAppearAndCallThrough)
{
    static IMP saved = nullptr;
    static int hookCalls;
    hookCalls = 0;
    Class sub = objc_allocateClassPair(
        UIViewController::classObject(), testing_support::uniqueClassName("TestHookedController").c_str(), 0);
    objc_registerClassPair(sub);
    auto replacement = +[](id self, SEL sel, bool animated) {
        ++hookCalls;
        reinterpret_cast<void (*)(id, SEL, bool)>(saved)(self, sel, animated);
    };
    MSHookMessageEx(sub, sel_registerName("viewWillAppear:"), reinterpret_cast<IMP>(+replacement), &saved);
    ASSERT_NE(saved, nullptr);

    Ref<NSObject> made = Ref<NSObject>::adopt(class_createInstance(sub, 0));
    id controller = objc_msgSend<id>(made.get(), "init");
    ASSERT_EQ(controller, made.get());
    EXPECT_NE(objc_msgSend<id>(controller, "view"), nullptr);
    objc_msgSend<void>(controller, "viewWillAppear:", true);
    EXPECT_EQ(hookCalls, 1);
    EXPECT_TRUE(dynamicCast<UIViewController>(controller)->isAppearing());

    auto plain = makeRef<UIViewController>();
    objc_msgSend<void>(plain.get(), "viewWillAppear:", true);
    EXPECT_EQ(hookCalls, 1) << "the superclass keeps its own method";
}
