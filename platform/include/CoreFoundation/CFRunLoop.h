// The main run loop: it serves the main dispatch queue and notifications posted
// from other processes.
#pragma once

#include <CoreFoundation/CFBase.h>

typedef struct __CFRunLoop* CFRunLoopRef;

enum CFRunLoopRunResult : int {
    kCFRunLoopRunFinished = 1,
    kCFRunLoopRunStopped = 2,
    kCFRunLoopRunTimedOut = 3,
    kCFRunLoopRunHandledSource = 4,
};

CFRunLoopRef CFRunLoopGetMain();
// Runs the main run loop on the calling thread for at most `seconds`, or until
// CFRunLoopStop, or after the first handled source when asked to.
CFRunLoopRunResult CFRunLoopRunInMode(CFStringRef mode, CFTimeInterval seconds, Boolean returnAfterSourceHandled);
void CFRunLoopRun();
void CFRunLoopStop(CFRunLoopRef loop);

extern const CFStringRef kCFRunLoopDefaultMode;
