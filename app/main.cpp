// dayglass: boots a simulated device with the extension loaded and works with it.
#include "CalendarsCommand.h"
#include "Command.h"
#include "DeviceCommand.h"
#include "DeviceSession.h"
#include "DrawCommand.h"
#include "ListCommand.h"
#include "RenderCommand.h"
#include "SimulateCommand.h"
#include "Suggestions.h"
#include "Wording.h"

#include <Foundation/NSException.h>
#include <objc/NSObject.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace {

constexpr const char* exitStatusHelp = "Exit status: 0 success, 1 a failure while running, 2 a usage error.\n";

int fail(const std::string& message, int status)
{
    std::fprintf(stderr, "dayglass: %s\n", message.c_str());
    return status;
}

// --root and --log, taken before the subcommand or after it (and shown in every
// subcommand's --help); the one given after the subcommand wins.
class CommonOptionsParser {
public:
    // The subcommands are those the command line names.
    void addTo(CLI::App& app, const std::vector<CLI::App*>& subcommands)
    {
        options_.root = defaultDeviceRoot();
        app.add_option("--root", options_.root, rootHelp)->envname("DAYGLASS_ROOT")->capture_default_str();
        app.add_flag("--log", options_.log, logHelp);
        for (CLI::App* subcommand : subcommands)
            addToSubcommand(*subcommand);
    }

    CommonOptions options() const
    {
        CommonOptions options = options_;
        if (rootAfterSubcommand_)
            options.root = *rootAfterSubcommand_;
        return options;
    }

private:
    static constexpr const char* rootHelp
        = "The device root: a folder that stands for the phone's file system (else DAYGLASS_ROOT, else the sample "
          "device)";
    static constexpr const char* logHelp = "Echo the device's log lines to stderr";

    void addToSubcommand(CLI::App& subcommand)
    {
        subcommand.add_option_function<std::string>(
            "--root", [this](const std::string& root) { rootAfterSubcommand_ = root; }, rootHelp);
        subcommand.add_flag("--log", options_.log, logHelp);
        subcommand.footer(exitStatusHelp);
        for (CLI::App* nested : subcommand.get_subcommands({}))
            addToSubcommand(*nested);
    }

    CommonOptions options_;
    std::optional<std::string> rootAfterSubcommand_;
};

// The subcommands in the order --help lists them, with their line there.
struct Subcommand {
    const char* name;
    const char* description;
    std::unique_ptr<Command> (*make)(CLI::App& subcommand);
};
constexpr Subcommand subcommands[] = {
    { "settings", "Print the extension's settings as loaded from the device", makeSettingsCommand },
    { "prefs", "Show or change the extension's preferences, as the settings pane does", makePrefsCommand },
    { "calendars", "List the calendars the device sees, and choose those the list shows, as the settings pane does",
        makeCalendarsCommand },
    { "draw", "Draw one of the event list's images as a PNG file", makeDrawCommand },
    { "list", "Print the events the lock screen's list shows now", makeListCommand },
    { "render", "Draw the lock screen, or only its event list (--list), into a PNG file", makeRenderCommand },
    { "simulate", "Play a scripted session on one device and print what each step did", makeSimulateCommand },
    { "device", "Make a device root of your own, with your calendars (device init DIR)", makeDeviceCommand },
};

// Whether a word of the command line is the subcommand's name. Only the named
// subcommands get their options, since making every option of every subcommand
// costs CLI11 about as much as booting the device; the others are there for
// --help and for suggestions. A name that is only an option's value just makes
// that subcommand's options too.
bool isNamed(const char* name, int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

std::vector<std::string> subcommandNames(const CLI::App& app)
{
    std::vector<std::string> names;
    for (const CLI::App* subcommand : app.get_subcommands({}))
        names.push_back(subcommand->get_name());
    return names;
}

// CLI11's own words, except for a first word that is no subcommand: that is
// named, with the nearest subcommand.
std::string usageMessage(const CLI::App& app, const CLI::ParseError& error)
{
    const std::vector<std::string> extras = app.remaining();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) && !app.get_subcommands().size() && !extras.empty()
        && extras.front().rfind("-", 0) != 0) {
        const std::vector<std::string> names = subcommandNames(app);
        const std::optional<std::string> nearest = nearestName(extras.front(), names);
        return "unknown command \"" + extras.front() + "\"" + (nearest ? "; did you mean " + *nearest + "?" : "")
            + " (see --help)";
    }
    return std::string(error.what()) + " (see --help)";
}

int runCommandLine(int argc, char** argv)
{
    CLI::App app { "Dayglass: upcoming calendar events on a simulated iOS lock screen.", "dayglass" };
    // Inherited by the subcommands, so set before they are made.
    app.fallthrough();
    // At most one; none is reported below, after an unknown word has been reported as such.
    app.require_subcommand(0, 1);
    app.set_version_flag("--version", "dayglass " DAYGLASS_VERSION);
    app.footer(exitStatusHelp);

    std::vector<std::unique_ptr<Command>> commands;
    std::vector<CLI::App*> named;
    for (const Subcommand& subcommand : subcommands) {
        CLI::App* added = app.add_subcommand(subcommand.name, subcommand.description);
        if (isNamed(subcommand.name, argc, argv)) {
            commands.push_back(subcommand.make(*added));
            named.push_back(added);
        }
    }
    CommonOptionsParser common;
    common.addTo(app, named);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help and the version are answers, not failures.
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(error);
        return fail(usageMessage(app, error), exitUsage);
    }
    for (const auto& command : commands)
        if (command->subcommand()->parsed())
            return command->run(common.options());
    throw UsageError("say what to do: " + listedWords(subcommandNames(app), " or ") + " (see --help)");
}

} // namespace

int main(int argc, char** argv)
{
    AutoreleasePool pool;
    try {
        return runCommandLine(argc, argv);
    } catch (const UsageError& error) {
        return fail(error.what(), exitUsage);
    } catch (const CommandError& error) {
        return fail(error.what(), exitFailure);
    } catch (const NSException& error) {
        return fail(error.name() + ": " + error.reason(), exitFailure);
    } catch (const std::exception& error) {
        return fail(error.what(), exitFailure);
    }
}
