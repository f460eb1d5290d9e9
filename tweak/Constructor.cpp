// The library's one module initialiser: it runs when SpringBoard's loader opens
// the library, and wires the extension in.
#include <tweak/Tweak.h>

#include <Foundation/NSLog.h>

#include <exception>

extern "C" __attribute__((constructor)) void tweakConstructor()
{
    // An exception leaving a module initialiser would abort SpringBoard itself.
    try {
        loadTweak();
    } catch (const std::exception& error) {
        NSLog("DGL: loading stopped early: %s", error.what());
    }
}
