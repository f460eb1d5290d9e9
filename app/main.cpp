// dayglass: boots a simulated device with the extension loaded and works with it.
#include "Command.h"
#include "DeviceSession.h"
#include "DrawCommand.h"
#include "ListCommand.h"
#include "RenderCommand.h"
#include "SimulateCommand.h"

#include <Foundation/NSException.h>
#include <objc/NSObject.h>

#include <cstdio>
#include <vector>

namespace {

int fail(const std::string& message)
{
    std::fprintf(stderr, "dayglass: %s\n", message.c_str());
    return 1;
}

int runCommandLine(int argc, char** argv)
{
    CLI::App app { "Dayglass: upcoming calendar events on a simulated iOS lock screen.", "dayglass" };
    // Inherited by the subcommands, so set before they are made.
    app.fallthrough();
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return "dayglass: " + std::string(error.what()) + " (see --help)\n";
    });
    // At most one; none is reported below, after an unknown word has been reported as such.
    app.require_subcommand(0, 1);

    CommonOptions options;
    options.root = defaultDeviceRoot();
    app.add_option("--root", options.root, "The device root: a folder that stands for the phone's file system")
        ->envname("DAYGLASS_ROOT")
        ->capture_default_str();
    app.add_flag("--log", options.log, "Echo the device's log lines to stderr");

    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeSettingsCommand(app));
    commands.push_back(makePrefsCommand(app));
    commands.push_back(makeDrawCommand(app));
    commands.push_back(makeListCommand(app));
    commands.push_back(makeRenderCommand(app));
    commands.push_back(makeSimulateCommand(app));

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }
    for (const auto& command : commands)
        if (command->subcommand()->parsed())
            return command->run(options);
    throw CommandError("say what to do: list, render, simulate, settings, prefs or draw (see --help)");
}

} // namespace

int main(int argc, char** argv)
{
    AutoreleasePool pool;
    try {
        return runCommandLine(argc, argv);
    } catch (const CommandError& error) {
        return fail(error.what());
    } catch (const NSException& error) {
        return fail(error.name() + ": " + error.reason());
    } catch (const std::exception& error) {
        return fail(error.what());
    }
}
