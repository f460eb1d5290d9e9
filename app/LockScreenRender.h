// dayglass render without --list: the whole lock screen as the user sees it. The
// device boots with the extension, wakes, receives the notifications given, and
// its screen (wallpaper, status bar, clock and date, notifications, the event list
// on its own page or under the notifications, page dots, unlock hint) is drawn
// into a PNG file.
#pragma once

#include "Command.h"
#include "ListOptions.h"

#include <host/LockScreenScene.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct LockScreenRenderOptions {
    std::string device = "iphone7";
    bool landscape = false;
    // "APP|TITLE|MESSAGE", the message optional.
    std::vector<std::string> notifications;
    // A PNG file; empty for the built-in wallpaper.
    std::string wallpaper;

    // Adds --device, --landscape, --notify and --wallpaper, which the list drawn
    // alone (`only`) does not take.
    void addTo(CLI::App& subcommand, CLI::Option* only);
};

// What the picture is and where it goes.
struct PictureRequest {
    double scale = 2;
    std::string output;
    bool layoutJSON = false;
};

// The scene's views as --layout-json prints them: the device, the orientation,
// the scale, the screen's size in points and every view with its frames, tag and
// text.
nlohmann::ordered_json lockScreenLayoutJSON(
    LockScreenScene& scene, const host::DeviceModel& model, host::Orientation orientation, double scale);

// Returns the exit status.
int renderLockScreen(const CommonOptions& options, const ListOptions& list, const LockScreenRenderOptions& lockScreen,
    const PictureRequest& picture);
