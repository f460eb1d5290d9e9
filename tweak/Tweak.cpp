#include <tweak/Retained.h>
#include <tweak/Tweak.h>

#include <CoreFoundation/CFLog.h>
#include <Foundation/NSArray.h>
#include <objc/message.h>
#include <substrate.h>

#include <cstring>

namespace saved {
springboard::IdleTimerDurationIMP idleTimerDuration;
springboard::AddOrRemoveNotificationsListIMP addOrRemoveNotificationsListIfNecessaryAnimated;
springboard::ViewWillTransitionToSizeIMP viewWillTransitionToSize;
springboard::HandleEventIMP handleEvent;
springboard::InitIMP notificationListInit;
springboard::ViewWillAppearIMP viewWillAppear;
} // namespace saved

NSObject* dglDashBoardViewController;

namespace {

// Main page.

long long idleTimerDuration(id self, SEL op)
{
    if (isEnabled && customLSTimeoutEnabled)
        return customLSTimeout;
    return saved::idleTimerDuration(self, op);
}

// Main page content.

void addOrRemoveNotificationsListIfNecessaryAnimated(id self, SEL op, BOOL animated)
{
    // SpringBoard adds or removes its notification list here; the event list
    // follows it once the list view exists.
    saved::addOrRemoveNotificationsListIfNecessaryAnimated(self, op, animated);
}

void viewWillTransitionToSize(id self, SEL op, CGSize size, id coordinator)
{
    // Re-framing the own page's table after the change needs the page's views.
    saved::viewWillTransitionToSize(self, op, size, coordinator);
}

void hideDGLView(id self, SEL)
{
    if (!dglDashBoardViewController)
        return;
    Ref<NSArray> pages = NSArray::array({ Ref<NSObject>(dglDashBoardViewController) });
    objc_msgSend<void>(
        self, "dismissContentViewControllers:animated:completion:", pages.get(), YES, static_cast<id>(nullptr));
    assignRetained(dglDashBoardViewController, static_cast<NSObject*>(nullptr));
}

// The class is compared by name: a subclass of SpringBoard's event does not count.
bool isLockScreenDismissal(id event)
{
    return std::strcmp(class_getName(object_getClass(event)), springboard::dashBoardEventClass) == 0
        && objc_msgSend<NSInteger>(event, "type") == springboard::lockScreenDismissedEventType;
}

BOOL handleEvent(id self, SEL op, id event)
{
    const BOOL handled = saved::handleEvent(self, op, event);
    if (isEnabled && isLockScreenDismissal(event) && dglDashBoardViewController) {
        CFLog(kCFLogLevelNotice, NSString::string("[%s: %s:%d] %s: %@").get(), "Dayglass2", "Tweak", 1478, "INFO",
            NSString::stringWithFormat("DGL: lockscreen did dissapear, hiding calendar.").get());
        objc_msgSend<void>(self, "hideDGLView");
    }
    return handled;
}

// Notification list.

id notificationListInit(id self, SEL op)
{
    // The footer that carries the event list is registered with the list's
    // collection view once the footer view exists.
    return saved::notificationListInit(self, op);
}

// No footer yet: the last section's footer holds the event list once that exists.
CGSize referenceSizeForFooterInSection(id, SEL, id, id, NSInteger)
{
    return CGSizeZero;
}

id viewForSupplementaryElementOfKind(id, SEL, id, id, id)
{
    return nullptr;
}

// The own page.

void pageViewWillAppear(id self, SEL op, BOOL animated)
{
    // The page builds its event table here once the table exists.
    saved::viewWillAppear(self, op, animated);
}

// Each associated value is keyed by the address of its getter's selector.
const void* associationKey(const char* getter)
{
    return sel_registerName(getter);
}

id pageNotificationViewController(id self, SEL)
{
    return objc_getAssociatedObject(self, associationKey("_notificationViewController"));
}

void setPageNotificationViewController(id self, SEL, id controller)
{
    objc_setAssociatedObject(
        self, associationKey("_notificationViewController"), controller, OBJC_ASSOCIATION_RETAIN_NONATOMIC);
}

id pageEventTable(id self, SEL)
{
    return objc_getAssociatedObject(self, associationKey("dglEventTable"));
}

void setPageEventTable(id self, SEL, id table)
{
    objc_setAssociatedObject(self, associationKey("dglEventTable"), table, OBJC_ASSOCIATION_RETAIN_NONATOMIC);
}

// Installation.

template <typename Implementation>
void hookMessage(Class cls, const char* selector, Implementation replacement, Implementation* slot)
{
    IMP previous = nullptr;
    MSHookMessageEx(cls, sel_registerName(selector), reinterpret_cast<IMP>(replacement), &previous);
    *slot = reinterpret_cast<Implementation>(previous);
}

void registerPreferencesObserver()
{
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, &preferencesChangedCallback,
        preferencesChangedNotificationName(), nullptr, CFNotificationSuspensionBehaviorCoalesce);
}

void installMainPageHooks()
{
    Class mainPage = objc_getClass(springboard::mainPageViewControllerClass);
    hookMessage(mainPage, "idleTimerDuration", &idleTimerDuration, &saved::idleTimerDuration);
}

void installContentHooks()
{
    Class content = objc_getClass(springboard::mainPageContentViewControllerClass);
    hookMessage(content,
        "_addOrRemoveNotificationsListIfNecessaryAnimated:", &addOrRemoveNotificationsListIfNecessaryAnimated,
        &saved::addOrRemoveNotificationsListIfNecessaryAnimated);
    hookMessage(content, "viewWillTransitionToSize:withTransitionCoordinator:", &viewWillTransitionToSize,
        &saved::viewWillTransitionToSize);
    objc::addMethod(content, "hideDGLView", &hideDGLView);
    hookMessage(content, "handleEvent:", &handleEvent, &saved::handleEvent);
}

void installNotificationListHooks()
{
    Class list = objc_getClass(springboard::notificationListViewControllerClass);
    hookMessage(list, "init", &notificationListInit, &saved::notificationListInit);
    objc::addMethod(list, "collectionView:layout:referenceSizeForFooterInSection:", &referenceSizeForFooterInSection);
    objc::addMethod(
        list, "collectionView:viewForSupplementaryElementOfKind:atIndexPath:", &viewForSupplementaryElementOfKind);
}

// The page class is registered at once, before anything is hooked on it or added to it.
void installPageClass()
{
    Class base = objc_getClass(springboard::viewControllerBaseClass);
    Class page = objc_allocateClassPair(base, dglPageClassName, 0);
    objc_registerClassPair(page);
    hookMessage(page, "viewWillAppear:", &pageViewWillAppear, &saved::viewWillAppear);
    objc::addMethod(page, "_notificationViewController", &pageNotificationViewController);
    objc::addMethod(page, "set_notificationViewController:", &setPageNotificationViewController);
    objc::addMethod(page, "dglEventTable", &pageEventTable);
    objc::addMethod(page, "setDglEventTable:", &setPageEventTable);
}

} // namespace

void loadTweak()
{
    AutoreleasePool pool;
    registerPreferencesObserver();
    loadPreferences();
    installMainPageHooks();
    installContentHooks();
    installNotificationListHooks();
    installPageClass();
}
