// What the extension relies on from SpringBoard. SpringBoard is not a library the
// extension links: its classes are found by name through the runtime, as on a
// phone, and this header states the names, the members used and the shape of
// each implementation the extension replaces.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <objc/NSObjCRuntime.h>
#include <objc/runtime.h>

namespace springboard {

// The lock screen's main page: idleTimerDuration.
inline constexpr const char* mainPageViewControllerClass = "SBDashBoardMainPageViewController";
// Its content: _addOrRemoveNotificationsListIfNecessaryAnimated:,
// viewWillTransitionToSize:withTransitionCoordinator:, handleEvent:,
// presentContentViewControllers:animated:completion:,
// dismissContentViewControllers:animated:completion:, and the instance variable
// _notificationViewController holding the notification list.
inline constexpr const char* mainPageContentViewControllerClass = "SBDashBoardMainPageContentViewController";
// The base of the lock screen's pages: init, viewWillAppear:, view.
inline constexpr const char* viewControllerBaseClass = "SBDashBoardViewControllerBase";
// The notification list: init, collectionView, numberOfSectionsInCollectionView:,
// presenter (nil exactly while the list is not shown), _suggestedListViewFrame.
inline constexpr const char* notificationListViewControllerClass = "NCNotificationPriorityListViewController";
// The events of handleEvent:, compared by class name; type answers an integer.
inline constexpr const char* dashBoardEventClass = "SBDashBoardEvent";
// sharedInstance, applicationWithDisplayIdentifier:.
inline constexpr const char* applicationControllerClass = "SBApplicationController";
// sharedInstance, activateApplicationAnimated:.
inline constexpr const char* uiControllerClass = "SBUIController";

// The event type of the lock screen going away.
inline constexpr NSInteger lockScreenDismissedEventType = 4;

// SpringBoard's implementations of the replaced methods: receiver, selector, then
// the method's own arguments.
using IdleTimerDurationIMP = long long (*)(id self, SEL);
using AddOrRemoveNotificationsListIMP = void (*)(id self, SEL, BOOL animated);
using ViewWillTransitionToSizeIMP = void (*)(id self, SEL, CGSize size, id coordinator);
using HandleEventIMP = BOOL (*)(id self, SEL, id event);
using InitIMP = id (*)(id self, SEL);
using ViewWillAppearIMP = void (*)(id self, SEL, BOOL animated);

} // namespace springboard
