// SpringBoard's user-interface controller: brings an application to the foreground.
#pragma once

#include <host/Export.h>
#include <host/SBApplication.h>

#include <functional>

class HOST_EXPORT SBUIController : public objc::Subclass<SBUIController, NSObject> {
public:
    static Class classObject();

    static SBUIController* sharedInstance();

    // Who brings an application to the foreground: the running SpringBoard sets
    // it and takes it away when it stops. Without one nothing comes.
    using Activator = std::function<void(SBApplication*)>;
    void setActivator(Activator activator) { activator_ = std::move(activator); }

private:
    // Nil, or anything but an application, does nothing and is logged.
    static void activateApplicationAnimated(id self, SEL, id application);

    Activator activator_;
};
