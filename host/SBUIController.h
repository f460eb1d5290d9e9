// SpringBoard's user-interface controller: brings an application to the foreground.
#pragma once

#include <host/SBApplication.h>

class SBUIController : public NSObject {
public:
    static Class classObject();
    SBUIController();

    static SBUIController* sharedInstance();

    // The application most recently activated, nil while SpringBoard itself is in front.
    SBApplication* foregroundApplication() const { return foregroundApplication_.get(); }

private:
    static void activateApplicationAnimated(id self, SEL, id application);

    Ref<SBApplication> foregroundApplication_;
};
