#include "SimulateCommand.h"

#include "InputFiles.h"
#include "ListNotes.h"
#include "SessionOptions.h"
#include "SimulationPlayer.h"

#include <platform/Environment.h>

#include <algorithm>
#include <iostream>
#include <optional>
#include <sstream>

namespace {

std::string readScript(const std::string& path)
{
    if (path != "-")
        return readInputFile(path, "the script");
    std::ostringstream text;
    text << std::cin.rdbuf();
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
        simulate_->add_flag("--json", json_, "Print one JSON object a step");
        session_.addTo(*simulate_);
    }

    const CLI::App* subcommand() const override { return simulate_; }

    int run(const CommonOptions& options) override
    {
        if (script_ == "-" && std::count(session_.list.calendars.begin(), session_.list.calendars.end(), "-"))
            throw UsageError("--calendars - and the script cannot both come from standard input: give the script "
                             "as a file");
        std::vector<simulation::Step> steps;
        try {
            steps = simulation::parseScript(readScript(script_), sessionChecks());
        } catch (const simulation::ScriptError& error) {
            throw UsageError(placed(error));
        }
        host::Device device = session_.boot(options);
        // A session runs on the simulated clock: it stands still between steps.
        if (!platform::isCurrentTimePinned())
            platform::pinCurrentTime(platform::currentUnixTime());
        try {
            SimulationPlayer(device, json_).play(steps);
        } catch (const simulation::ScriptError& error) {
            throw CommandError(placed(error));
        }
        printNotes(skippedCalendarNotes());
        return 0;
    }

private:
    // "session.simulate:4: why", as compilers place their errors.
    std::string placed(const simulation::ScriptError& error) const
    {
        return (script_ == "-" ? std::string("standard input") : script_) + ":" + std::to_string(error.line()) + ": "
            + error.what();
    }

    CLI::App* simulate_ = nullptr;
    std::string script_ = "-";
    bool json_ = false;
    SessionOptions session_;
};

} // namespace

std::unique_ptr<Command> makeSimulateCommand(CLI::App& subcommand)
{
    return std::make_unique<SimulateCommand>(subcommand);
}
