#include <tweak/DGLCollectionFooterView.h>
#include <tweak/EventTablePlacement.h>
#include <tweak/Tweak.h>

#include <CoreFoundation/CFLog.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSException.h>
#include <Foundation/NSLog.h>
#include <UIKit/UICollectionView.h>
#include <objc/Block.h>
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

RetainedSlot<NSObject> dglDashBoardViewController;
RetainedSlot<DGLEventTable> dglCollectionFooterEventTable;
RetainedSlot<UIView> dglCollectionFooterEventTableContainer;
RetainedSlot<NSObject> ncNotificationListViewController;

namespace {

Class dglDashBoardViewControllerClass;

// The log texts of the lock-screen hooks, and the dismissal line's source file and
// fixed line number 1478, are kept exactly as the extension has always written
// them, misspellings included: people and tools that read the system log look
// for these lines as they stand. Do not "correct" them.
constexpr const char* dismissalLogFormat = "[%s: %s:%d] %s: %@";
constexpr const char* dismissalLogTag = "Dayglass2";
constexpr const char* dismissalLogFile = "Tweak";
constexpr int dismissalLogLine = 1478;
constexpr const char* dismissalLogLevel = "INFO";
constexpr const char* dismissalLogMessage = "DGL: lockscreen did dissapear, hiding calendar.";
constexpr const char* listInitLog = "DGL2: NCNotificationPriorityListViewController init";
constexpr const char* footerSizeLog = "DGL2: referenceSizeForFooterInSection. self=%@";
constexpr const char* footerRegisteredLog
    = "DGL2:_hasRegisteredClassOrNibForSupplementaryViewOfKind=true. section = %lu, numOFSections=%lu";
constexpr const char* supplementaryKindLog = "DGL2: viewForSupplementaryElementOfKind: %@";
constexpr const char* footerKindLog = "DGL2: UICollectionElementKindSectionFooter";
constexpr const char* dequeueExceptionLog = "DGL2: exception when dequeuing footer: %@";
constexpr const char* containerCreatedLog = "DGL2: creating container with height %f";
constexpr const char* footerReturnedLog = "DGL2: reusableview=%@, dglCollectionFooterEventTableContainer=%@";

// The own page's table carries this tag, so that a size change finds it.
constexpr NSInteger ownPageTableTag = 298659386;
// The footer's height until a table has given one.
constexpr CGFloat fallbackFooterHeight = 400;
// The container sits this far below the top of the footer.
constexpr CGFloat containerTop = 8;

id notificationListOf(id content)
{
    Ivar ivar = class_getInstanceVariable(object_getClass(content), "_notificationViewController");
    return ivar ? object_getIvar(content, ivar) : nullptr;
}

// The zero rectangle for a nil list.
CGRect suggestedListViewFrame(id list)
{
    return objc_msgSend<CGRect>(list, "_suggestedListViewFrame");
}

CGFloat footerHeight()
{
    return dglEventTableHeight > 0 ? dglEventTableHeight : fallbackFooterHeight;
}

// Main page.

long long idleTimerDuration(id self, SEL op)
{
    if (isEnabled && customLSTimeoutEnabled)
        return customLSTimeout;
    return saved::idleTimerDuration(self, op);
}

// Main page content.

void presentOwnPage(id content, id list)
{
    if (!dglDashBoardViewControllerClass)
        dglDashBoardViewControllerClass = objc_getClass(dglPageClassName);
    Ref<NSObject> allocated = Ref<NSObject>::adopt(objc_msgSend<id>(dglDashBoardViewControllerClass, "alloc"));
    dglDashBoardViewController = objc_msgSend<id>(allocated.get(), "init");
    objc_msgSend<void>(dglDashBoardViewController, "set_notificationViewController:", list);
    Ref<NSArray> pages = NSArray::array({ Ref<NSObject>(dglDashBoardViewController) });
    objc_msgSend<void>(
        content, "presentContentViewControllers:animated:completion:", pages.get(), YES, static_cast<id>(nullptr));
}

// The footer table is sized like the list but placed at the footer's own origin.
void moveIntoFooter(id content, id list)
{
    objc_msgSend<void>(content, "hideDGLView");
    if (dglCollectionFooterEventTable)
        dglCollectionFooterEventTable->removeFromSuperview();
    dglCollectionFooterEventTable = nullptr;
    const CGSize size = suggestedListViewFrame(list).size;
    Ref<DGLEventTable> table = createEventTable(CGRectMake(0, 0, size.width, size.height));
    dglCollectionFooterEventTable = table.get();
    table->tableView()->setScrollEnabled(false);
    if (dglCollectionFooterEventTableContainer)
        dglCollectionFooterEventTableContainer->addSubview(table.get());
}

// Where the event list lives follows the notification list: its own page while
// the list is hidden, the list's footer once it shows.
void addOrRemoveNotificationsListIfNecessaryAnimated(id self, SEL op, BOOL animated)
{
    saved::addOrRemoveNotificationsListIfNecessaryAnimated(self, op, animated);
    if (!isEnabled)
        return;
    id list = notificationListOf(self);
    const bool pagePresented = dglDashBoardViewController != nullptr;
    const bool listShown = objc_msgSend<id>(list, "presenter") != nullptr;
    if (!pagePresented && !listShown)
        presentOwnPage(self, list);
    else if (pagePresented && listShown)
        moveIntoFooter(self, list);
}

// After a size change the own page's table takes the suggested frame again. A
// list suggested right of x 200 (a wide screen's centred column) is centred on
// the page instead.
void reframeOwnPageTable(id content)
{
    CGRect frame = suggestedListViewFrame(notificationListOf(content));
    if (frame.origin.x > 200) {
        auto* pageView = dynamicCast<UIView>(objc_msgSend<id>(dglDashBoardViewController, "view"));
        const CGFloat pageWidth = pageView ? pageView->frame().size.width : 0;
        frame.origin.x = (pageWidth - frame.size.width) * 0.5;
    }
    auto* contentView = dynamicCast<UIView>(objc_msgSend<id>(content, "view"));
    if (UIView* table = contentView ? contentView->viewWithTag(ownPageTableTag) : nullptr)
        table->setFrame(insetEventTableFrame(frame));
}

void viewWillTransitionToSize(id self, SEL op, CGSize size, id coordinator)
{
    saved::viewWillTransitionToSize(self, op, size, coordinator);
    // A plain pointer: the block does not keep the content controller alive.
    id content = self;
    Ref<Block<void(id)>> completion = makeBlock<void(id)>([content](id) { reframeOwnPageTable(content); });
    objc_msgSend<BOOL>(coordinator, "animateAlongsideTransition:completion:", static_cast<id>(nullptr),
        static_cast<id>(completion.get()));
}

void hideDGLView(id self, SEL)
{
    if (!dglDashBoardViewController)
        return;
    Ref<NSArray> pages = NSArray::array({ Ref<NSObject>(dglDashBoardViewController) });
    objc_msgSend<void>(
        self, "dismissContentViewControllers:animated:completion:", pages.get(), YES, static_cast<id>(nullptr));
    dglDashBoardViewController = nullptr;
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
        CFLog(kCFLogLevelNotice, dismissalLogFormat, dismissalLogTag, dismissalLogFile, dismissalLogLine,
            dismissalLogLevel, NSString::stringWithFormat(dismissalLogMessage));
        objc_msgSend<void>(self, "hideDGLView");
    }
    return handled;
}

// Notification list.

id notificationListInit(id self, SEL op)
{
    NSLog(listInitLog);
    id list = saved::notificationListInit(self, op);
    ncNotificationListViewController = list;
    id collectionView = objc_msgSend<id>(self, "collectionView");
    objc_msgSend<void>(collectionView,
        "registerClass:forSupplementaryViewOfKind:withReuseIdentifier:", DGLCollectionFooterView::classObject(),
        UICollectionElementKindSectionFooter(), DGLCollectionFooterView::reuseIdentifier());
    return list;
}

CGFloat frameWidth(id view)
{
    auto* uiView = dynamicCast<UIView>(view);
    return uiView ? uiView->frame().size.width : 0;
}

// Only the last section has a footer: the event list under every notification.
CGSize referenceSizeForFooterInSection(id self, SEL, id collectionView, id, NSInteger section)
{
    NSLog(footerSizeLog, self);
    id ownCollectionView = objc_msgSend<id>(self, "collectionView");
    if (!objc_msgSend<BOOL>(ownCollectionView,
            "_hasRegisteredClassOrNibForSupplementaryViewOfKind:", UICollectionElementKindSectionFooter()))
        return CGSizeZero;
    const NSInteger sections = objc_msgSend<NSInteger>(self, "numberOfSectionsInCollectionView:", collectionView);
    NSLog(footerRegisteredLog, static_cast<unsigned long>(section), static_cast<unsigned long>(sections));
    if (section != sections - 1)
        return CGSizeZero;
    return CGSizeMake(frameWidth(collectionView), footerHeight());
}

UIView* footerContainer(id collectionView)
{
    if (dglCollectionFooterEventTableContainer) {
        dglCollectionFooterEventTableContainer->removeFromSuperview();
        return dglCollectionFooterEventTableContainer;
    }
    const CGFloat height = footerHeight();
    NSLog(containerCreatedLog, static_cast<double>(height));
    auto container = makeRef<UIView>(CGRectMake(0, containerTop, frameWidth(collectionView), height));
    container->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    if (dglCollectionFooterEventTable)
        container->addSubview(dglCollectionFooterEventTable);
    dglCollectionFooterEventTableContainer = container.get();
    return dglCollectionFooterEventTableContainer;
}

id viewForSupplementaryElementOfKind(id, SEL, id collectionView, id kind, id indexPath)
{
    NSLog(supplementaryKindLog, kind);
    auto* kindName = dynamicCast<NSString>(kind);
    if (!kindName || !kindName->isEqualToString(UICollectionElementKindSectionFooter()))
        return nullptr;
    NSLog(footerKindLog);
    UIView* footer = nullptr;
    try {
        footer = dynamicCast<UIView>(
            objc_msgSend<id>(collectionView, "dequeueReusableSupplementaryViewOfKind:withReuseIdentifier:forIndexPath:",
                UICollectionElementKindSectionFooter(), DGLCollectionFooterView::reuseIdentifier(), indexPath));
    } catch (const NSException& exception) {
        NSLog(dequeueExceptionLog, NSString::string(exception.description()).get());
    }
    UIView* container = footerContainer(collectionView);
    if (footer)
        footer->addSubview(container);
    NSLog(footerReturnedLog, static_cast<id>(footer), static_cast<id>(container));
    return footer;
}

// The own page.

void pageViewWillAppear(id self, SEL op, BOOL animated)
{
    saved::viewWillAppear(self, op, animated);
    const CGRect suggested = suggestedListViewFrame(objc_msgSend<id>(self, "_notificationViewController"));
    if (objc_msgSend<id>(self, "dglEventTable"))
        return;
    Ref<DGLEventTable> table = createEventTable(suggested);
    objc_msgSend<void>(self, "setDglEventTable:", table.get());
    table->setTag(ownPageTableTag);
    if (auto* view = dynamicCast<UIView>(objc_msgSend<id>(self, "view")))
        view->addSubview(table.get());
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

void registerPreferencesObserver()
{
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, &preferencesChangedCallback,
        preferencesChangedNotificationName(), nullptr, CFNotificationSuspensionBehaviorCoalesce);
}

void installMainPageHooks()
{
    Class mainPage = objc_getClass(springboard::mainPageViewControllerClass);
    substrate::hookMethod(mainPage, "idleTimerDuration", &idleTimerDuration, &saved::idleTimerDuration);
}

void installContentHooks()
{
    Class content = objc_getClass(springboard::mainPageContentViewControllerClass);
    substrate::hookMethod(content,
        "_addOrRemoveNotificationsListIfNecessaryAnimated:", &addOrRemoveNotificationsListIfNecessaryAnimated,
        &saved::addOrRemoveNotificationsListIfNecessaryAnimated);
    substrate::hookMethod(content, "viewWillTransitionToSize:withTransitionCoordinator:", &viewWillTransitionToSize,
        &saved::viewWillTransitionToSize);
    objc::addMethod(content, "hideDGLView", &hideDGLView);
    substrate::hookMethod(content, "handleEvent:", &handleEvent, &saved::handleEvent);
}

void installNotificationListHooks()
{
    Class list = objc_getClass(springboard::notificationListViewControllerClass);
    substrate::hookMethod(list, "init", &notificationListInit, &saved::notificationListInit);
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
    substrate::hookMethod(page, "viewWillAppear:", &pageViewWillAppear, &saved::viewWillAppear);
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
