// Posts Darwin notifications from a process of its own, as the settings command
// does: darwin_post ROOT NAME [COUNT].
#include <CoreFoundation/CFNotificationCenter.h>
#include <Foundation/NSString.h>
#include <platform/Environment.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    platform::setDeviceRoot(argv[1]);
    const int count = argc > 3 ? std::atoi(argv[3]) : 1;
    auto name = NSString::string(argv[2]);
    for (int i = 0; i < count; ++i)
        CFNotificationCenterPostNotification(
            CFNotificationCenterGetDarwinNotifyCenter(), name.get(), nullptr, nullptr, true);
    return 0;
}
