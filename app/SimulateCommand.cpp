#include "SimulateCommand.h"

#include "DeviceChoice.h"
#include "DeviceSession.h"
#include "ListNotes.h"
#include "ListOptions.h"
#include "PreferenceKeys.h"
#include "SimulationPlayer.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

namespace {

std::string readScript(const std::string& path)
{
    std::ostringstream text;
    if (path == "-") {
        text << std::cin.rdbuf();
        return text.str();
    }
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw CommandError("cannot read the script " + path);
    text << file.rdbuf();
    return text.str();
}

class SimulateCommand final : public Command {
public:
    explicit SimulateCommand(CLI::App& subcommand)
        : simulate_(&subcommand)
    {
        simulate_->footer(
            "Steps, one a line (\"#\" starts a comment; quote words with blanks):\n  " + simulation::stepSummary());
        simulate_->add_option("SCRIPT", script_, "The script; - or nothing reads standard input");
        simulate_
            ->add_option("--device", device_, "The device model it boots as: iphone7, iphonese, iphone7plus or ipad")
            ->capture_default_str()
            ->check(deviceModelValidator());
        simulate_->add_flag("--landscape", landscape_, "Start held sideways");
        simulate_->add_option("--passcode", passcode_,
            "The device's passcode: nothing opens from the locked screen before it is entered (unlock CODE)");
        simulate_->add_flag("--json", json_, "Print one JSON object a step");
        listOptions_.addTo(*simulate_);
    }

    const CLI::App* subcommand() const override { return simulate_; }

    int run(const CommonOptions& options) override
    {
        if (script_ == "-" && std::count(listOptions_.calendars.begin(), listOptions_.calendars.end(), "-"))
            throw UsageError("--calendars - and the script cannot both come from standard input: give the script "
                             "as a file");
        std::vector<simulation::Step> steps;
        try {
            steps = simulation::parseScript(readScript(script_), { deviceModelProblem, preferenceProblem });
        } catch (const simulation::ScriptError& error) {
            throw CommandError((script_ == "-" ? std::string("standard input") : script_) + ", " + error.what());
        }
        applyListEnvironment(listOptions_);
        host::Device device = bootDevice(options, deviceModelNamed(device_),
            landscape_ ? host::Orientation::Landscape : host::Orientation::Portrait);
        if (passcode_)
            device.springBoard().setPasscode(*passcode_);
        checkExtensionLoaded(device);
        applyListOverrides(listOptions_);
        SimulationPlayer(device, json_).play(steps);
        printNotes(skippedCalendarNotes());
        return 0;
    }

private:
    CLI::App* simulate_ = nullptr;
    std::string script_ = "-";
    std::string device_ { host::defaultDeviceModel().name };
    bool landscape_ = false;
    std::optional<std::string> passcode_;
    bool json_ = false;
    ListOptions listOptions_;
};

} // namespace

std::unique_ptr<Command> makeSimulateCommand(CLI::App& subcommand)
{
    return std::make_unique<SimulateCommand>(subcommand);
}
