// An event that SpringBoard sends to the lock screen's controllers through
// -handleEvent: (the screen waking, the lock screen going away, …).
#pragma once

#include <objc/NSObjCRuntime.h>
#include <objc/runtime.h>

class SBDashBoardEvent : public NSObject {
public:
    static Class classObject();

    // The only type the lock screen's pages act on by number.
    static constexpr NSInteger lockScreenWillDismissType = 4;

    SBDashBoardEvent()
        : SBDashBoardEvent(0)
    {
    }
    explicit SBDashBoardEvent(NSInteger type);
    static Ref<SBDashBoardEvent> eventWithType(NSInteger type);

    NSInteger type() const { return type_; }

private:
    static NSInteger typeImp(id self, SEL);

    NSInteger type_;
};
