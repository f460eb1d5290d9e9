// The main run loop: it serves the main dispatch queue and notifications posted
// from other processes. Modes are accepted and not told apart: every source runs
// in every mode.
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

// Runs the main run loop on the calling thread for at most `seconds` (0 handles
// what is pending and returns), or until CFRunLoopStop, or after the first
// handled source when asked to. The main queue is always one of its sources, so
// it never finishes for want of sources.
CFRunLoopRunResult CFRunLoopRunInMode(CFStringRef mode, CFTimeInterval seconds, Boolean returnAfterSourceHandled);
// Runs the main run loop until CFRunLoopStop.
void CFRunLoopRun();
// Makes the current run return; when the loop is not running, the next run
// returns at once. Safe from any thread, and from a signal handler.
void CFRunLoopStop(CFRunLoopRef loop);

extern const CFStringRef kCFRunLoopDefaultMode;
