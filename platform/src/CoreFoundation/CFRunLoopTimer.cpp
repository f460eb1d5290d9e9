#include <CoreFoundation/CFRunLoop.h>
#include <objc/runtime.h>

#include <cmath>

Class CFRunLoopTimer::classObject()
{
    return objc::registeredClass<CFRunLoopTimer>("__NSCFTimer");
}

CFRunLoopTimer::CFRunLoopTimer(CFAbsoluteTime fireDate, CFTimeInterval interval, Handler* handler)
    : fireDate_(fireDate)
    , interval_(interval)
    , handler_(handler)
{
}

void CFRunLoopTimer::fire(CFAbsoluteTime now)
{
    // The loop may drop the timer below, and its own handler may release it.
    Ref<CFRunLoopTimer> keepAlive(this);
    if (interval_ > 0)
        // Fires missed while nobody ran the loop are skipped, not made up for.
        fireDate_ += interval_ * std::max(1.0, std::floor((now - fireDate_) / interval_) + 1);
    else
        CFRunLoopTimerInvalidate(this);
    Ref<Handler> handler = handler_;
    if (handler)
        (*handler)(this);
}
