// The library's one module initialiser: it runs when SpringBoard's loader opens
// the library, and wires the extension in.
#include <tweak/DGLCollectionFooterView.h>
#include <tweak/EventTablePlacement.h>
#include <tweak/Tweak.h>

#include "events/DGLEKEVent.h"
#include "listview/DGLEventTable.h"

#include <Foundation/NSLog.h>

#include <exception>

extern "C" __attribute__((constructor)) void tweakConstructor()
{
    // An exception leaving a module initialiser would abort SpringBoard itself.
    try {
        // On the phone the runtime registers a library's own classes, and the
        // methods its categories add, while the image loads, before any
        // initialiser runs; a host may then find them by name as soon as the
        // library is open.
        addEventTablePlacementMethods(DGLEventTable::classObject());
        DGLCollectionFooterView::classObject();
        DGLEKEVent::classObject();
        tweakSettingsClass();
        loadTweak();
    } catch (const std::exception& error) {
        NSLog("DGL: loading stopped early: %s", error.what());
    }
}
