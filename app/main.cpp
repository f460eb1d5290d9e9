// dayglass: boots a simulated device with the extension loaded and works with it.
#include "BashCompletion.h"
#include "CalendarsCommand.h"
#include "Command.h"
#include "DeviceCommand.h"
#include "DeviceSession.h"
#include "DrawCommand.h"
#include "ListCommand.h"
#include "RenderCommand.h"
#include "ServeCommand.h"
#include "SimulateCommand.h"
#include "StandardOutput.h"
#include "Suggestions.h"
#include "Wording.h"

#include <Foundation/NSException.h>
#include <objc/NSObject.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
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
        app.add_option("--root", options_.root, rootHelp)->envname("DAYGLASS_ROOT")->check(givenRoot());
        app.add_flag("--log", options_.log, logHelp);
        for (CLI::App* subcommand : subcommands)
            addToSubcommand(*subcommand);
    }

    CommonOptions options() const
    {
        CommonOptions options = options_;
        if (rootAfterSubcommand_)
            options.root = *rootAfterSubcommand_;
        if (options.root.empty())
            options.root = defaultDeviceRoot();
        return options;
    }

private:
    static constexpr const char* rootHelp
        = "The device root: a folder that stands for the phone's file system (else DAYGLASS_ROOT, else the sample "
          "device)";
    static constexpr const char* logHelp = "Echo the device's log lines to stderr";

    // `--root ''` is a mistake, not a way to name the sample device.
    static CLI::Validator givenRoot()
    {
        return CLI::Validator([](std::string& root) { return root.empty() ? "no device root given" : ""; }, "");
    }

    void addToSubcommand(CLI::App& subcommand)
    {
        subcommand
            .add_option_function<std::string>(
                "--root", [this](const std::string& root) { rootAfterSubcommand_ = root; }, rootHelp)
            ->check(givenRoot());
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
    { "completion", "Print the bash completion script for dayglass", makeCompletionCommand },
    { "serve", "Serve the live device to a browser: a lock screen to touch, its settings pane beside it",
        makeServeCommand },
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

// The subcommand the command line went deepest into ("prefs" for `prefs shw`).
const CLI::App& deepestSubcommand(const CLI::App& app)
{
    for (const CLI::App* subcommand : app.get_subcommands())
        return deepestSubcommand(*subcommand);
    return app;
}

// "prefs show" for the show subcommand of prefs.
std::string commandPath(const CLI::App& subcommand)
{
    const CLI::App* parent = subcommand.get_parent();
    if (!parent || !parent->get_parent())
        return subcommand.get_name();
    return commandPath(*parent) + " " + subcommand.get_name();
}

// A word where a subcommand was due is named, with the nearest one; other words
// that nothing took are listed in the order given; the rest in CLI11's words.
std::string usageMessage(const CLI::App& app, const CLI::ParseError& error)
{
    const std::vector<std::string> extras = app.remaining();
    const CLI::App& deepest = deepestSubcommand(app);
    std::vector<std::string> names;
    for (const CLI::App* subcommand : deepest.get_subcommands({}))
        names.push_back(subcommand->get_name());
    if (!extras.empty() && !names.empty() && extras.front().rfind("-", 0) != 0) {
        const std::string prefix = &deepest == &app ? "" : commandPath(deepest) + " ";
        const std::optional<std::string> nearest = nearestName(extras.front(), names);
        return "unknown command \"" + prefix + extras.front() + "\""
            + (nearest ? "; did you mean " + prefix + *nearest + "?" : "") + " (see --help)";
    }
    if (!names.empty() && dynamic_cast<const CLI::RequiredError*>(&error) && deepest.get_subcommands().empty()
        && deepest.get_require_subcommand_min() > 0)
        return commandPath(deepest) + " needs one of: " + joinedWords(names, ", ") + " (see --help)";
    if (dynamic_cast<const CLI::ExtrasError*>(&error))
        return std::string(extras.size() > 1 ? "unexpected arguments: " : "unexpected argument: ")
            + joinedWords(extras, " ") + " (see --help)";
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
    app.set_help_all_flag("--help-all", "Print this help with every subcommand's options, and exit");
    // The whole tree is made for the answers that show all of it.
    const bool everything = isNamed("--help-all", argc, argv) || isNamed("completion", argc, argv);

    std::vector<std::unique_ptr<Command>> commands;
    std::vector<CLI::App*> named;
    for (const Subcommand& subcommand : subcommands) {
        CLI::App* added = app.add_subcommand(subcommand.name, subcommand.description);
        if (everything || isNamed(subcommand.name, argc, argv)) {
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
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            std::ostringstream answer;
            const int status = app.exit(error, answer, answer);
            writeOutput(answer.str());
            flushOutput();
            return status;
        }
        return fail(usageMessage(app, error), exitUsage);
    }
    for (const auto& command : commands)
        if (command->subcommand()->parsed()) {
            const int status = command->run(common.options());
            flushOutput();
            return status;
        }
    std::vector<std::string> names;
    for (const Subcommand& subcommand : subcommands)
        names.emplace_back(subcommand.name);
    throw UsageError("say what to do: " + listedWords(names, " or ") + " (see --help)");
}

} // namespace

int main(int argc, char** argv)
{
    AutoreleasePool pool;
    try {
        return runCommandLine(argc, argv);
    } catch (const OutputError& error) {
        return reportOutputError(error);
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
