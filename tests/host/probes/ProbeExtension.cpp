// A stand-in extension for the loader tests: its initialiser logs the path it was
// loaded from, so a test sees which copies were loaded and in which order.
#include <Foundation/NSLog.h>

#include <dlfcn.h>

extern "C" __attribute__((constructor)) void probeLoaded()
{
    Dl_info info {};
    dladdr(reinterpret_cast<void*>(&probeLoaded), &info);
    NSLog("probe loaded: %s", info.dli_fname);
}
