#include <host/SpringBoard.h>

#include <CoreFoundation/CFRunLoop.h>

#include <host/NCNotificationPriorityListViewController.h>
#include <host/NCNotificationRequest.h>
#include <host/SBApplicationController.h>
#include <host/SBDashBoardEvent.h>
#include <host/SBUIController.h>

#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <UIKit/UIScreen.h>
#include <UIKit/UIViewControllerTransitionCoordinator.h>
#include <platform/Environment.h>

namespace host {
namespace {

std::string devicePasscode()
{
    Ref<NSDictionary> preferences
        = NSDictionary::dictionaryWithContentsOfFile("/var/mobile/Library/Preferences/com.apple.springboard.plist");
    auto* passcode = preferences ? dynamicCast<NSString>(preferences->objectForKey("DevicePasscode")) : nullptr;
    return passcode ? passcode->UTF8String() : std::string();
}

} // namespace

void registerSpringBoardClasses()
{
    SBDashBoardViewControllerBase::classObject();
    SBDashBoardMainPageViewController::classObject();
    SBDashBoardMainPageContentViewController::classObject();
    NCNotificationPriorityListViewController::classObject();
    NCNotificationRequest::classObject();
    SBDashBoardEvent::classObject();
    SBApplication::classObject();
    SBApplicationController::classObject();
    SBUIController::classObject();
}

SpringBoard::SpringBoard(const DeviceModel& model, Orientation orientation)
    : model_(model)
    , orientation_(orientation)
    , passcode_(devicePasscode())
    , launches_(std::make_shared<ApplicationLaunches>(static_cast<LaunchGate&>(*this)))
{
    launches_->install();
    registerSpringBoardClasses();
    applyLayout();
    mainPage_ = allocInit<SBDashBoardMainPageViewController>();
    applyLayout();
}

SpringBoard::~SpringBoard()
{
    stopIdleTimer();
}

UIView* SpringBoard::rootView() const
{
    UIView* root = mainPage_->view();
    root->layoutIfNeeded();
    return root;
}

void SpringBoard::wake()
{
    if (!screenOn_) {
        screenOn_ = true;
        sendEvent(SBDashBoardEvent::screenDidTurnOnType);
        if (locked_)
            showLockScreen();
    }
    armIdleTimer();
}

void SpringBoard::notify(std::string_view app, std::string_view title, std::string_view message)
{
    auto request = makeRef<NCNotificationRequest>(
        NSString::string(app), NSString::string(title), NSString::string(message), platform::currentUnixTime());
    notificationList()->addNotificationRequest(request.get());
    if (locked_ && !screenOn_)
        wake();
    else {
        addOrRemoveNotificationsList();
        armIdleTimer();
    }
}

void SpringBoard::clear(std::size_t count)
{
    notificationList()->removeNotificationRequests(count);
    addOrRemoveNotificationsList();
    armIdleTimer();
}

void SpringBoard::clearAll()
{
    clear(notificationList()->notificationRequests()->count());
}

void SpringBoard::rotate(Orientation orientation)
{
    transitionTo(model_, orientation);
}

void SpringBoard::setDeviceModel(const DeviceModel& model)
{
    transitionTo(model, orientation_);
}

void SpringBoard::idle(double seconds)
{
    CFRunLoopAdvanceClock(seconds);
}

void SpringBoard::unlock()
{
    if (!locked_)
        return;
    if (hasPasscode())
        showPasscodePrompt();
    else
        completeUnlock();
}

void SpringBoard::setPasscode(std::string passcode)
{
    passcode_ = std::move(passcode);
}

bool SpringBoard::enterPasscode(std::string_view passcode)
{
    if (!locked_)
        return false;
    // A device without a passcode asks for none: whatever is typed, it unlocks.
    if (hasPasscode() && passcode != passcode_) {
        NSLog("SpringBoard: wrong passcode");
        showPasscodePrompt();
        return false;
    }
    completeUnlock();
    return true;
}

void SpringBoard::cancelPasscodePrompt()
{
    passcodePromptShown_ = false;
    launches_->dropPendingLaunch();
}

void SpringBoard::showPasscodePrompt()
{
    if (!screenOn_)
        wake();
    if (!passcodePromptShown_)
        NSLog("SpringBoard: passcode prompt shown");
    passcodePromptShown_ = true;
    armIdleTimer();
}

// The lock screen goes; then whatever waited for the unlock opens.
void SpringBoard::completeUnlock()
{
    if (!screenOn_)
        wake();
    passcodePromptShown_ = false;
    sendEvent(SBDashBoardEvent::lockScreenWillDismissType);
    hideLockScreen();
    locked_ = false;
    launches_->runPendingLaunch();
}

void SpringBoard::lock()
{
    if (screenOn_)
        screenOff();
    locked_ = true;
}

void SpringBoard::addOrRemoveNotificationsList()
{
    notificationList()->setNow(platform::currentUnixTime());
    objc_msgSend<void>(content(), "_addOrRemoveNotificationsListIfNecessaryAnimated:", true);
    rootView();
}

// The lock screen's controllers appear in order, outermost first; then SpringBoard
// rebuilds the notification list and decides whether to show it.
void SpringBoard::showLockScreen()
{
    UIViewControllerSendAppear(mainPage_.get(), true);
    UIViewControllerSendAppear(content(), true);
    content()->lockScreenDidAppear();
    notificationList()->collectionView()->reloadData();
    addOrRemoveNotificationsList();
}

void SpringBoard::hideLockScreen()
{
    content()->lockScreenWillDisappear();
    UIViewControllerSendDisappear(content(), true);
    UIViewControllerSendDisappear(mainPage_.get(), true);
}

// A dark screen locks the device at once: there is no grace period.
void SpringBoard::screenOff()
{
    sendEvent(SBDashBoardEvent::screenWillTurnOffType);
    if (isLockScreenVisible())
        hideLockScreen();
    screenOn_ = false;
    locked_ = true;
    passcodePromptShown_ = false;
    launches_->returnToLockScreen();
    stopIdleTimer();
}

void SpringBoard::sendEvent(NSInteger type)
{
    objc_msgSend<BOOL>(content(), "handleEvent:", SBDashBoardEvent::eventWithType(type).get());
}

// Any activity on the lock screen starts the time-out again, with the duration the
// main page answers now.
void SpringBoard::armIdleTimer()
{
    stopIdleTimer();
    if (!isLockScreenVisible())
        return;
    idleTimerDuration_ = objc_msgSend<long long>(mainPage_.get(), "idleTimerDuration");
    idleTimer_ = CFRunLoopTimerCreateWithHandler(CFAbsoluteTimeGetCurrent() + static_cast<double>(idleTimerDuration_),
        0, [this](CFRunLoopTimer*) { screenOff(); });
    CFRunLoopAddTimer(CFRunLoopGetMain(), idleTimer_.get(), kCFRunLoopDefaultMode);
}

void SpringBoard::stopIdleTimer()
{
    if (idleTimer_)
        CFRunLoopTimerInvalidate(idleTimer_.get());
    idleTimer_ = nullptr;
}

// The content controller hears of the change first; the coordinator then puts the
// new layout in place and runs what was handed to it for afterwards.
void SpringBoard::transitionTo(const DeviceModel& model, Orientation orientation)
{
    auto coordinator = makeRef<UIViewControllerTransitionCoordinator>();
    objc_msgSend<void>(content(), "viewWillTransitionToSize:withTransitionCoordinator:", screenSize(model, orientation),
        coordinator.get());
    coordinator->performTransition([&] {
        model_ = model;
        orientation_ = orientation;
        applyLayout();
    });
    armIdleTimer();
}

// The screen, the main page and the list take the model's geometry; the views
// inside follow by their autoresizing.
void SpringBoard::applyLayout()
{
    const LockScreenLayout geometry = layout();
    UIScreen::mainScreen()->setBounds(CGRectMake(0, 0, geometry.screenSize.width, geometry.screenSize.height));
    UIScreen::mainScreen()->setScale(model_.scale);
    if (!mainPage_)
        return;
    NCNotificationPriorityListViewController* list = notificationList();
    list->setSuggestedListViewFrame(geometry.notificationArea);
    mainPage_->view()->setFrame(UIScreen::mainScreen()->bounds());
    if (isNotificationListShown())
        list->view()->setFrame(geometry.notificationArea);
    rootView();
}

} // namespace host
