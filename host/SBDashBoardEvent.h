// An event that SpringBoard sends to the lock screen's controllers through
// -handleEvent: (the screen waking, the lock screen going away, …).
#pragma once

#include <host/Export.h>
#include <objc/NSObjCRuntime.h>
#include <objc/runtime.h>

class HOST_EXPORT SBDashBoardEvent : public objc::Subclass<SBDashBoardEvent, NSObject> {
public:
    static Class classObject();

    // The types SpringBoard sends. Pages act on the lock screen's dismissal only.
    static constexpr NSInteger screenDidTurnOnType = 1;
    static constexpr NSInteger screenWillTurnOffType = 2;
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
