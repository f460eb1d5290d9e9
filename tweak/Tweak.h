// The extension's load entry and its hooks on SpringBoard's lock screen.
//
// Loading registers the preference observer, loads the settings, then installs,
// in this order: on SBDashBoardMainPageViewController, idleTimerDuration
// (replaced); on SBDashBoardMainPageContentViewController,
// _addOrRemoveNotificationsListIfNecessaryAnimated:,
// viewWillTransitionToSize:withTransitionCoordinator: (replaced), hideDGLView
// (added), handleEvent: (replaced); on NCNotificationPriorityListViewController,
// init (replaced) and the two footer methods of its collection view (added); then
// it creates the page class DGLSBDashBoardViewControllerBase, a subclass of
// SBDashBoardViewControllerBase, and on it replaces viewWillAppear: and adds the
// accessors of its two associated values.
#pragma once

#include <springboard/SpringBoard.h>
#include <tweak/TweakSettings.h>

#include "listview/DGLEventTable.h"

#include <objc/RetainedSlot.h>

// Runs the whole load once per process, inside one autorelease pool. The module
// initialiser calls it; SpringBoard's classes must be registered before.
void loadTweak();

// The name of the page class made at load.
inline constexpr const char* dglPageClassName = "DGLSBDashBoardViewControllerBase";

// SpringBoard's implementations, saved when the hooks were installed; the
// replacements call through them. Null until then.
namespace saved {
extern springboard::IdleTimerDurationIMP idleTimerDuration;
extern springboard::AddOrRemoveNotificationsListIMP addOrRemoveNotificationsListIfNecessaryAnimated;
extern springboard::ViewWillTransitionToSizeIMP viewWillTransitionToSize;
extern springboard::HandleEventIMP handleEvent;
extern springboard::InitIMP notificationListInit;
extern springboard::ViewWillAppearIMP viewWillAppear;
} // namespace saved

// The lock screen's state, all strong references, nil until first used:
// the event list's own page while it is presented;
extern RetainedSlot<NSObject> dglDashBoardViewController;
// the table in the notification list's footer, or the one meant to go there;
extern RetainedSlot<DGLEventTable> dglCollectionFooterEventTable;
// the footer's container, made on the list's first footer request and kept;
extern RetainedSlot<UIView> dglCollectionFooterEventTableContainer;
// the notification list controller most recently initialised.
extern RetainedSlot<NSObject> ncNotificationListViewController;
