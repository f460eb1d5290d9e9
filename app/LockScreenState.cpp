#include "LockScreenState.h"

#include <UIKit/UIScrollView.h>
#include <objc/message.h>

#include <cstdio>
#include <string_view>

namespace {

constexpr const char* ownPageClassName = "DGLSBDashBoardViewControllerBase";
constexpr const char* footerClassName = "DGLCollectionFooterView";

bool isOfClass(const NSObject* object, std::string_view name)
{
    return object && name == class_getName(object_getClass(object));
}

// The presented page of the extension's own class, or null.
NSObject* ownPageOf(host::SpringBoard& springBoard)
{
    for (const Ref<NSObject>& page : *springBoard.content()->contentViewControllers())
        if (isOfClass(page.get(), ownPageClassName))
            return page.get();
    return nullptr;
}

// The first visible view of the class, depth first.
UIView* visibleViewOfClass(UIView* view, std::string_view name)
{
    if (!view || view->isHidden())
        return nullptr;
    if (isOfClass(view, name))
        return view;
    for (const Ref<UIView>& subview : view->subviews())
        if (UIView* found = visibleViewOfClass(subview.get(), name))
            return found;
    return nullptr;
}

UIView* lastSubview(UIView* view)
{
    return view && !view->subviews().empty() ? view->subviews().back().get() : nullptr;
}

CGRect frameOf(const UIView* view)
{
    return view ? view->frame() : CGRectZero;
}

// Whether the table's inner table view scrolls.
bool scrolls(const UIView* table)
{
    for (const Ref<UIView>& subview : table->subviews())
        if (auto* inner = dynamicCast<UIScrollView>(subview.get()))
            return inner->isScrollEnabled();
    return false;
}

std::string rectText(CGRect rect)
{
    char text[96];
    std::snprintf(
        text, sizeof text, "(%g, %g, %g, %g)", rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    return text;
}

nlohmann::ordered_json rectOrNull(const UIView* view, CGRect rect)
{
    if (!view)
        return nullptr;
    return { rect.origin.x, rect.origin.y, rect.size.width, rect.size.height };
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// "on", "375 × 667", "(8, 188, 359, 363)", "380".
std::string shownValue(const nlohmann::ordered_json& value)
{
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number())
        return number(value.get<double>());
    if (value.is_array() && value.size() == 2)
        return number(value[0].get<double>()) + " × " + number(value[1].get<double>());
    if (value.is_array())
        return rectText(
            CGRectMake(value[0].get<double>(), value[1].get<double>(), value[2].get<double>(), value[3].get<double>()));
    return value.is_null() ? "-" : value.dump();
}

const char* orientationName(host::Orientation orientation)
{
    return orientation == host::Orientation::Landscape ? "landscape" : "portrait";
}

// A view of the list that came, went, or moved between two readings.
void compareView(std::vector<std::string>& changes, const char* name, const Ref<UIView>& before, CGRect beforeFrame,
    const Ref<UIView>& after, CGRect afterFrame)
{
    if (after && after != before)
        changes.push_back(std::string(name) + " built at " + rectText(afterFrame));
    else if (!after && before)
        changes.push_back(std::string(name) + " gone");
    else if (after && beforeFrame != afterFrame)
        changes.push_back(std::string(name) + " now at " + rectText(afterFrame));
}

// "Calendar (com.apple.mobilecal) showing …", or the lock screen's own name.
std::string foregroundText(const LockScreenState& state)
{
    if (!state.foreground)
        return "SpringBoard";
    return state.foreground->displayName + " (" + state.foreground->bundleIdentifier + ") showing "
        + state.foreground->shows;
}

} // namespace

const char* placementName(LockScreenState::Placement placement)
{
    switch (placement) {
    case LockScreenState::Placement::OwnPage:
        return "own page";
    case LockScreenState::Placement::Footer:
        return "footer";
    case LockScreenState::Placement::None:
        break;
    }
    return "none";
}

LockScreenState LockScreenState::read(host::SpringBoard& springBoard)
{
    LockScreenState state;
    state.screenOn = springBoard.isScreenOn();
    state.locked = springBoard.isLocked();
    state.device = springBoard.deviceModel().name;
    state.orientation = springBoard.orientation();
    state.screenSize = springBoard.layout().screenSize;
    state.notifications = springBoard.notificationList()->notificationRequests()->count();
    state.notificationListShown = springBoard.isNotificationListShown();
    state.passcode = springBoard.hasPasscode();
    state.passcodePrompt = springBoard.isPasscodePromptShown();
    state.authenticated = springBoard.isAuthenticated();
    state.foreground = springBoard.foregroundApplication();
    state.pendingLaunch = springBoard.pendingLaunch();
    // Nil, and so 0, without the extension's table class.
    state.eventTableHeight = objc_msgSend<CGFloat>(objc_getClass("DGLEventTable"), "dglEventTableHeight");

    // Unlocked, the lock screen is gone, and its list with it, whatever
    // SpringBoard keeps of it for the next time.
    if (!state.locked)
        return state;
    state.ownPage = ownPageOf(springBoard);
    if (state.ownPage)
        state.ownPageTable = dynamicCast<UIView>(objc_msgSend<id>(state.ownPage.get(), "dglEventTable"));
    state.ownPageTableFrame = frameOf(state.ownPageTable.get());

    if (state.notificationListShown)
        state.footer = visibleViewOfClass(springBoard.rootView(), footerClassName);
    state.footerFrame = frameOf(state.footer.get());
    state.container = lastSubview(state.footer.get());
    state.containerFrame = frameOf(state.container.get());
    state.footerTable = lastSubview(state.container.get());
    state.footerTableFrame = frameOf(state.footerTable.get());
    state.footerTableScrolls = state.footerTable && scrolls(state.footerTable.get());

    if (state.ownPage)
        state.placement = Placement::OwnPage;
    else if (state.footerTable)
        state.placement = Placement::Footer;
    return state;
}

nlohmann::ordered_json LockScreenState::json() const
{
    return {
        { "screen", screenOn ? "on" : "off" },
        { "locked", locked },
        { "device", device },
        { "orientation", orientationName(orientation) },
        { "screenSize", { screenSize.width, screenSize.height } },
        { "notifications", notifications },
        { "passcode", passcode },
        { "passcodePrompt", passcodePrompt },
        { "authenticated", authenticated },
        { "foreground", foreground ? nlohmann::ordered_json(foreground->bundleIdentifier) : nullptr },
        { "foregroundShows", foreground ? nlohmann::ordered_json(foreground->shows) : nullptr },
        { "pendingLaunch", pendingLaunch ? nlohmann::ordered_json(*pendingLaunch) : nullptr },
        { "list", placementName(placement) },
        { "ownPageTable", rectOrNull(ownPageTable.get(), ownPageTableFrame) },
        { "footer", rectOrNull(footer.get(), footerFrame) },
        { "container", rectOrNull(container.get(), containerFrame) },
        { "footerTable", rectOrNull(footerTable.get(), footerTableFrame) },
        { "footerTableScrolls", footerTableScrolls },
        { "dglEventTableHeight", eventTableHeight },
    };
}

std::string LockScreenState::text() const
{
    std::string text;
    const nlohmann::ordered_json fields = json();
    for (const auto& [name, value] : fields.items()) {
        char label[32];
        std::snprintf(label, sizeof label, "%-20s ", name.c_str());
        text += label + shownValue(value) + "\n";
    }
    return text;
}

std::vector<std::string> changesBetween(const LockScreenState& before, const LockScreenState& after)
{
    std::vector<std::string> changes;
    if (before.screenOn != after.screenOn)
        changes.push_back(after.screenOn ? "screen on" : "screen off");
    if (before.locked != after.locked)
        changes.push_back(after.locked ? "locked" : "unlocked");
    if (before.device != after.device || before.orientation != after.orientation) {
        char line[120];
        std::snprintf(line, sizeof line, "screen %g × %g (%s, %s)", after.screenSize.width, after.screenSize.height,
            after.device.c_str(), orientationName(after.orientation));
        changes.push_back(line);
    }
    if (before.notifications != after.notifications)
        changes.push_back("notifications: " + std::to_string(after.notifications));
    if (before.notificationListShown != after.notificationListShown)
        changes.push_back(after.notificationListShown ? "notification list shown" : "notification list removed");
    if (before.passcodePrompt != after.passcodePrompt)
        changes.push_back(after.passcodePrompt ? "passcode prompt shown" : "passcode prompt gone");
    if (before.authenticated != after.authenticated)
        changes.push_back(after.authenticated ? "owner authenticated" : "owner no longer authenticated");
    if (before.pendingLaunch != after.pendingLaunch)
        changes.push_back(
            after.pendingLaunch ? "waiting for the unlock: " + *after.pendingLaunch : "no launch waiting");
    if (foregroundText(before) != foregroundText(after))
        changes.push_back("in front: " + foregroundText(after));
    if (before.ownPage && before.ownPage != after.ownPage)
        changes.push_back("own page dismissed");
    if (after.ownPage && before.ownPage != after.ownPage)
        changes.push_back("own page shown");
    compareView(changes, "own-page table", before.ownPageTable, before.ownPageTableFrame, after.ownPageTable,
        after.ownPageTableFrame);
    compareView(changes, "footer", before.footer, before.footerFrame, after.footer, after.footerFrame);
    compareView(changes, "container", before.container, before.containerFrame, after.container, after.containerFrame);
    compareView(changes, "footer table", before.footerTable, before.footerTableFrame, after.footerTable,
        after.footerTableFrame);
    if (before.placement != after.placement)
        changes.push_back(std::string("list: ") + placementName(after.placement));
    if (before.eventTableHeight != after.eventTableHeight) {
        char line[64];
        std::snprintf(line, sizeof line, "dglEventTableHeight %g", after.eventTableHeight);
        changes.push_back(line);
    }
    return changes;
}
