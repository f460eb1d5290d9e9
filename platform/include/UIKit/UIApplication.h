// UIApplication: the running application, here SpringBoard itself. Opening a URL
// goes to the system workspace, as on the phone, without launch options: the
// application that registered the URL's scheme opens with it.
#pragma once

#include <Foundation/NSURL.h>
#include <objc/runtime.h>
#include <platform/Export.h>

class PLATFORM_EXPORT UIApplication : public objc::Subclass<UIApplication, NSObject> {
public:
    static Class classObject();
    // +sharedApplication
    static UIApplication* sharedApplication();

    // -openURL: answers whether an application takes the URL.
    bool openURL(NSURL* url);

private:
    UIApplication() = default;
};
