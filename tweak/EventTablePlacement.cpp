#include "tweak/EventTablePlacement.h"
#include "tweak/TweakSettings.h"

#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSValue.h>
#include <objc/message.h>

extern "C" {
CGFloat dglEventTableHeight;
}

namespace {

// Room left below the list for the lock screen's own controls.
constexpr CGFloat bottomInset = 70;
constexpr CGFloat sideInset = 8;
constexpr CGRect fallbackFrame { { 10, 200 }, { 300, 300 } };

void copySettings(DGLEventTable& table)
{
    table.setDisplayLocation(displayLocation);
    table.setIconType(iconType);
    table.setTitleTextSize(static_cast<CGFloat>(textSize));
    table.setTitleColor(textColor);
    table.setSubtitleTextSize(static_cast<CGFloat>(subtitleTextSize));
    table.setSubtitleColor(subtitleTextColor);
    table.setDateTextSize(static_cast<CGFloat>(dateTextSize));
    table.setDateColor(dateTextColor);
    table.setSameHeightRows(sameHeightRows);
    table.setShowsRowSeparators(showSeparatorLines);
    table.setTitleColorSameAsCalendarColor(titleColorSameAsCalendarColor);
    table.setDateIsRightAligned(rightAlignedDate);
    table.setDaysToDisplay(daysToDisplay);
    table.setMaxEventsToDisplay(maxEventsToDisplay);
    table.setSwipeAction(swipeAction);
    table.setGroupByDays(groupByDays);
    table.setOnlySelectedCalendars(onlySelectedCalendars);
    table.setSectionHeaderBackgroundColor(sectionHeaderBackgroundColor);
    table.setSectionHeaderTextColor(sectionHeaderTextColor);
    table.setCustomLaunchAppBundleID(customLaunchAppBundleID);
    table.setHeaderTextSize(static_cast<CGFloat>(headerTextSize));
    table.setBackgroundColor(backgroundColor);
    table.setHeaderIsUppercase(headerIsUppercase);
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
        options->setObjectForKey(NSNumber::numberWithInteger(1), key);
    return options;
}

} // namespace

CGRect insetEventTableFrame(CGRect suggested)
{
    return CGRectMake(suggested.origin.x + sideInset, suggested.origin.y, suggested.size.width - 2 * sideInset,
        suggested.size.height - bottomInset);
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

Ref<DGLEventTable> createEventTable(CGRect suggestedFrame)
{
    auto table = makeRef<DGLEventTable>(eventTableFrameForSuggestedFrame(suggestedFrame));
    copySettings(*table);
    table->setLsApplicationWorkspace(systemWorkspace());
    table->setOpenApplicationOptions(unlockingOpenOptions());
    table->initView();
    return table;
}
