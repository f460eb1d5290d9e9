// The base of SpringBoard's lock-screen controllers. The pages of the lock screen
// derive from it, and so may a page that an extension makes at run time.
#pragma once

#include <UIKit/UIViewController.h>
#include <host/Export.h>

class HOST_EXPORT SBDashBoardViewControllerBase
    : public objc::Subclass<SBDashBoardViewControllerBase, UIViewController> {
public:
    static Class classObject();

    // SpringBoard's bookkeeping in -viewWillAppear:: how often the page was about
    // to appear, and whether the last time was animated.
    int appearanceCount() const { return appearanceCount_; }
    bool lastAppearanceAnimated() const { return lastAppearanceAnimated_; }

protected:
    static id init(id self, SEL);

private:
    static void viewWillAppear(id self, SEL, BOOL animated);

    int appearanceCount_ = 0;
    bool lastAppearanceAnimated_ = false;
};
