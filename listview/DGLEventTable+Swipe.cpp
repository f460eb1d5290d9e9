#include "events/DGLEKEVent.h"
#include "listview/DGLEventTable.h"

#include <Foundation/NSCalendar.h>
#include <Foundation/NSDateComponents.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSURL.h>
#include <UIKit/NSIndexPath.h>
#include <dispatch/dispatch.h>
#include <objc/message.h>
#include <springboard/SpringBoard.h>

#include <cstdio>

namespace {

// A row's content pulled further right than this, and let go, acts.
constexpr CGFloat swipeThreshold = -80.0;
constexpr NSInteger rowsPerSectionInTag = 1000;
// Decodes to row -1 of section 0, which holds no event.
constexpr NSInteger unaddressableRowTag = -1;
// Year, month, day, hour and minute.
constexpr NSCalendarUnit startDayUnits
    = NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay | NSCalendarUnitHour | NSCalendarUnitMinute;

} // namespace

NSInteger DGLEventTable::tagForRow(NSInteger section, NSInteger row)
{
    return row < rowsPerSectionInTag ? section * rowsPerSectionInTag + row : unaddressableRowTag;
}

void DGLEventTable::scrollViewDidEndDragging(UIScrollView* scrollView, bool)
{
    if (!(scrollView->contentOffset().x < swipeThreshold))
        return;
    NSLog("DGL2: scrollViewDidEndDraggingo customLaunchAppBundleID:%@, self.swipeAction=%lu",
        customLaunchAppBundleID_.get(), static_cast<unsigned long>(swipeAction_));

    const NSInteger tag = scrollView->tag();
    const NSInteger section = tag / rowsPerSectionInTag;
    const NSInteger row = tag - section * rowsPerSectionInTag;
    // The list may have been reloaded since the row was configured, or the tag
    // may address nothing at all: then the swipe does nothing.
    DGLEKEVent* event = eventAtIndexPath(NSIndexPath::indexPathForRow(row, section).get());
    if (!event) {
        NSLog("DGL2: no event at section %ld, row %ld (tag %ld); the swipe does nothing", static_cast<long>(section),
            static_cast<long>(row), static_cast<long>(tag));
        return;
    }

    switch (swipeAction_) {
    case DGLSwipeActionOpenEvent:
        openInCalendar(event);
        return;
    case DGLSwipeActionOpenDayElsewhere:
        openDayElsewhere(*event);
        return;
    case DGLSwipeActionLaunchApplication:
        launchApplication();
        return;
    default:
        return;
    }
}

// The workspace may take its time asking for the passcode: the main thread does
// not wait for it. The block keeps the table and the event alive until it has
// run, even if the list leaves the screen meanwhile.
void DGLEventTable::openInCalendar(DGLEKEVent* event)
{
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
        [table = Ref<DGLEventTable>(this), event = Ref<DGLEKEVent>(event)] {
            objc_msgSend<BOOL>(table->lsApplicationWorkspace(),
                "openURL:withOptions:", const_cast<NSURL*>(event->URL()), table->openApplicationOptions());
        });
}

// The outside calendar shows the local day the event starts on.
void DGLEventTable::openDayElsewhere(const DGLEKEVent& event)
{
    const Ref<NSDateComponents> start = NSCalendar::currentCalendar()->components(startDayUnits, event.startDate());
    char link[96];
    std::snprintf(link, sizeof link, "fantastical2://show?date=%lu-%lu-%lu", static_cast<unsigned long>(start->year()),
        static_cast<unsigned long>(start->month()), static_cast<unsigned long>(start->day()));
    id application = objc_msgSend<id>(objc_getClass("UIApplication"), "sharedApplication");
    objc_msgSend<BOOL>(application, "openURL:", NSURL::URLWithString(link).get());
}

void DGLEventTable::launchApplication() const
{
    if (!customLaunchAppBundleID_ || customLaunchAppBundleID_->length() == 0)
        return;
    NSLog("DGL2: opening app :%@", customLaunchAppBundleID_.get());
    id controller = objc_msgSend<id>(objc_getClass(springboard::applicationControllerClass), "sharedInstance");
    id application = objc_msgSend<id>(controller, "applicationWithDisplayIdentifier:", customLaunchAppBundleID_.get());
    id uiController = objc_msgSend<id>(objc_getClass(springboard::uiControllerClass), "sharedInstance");
    objc_msgSend<void>(uiController, "activateApplicationAnimated:", application);
}
