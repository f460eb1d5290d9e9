// What a session's device boots as, for `simulate` and `serve`: the model, held
// sideways or not, its passcode, and the options of the list (calendars, clock,
// zone, language, overrides).
#pragma once

#include "Command.h"
#include "ListOptions.h"

#include <host/Device.h>

#include <optional>
#include <string>

struct SessionOptions {
    std::string device { host::defaultDeviceModel().name };
    bool landscape = false;
    std::optional<std::string> passcode;
    ListOptions list;

    // Adds --device, --landscape, --passcode and the list's options.
    void addTo(CLI::App& subcommand);

    // Makes the list's options the environment and boots the device with them;
    // CommandError when it did not load the extension.
    host::Device boot(const CommonOptions& options) const;
};
