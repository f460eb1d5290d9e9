#include "tweak/EventTablePlacement.h"
#include "tweak/TweakSettings.h"

#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSValue.h>
#include <objc/message.h>

#include <type_traits>

CGFloat dglEventTableHeight;

namespace {

template <typename Setter> struct MemberArgument;
template <typename Class, typename Argument> struct MemberArgument<void (Class::*)(Argument)> {
    using Type = Argument;
};

// Room left below the list for the lock screen's own controls.
constexpr CGFloat bottomInset = 70;
constexpr CGFloat sideInset = 8;
constexpr CGRect fallbackFrame { { 10, 200 }, { 300, 300 } };

// A setting into its table property; sizes are whole points in the settings.
template <auto setter, typename Value> void feed(DGLEventTable& table, const Value& value)
{
    using Property = std::remove_cvref_t<typename MemberArgument<decltype(setter)>::Type>;
    (table.*setter)(static_cast<Property>(value));
}

void copySettings(DGLEventTable& table)
{
#define DAYGLASS_FEED_SETTING(setter, symbol) feed<&DGLEventTable::setter>(table, symbol);
    DAYGLASS_EVENT_TABLE_SETTINGS(DAYGLASS_FEED_SETTING)
#undef DAYGLASS_FEED_SETTING
}

// The system workspace, looked up by name on the first build and kept.
Class lsApplicationWorkspaceClass;

NSObject* systemWorkspace()
{
    if (!lsApplicationWorkspaceClass)
        lsApplicationWorkspaceClass = objc_getClass("LSApplicationWorkspace");
    return objc_msgSend<id>(lsApplicationWorkspaceClass, "defaultWorkspace");
}

// What the swipe action passes with every link it opens: ask to unlock first.
Ref<NSDictionary> unlockingOpenOptions()
{
    auto options = NSMutableDictionary::dictionary();
    for (const char* key : { "__PromptUnlockDevice", "LSOpenSensitiveURLOption", "__UnlockDevice" })
        options->setObjectForKey(NSNumber::numberWithInteger(1).get(), key);
    return options;
}

// A negative height is recorded as it is.
CGRect eventTableFrameForSuggestedFrame(CGRect suggested)
{
    if (CGRectIsEmpty(suggested)) {
        dglEventTableHeight = fallbackFrame.size.height;
        NSLog("DGL2: did not get suggested frame!");
        return fallbackFrame;
    }
    const CGRect frame = insetEventTableFrame(suggested);
    dglEventTableHeight = frame.size.height;
    return frame;
}

id createEventTableForSuggestedFrame(Class, SEL, CGRect suggestedFrame)
{
    return autoreleased(createEventTable(suggestedFrame));
}

CGFloat lastEventTableHeight(Class, SEL)
{
    return dglEventTableHeight;
}

} // namespace

CGRect insetEventTableFrame(CGRect suggested)
{
    return CGRectMake(suggested.origin.x + sideInset, suggested.origin.y, suggested.size.width - 2 * sideInset,
        suggested.size.height - bottomInset);
}

Ref<DGLEventTable> createEventTable(CGRect suggestedFrame)
{
    auto table = makeRef<DGLEventTable>(eventTableFrameForSuggestedFrame(suggestedFrame));
    copySettings(*table);
    table->setLsApplicationWorkspace(systemWorkspace());
    table->setOpenApplicationOptions(unlockingOpenOptions().get());
    table->initView();
    return table;
}

void addEventTablePlacementMethods(Class tableClass)
{
    objc::addClassMethod(tableClass, "createEventTable:", &createEventTableForSuggestedFrame);
    objc::addClassMethod(tableClass, "dglEventTableHeight", &lastEventTableHeight);
}
