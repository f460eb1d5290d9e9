// Where the event list stands on a simulated lock screen, read from SpringBoard's
// controllers and views as a person would see them: on the extension's own page,
// in the footer of the notification list, or nowhere; the frames of the tables and
// of the footer that holds one; and the height of the last table built. A session
// compares two readings to say what a step changed.
#pragma once

#include <host/SpringBoard.h>

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

struct LockScreenState {
    enum class Placement { None, OwnPage, Footer };

    bool screenOn = false;
    bool locked = true;
    std::string device;
    host::Orientation orientation = host::Orientation::Portrait;
    CGSize screenSize {};
    std::size_t notifications = 0;
    bool notificationListShown = false;
    bool passcode = false;
    bool passcodePrompt = false;
    // The application in front and what it shows; the launch waiting for the unlock.
    std::optional<host::ForegroundApplication> foreground;
    std::optional<std::string> pendingLaunch;

    Placement placement = Placement::None;
    // Held, so that a new object is never taken for an old one at its address.
    Ref<NSObject> ownPage;
    Ref<UIView> ownPageTable;
    CGRect ownPageTableFrame {};
    Ref<UIView> footer;
    CGRect footerFrame {};
    Ref<UIView> container;
    CGRect containerFrame {};
    Ref<UIView> footerTable;
    CGRect footerTableFrame {};
    bool footerTableScrolls = false;
    double eventTableHeight = 0;

    static LockScreenState read(host::SpringBoard& springBoard);

    // Every field, frames as [x, y, width, height]; null for what is not there.
    nlohmann::ordered_json json() const;
    // The same, one "name  value" line each.
    std::string text() const;
};

// One short line per difference, in the order a person would notice them:
// "screen on", "own page shown", "footer table built at (8, 0, 359, 380)", ….
std::vector<std::string> changesBetween(const LockScreenState& before, const LockScreenState& after);

const char* placementName(LockScreenState::Placement placement);
