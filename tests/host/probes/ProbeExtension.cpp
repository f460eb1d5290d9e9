// A stand-in extension for the loader tests: its initialiser logs the path it was
// loaded from, so a test sees which copies were loaded and in which order. The
// initialiser is internal to each copy, so that its address names that copy and
// not the first one loaded.
#include <Foundation/NSLog.h>

#include <dlfcn.h>

namespace {

__attribute__((constructor)) void probeLoaded()
{
    Dl_info info {};
    dladdr(reinterpret_cast<void*>(&probeLoaded), &info);
    NSLog("probe loaded: %s", info.dli_fname);
}

} // namespace
