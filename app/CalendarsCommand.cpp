// dayglass calendars: every calendar the device sees and whether the lock
// screen's list shows it; `select` and `deselect` change the calendar list as the
// settings pane does.
#include "CalendarsCommand.h"

#include "DeviceCalendars.h"
#include "DeviceSession.h"
#include "ListNotes.h"
#include "ListOptions.h"
#include "PreferenceFile.h"
#include "StandardOutput.h"
#include "Suggestions.h"
#include "TerminalText.h"
#include "Wording.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return icu::UnicodeString::fromUTF8(a).caseCompare(icu::UnicodeString::fromUTF8(b), U_FOLD_CASE_DEFAULT) == 0;
}

// "#RRGGBB", with the alpha after it when the colour is not opaque.
std::string hexColor(const std::array<double, 4>& rgba)
{
    char text[10];
    const auto byte = [&rgba](int component) { return static_cast<int>(std::lround(rgba[component] * 255)); };
    std::snprintf(text, sizeof text, "#%02X%02X%02X", byte(0), byte(1), byte(2));
    std::string hex = text;
    if (byte(3) != 255) {
        std::snprintf(text, sizeof text, "%02X", byte(3));
        hex += text;
    }
    return hex;
}

std::string sourceText(const DeviceCalendar& calendar)
{
    return calendar.onDevice ? "device: " + fs::path(calendar.path).filename().string() : calendar.path;
}

std::string shownText(const CalendarChoice& choice, const DeviceCalendar& calendar)
{
    return calendar.shown == CalendarShown::Yes ? "yes" : "no: " + whyNotShown(choice, calendar.shown);
}

// A calendar, or an identifier of the calendar list that names none the device
// sees, as the user named it.
struct NamedCalendar {
    std::string identifier;
    // "Work (13290FF1-…)", or the bare identifier.
    std::string label;
};

NamedCalendar namedCalendar(const DeviceCalendar& calendar)
{
    return { calendar.identifier, calendar.title + " (" + calendar.identifier + ")" };
}

// Why a word names no calendar, with the calendars it could have meant.
std::string unknownCalendar(const std::vector<DeviceCalendar>& calendars, const std::string& word)
{
    std::vector<std::string> titles;
    for (const DeviceCalendar& calendar : calendars)
        titles.push_back(calendar.title);
    std::string message = "no calendar is called or identified by \"" + word + "\"";
    if (const std::optional<std::string> nearest = nearestName(word, titles))
        message += " (did you mean \"" + *nearest + "\"?)";
    message += titles.empty() ? "; the device has no calendars" : "; the device's calendars are " + listedWords(titles);
    return message + " (a calendar given with --calendars needs --calendars here too)";
}

std::string ambiguousCalendar(const std::vector<const DeviceCalendar*>& matches, const std::string& word)
{
    std::vector<std::string> candidates;
    for (const DeviceCalendar* calendar : matches)
        candidates.push_back(calendar->identifier + " (" + sourceText(*calendar) + ")");
    return "\"" + word + "\" is the title of " + std::to_string(matches.size())
        + " calendars; name the one you mean by its identifier: " + listedWords(candidates);
}

std::vector<const DeviceCalendar*> titled(
    const std::vector<DeviceCalendar>& calendars, const std::string& title, bool ignoringCase)
{
    std::vector<const DeviceCalendar*> found;
    for (const DeviceCalendar& calendar : calendars)
        if (ignoringCase ? sameIgnoringCase(calendar.title, title) : calendar.title == title)
            found.push_back(&calendar);
    return found;
}

// The calendar a word names: its identifier in any letter case, else its title
// as written, else its title in any letter case; else, for a deselect, an
// identifier that the calendar list names. UsageError for anything else.
NamedCalendar calendarNamed(
    const std::vector<DeviceCalendar>& calendars, const std::string& word, const std::vector<std::string>& orphans)
{
    for (const DeviceCalendar& calendar : calendars)
        if (sameIgnoringCase(calendar.identifier, word))
            return namedCalendar(calendar);
    std::vector<const DeviceCalendar*> matches = titled(calendars, word, false);
    if (matches.empty())
        matches = titled(calendars, word, true);
    if (matches.size() == 1)
        return namedCalendar(*matches.front());
    if (matches.size() > 1)
        throw UsageError(ambiguousCalendar(matches, word));
    if (std::find(orphans.begin(), orphans.end(), word) != orphans.end())
        return { word, word };
    throw UsageError(unknownCalendar(calendars, word));
}

nlohmann::ordered_json calendarJSON(const CalendarChoice& choice, const DeviceCalendar& calendar)
{
    const bool shown = calendar.shown == CalendarShown::Yes;
    return { { "title", calendar.title }, { "identifier", calendar.identifier }, { "color", calendar.color },
        { "source", calendar.onDevice ? "device" : "added" }, { "path", calendar.path },
        { "events", calendar.events.value_or(0) }, { "shown", shown },
        { "notShownBecause",
            shown ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(whyNotShown(choice, calendar.shown)) } };
}

class CalendarsCommand final : public Command {
public:
    explicit CalendarsCommand(CLI::App& subcommand)
        : calendars_(&subcommand)
    {
        calendars_->require_subcommand(0, 1);
        options_.addCalendarsTo(*calendars_);
        calendars_->add_flag("--json", json_,
            "One JSON object: {\"chosenBy\", \"file\", \"calendars\": [{\"title\", \"identifier\", \"color\", "
            "\"source\", \"path\", \"events\", \"shown\", \"notShownBecause\"}]}");
        select_ = calendars_->add_subcommand("select",
            "Add calendars to the calendar list, as the settings pane does; the list shows the calendars it names "
            "while onlySelectedCalendars is NO");
        deselect_ = calendars_->add_subcommand("deselect", "Remove calendars from the calendar list");
        for (CLI::App* change : { select_, deselect_ }) {
            // Also here, so that --help shows them and they can follow the names.
            options_.addCalendarsTo(*change);
            change->add_option("NAME", names_, "A calendar's title or identifier, as `dayglass calendars` shows them")
                ->required();
        }
    }

    const CLI::App* subcommand() const override { return calendars_; }

    int run(const CommonOptions& options) override
    {
        const bool changing = select_->parsed() || deselect_->parsed();
        if (changing && json_)
            throw UsageError("--json goes with the calendars' list, not with select or deselect");
        applyListEnvironment(options_);
        host::Device device
            = bootDevice(options, host::defaultDeviceModel(), host::Orientation::Portrait, options_.calendarStorage());
        checkExtensionLoaded(device);
        const CalendarChoice choice = readCalendarChoice();
        if (changing)
            change(options, choice, select_->parsed() ? CalendarListChange::Select : CalendarListChange::Deselect);
        else if (json_)
            showJSON(choice);
        else
            show(options, choice);
        return 0;
    }

private:
    void show(const CommonOptions& options, const CalendarChoice& choice) const
    {
        std::string summary = choiceClause(choice);
        summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
        printOutput("%s%s.\n", summary.c_str(),
            choice.chooses ? "" : (choosesNothingClause(choice) + ", so it shows none").c_str());
        const std::vector<DeviceCalendar> calendars = deviceCalendars(choice, true);
        if (calendars.empty()) {
            printOutput("The device has no calendars.\n");
            return printNotes(calendarChoiceNotes(options, options_));
        }
        std::vector<std::vector<std::string>> rows = { { "TITLE", "EVENTS", "COLOUR", "IDENTIFIER", "FROM", "SHOWN" } };
        for (const DeviceCalendar& calendar : calendars)
            rows.push_back({ calendar.title, std::to_string(calendar.events.value_or(0)), hexColor(calendar.color),
                calendar.identifier, sourceText(calendar), shownText(choice, calendar) });
        printOutput("\n%s", tableText(rows, { 1 }).c_str());
        printNotes(calendarChoiceNotes(options, options_));
    }

    void showJSON(const CalendarChoice& choice) const
    {
        nlohmann::ordered_json calendars = nlohmann::ordered_json::array();
        for (const DeviceCalendar& calendar : deviceCalendars(choice, true))
            calendars.push_back(calendarJSON(choice, calendar));
        const nlohmann::ordered_json document
            = { { "chosenBy", choice.fromCalendarList ? "calendarList" : "calendarApplication" },
                  { "file", choice.file }, { "calendars", calendars } };
        printOutput("%s\n", document.dump(2).c_str());
    }

    // Every name is checked before the list is touched: one unknown name changes nothing.
    void change(const CommonOptions& options, const CalendarChoice& choice, CalendarListChange change) const
    {
        const std::vector<DeviceCalendar> calendars = deviceCalendars(choice, false);
        const std::vector<std::string> orphans
            = change == CalendarListChange::Deselect ? readCalendarList() : std::vector<std::string> {};
        std::vector<NamedCalendar> named;
        for (const std::string& word : names_) {
            NamedCalendar calendar = calendarNamed(calendars, word, orphans);
            const bool twice = std::any_of(named.begin(), named.end(),
                [&](const NamedCalendar& other) { return other.identifier == calendar.identifier; });
            if (!twice)
                named.push_back(std::move(calendar));
        }
        std::vector<std::string> identifiers;
        for (const NamedCalendar& calendar : named)
            identifiers.push_back(calendar.identifier);
        const std::vector<std::string> changed = changeCalendarList(change, identifiers);
        const bool selecting = change == CalendarListChange::Select;
        for (const NamedCalendar& calendar : named) {
            if (std::find(changed.begin(), changed.end(), calendar.identifier) != changed.end())
                printOutput("%s %s.\n", selecting ? "Selected" : "Deselected", calendar.label.c_str());
            else
                printOutput("%s was %s.\n", calendar.label.c_str(), selecting ? "selected already" : "not selected");
        }
        printListNow(calendars);
        if (!choice.fromCalendarList)
            printNote("the list shows the calendars the calendar application shows while onlySelectedCalendars is "
                      "YES, not those of the calendar list; "
                + suggestedCommand("prefs set onlySelectedCalendars NO", options) + " makes it follow the list");
    }

    static void printListNow(const std::vector<DeviceCalendar>& calendars)
    {
        std::vector<std::string> titles;
        for (const std::string& identifier : readCalendarList()) {
            const auto calendar = std::find_if(calendars.begin(), calendars.end(),
                [&](const DeviceCalendar& known) { return known.identifier == identifier; });
            titles.push_back(calendar == calendars.end() ? identifier + " (no calendar seen now)" : calendar->title);
        }
        printOutput("The calendar list %s names %s.\n", calendarListFile().c_str(),
            titles.empty() ? "no calendar" : listedWords(titles).c_str());
    }

    CLI::App* calendars_ = nullptr;
    CLI::App* select_ = nullptr;
    CLI::App* deselect_ = nullptr;
    ListOptions options_;
    std::vector<std::string> names_;
    bool json_ = false;
};

} // namespace

std::unique_ptr<Command> makeCalendarsCommand(CLI::App& subcommand)
{
    return std::make_unique<CalendarsCommand>(subcommand);
}
