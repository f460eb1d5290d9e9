#include "SimulationScript.h"

#include "ArgumentParsing.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <type_traits>

namespace simulation {
namespace {

// A reason a line is not a step; the parser adds the line number.
struct Refusal {
    std::string reason;
};

using Words = std::vector<std::string>;

// Words separated by blanks; "double" or 'single' quotes keep blanks in a word,
// and inside double quotes a backslash keeps the next character as it is.
Words splitWords(std::string_view line)
{
    Words words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        std::string word;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            const char quote = line[i];
            if (quote != '"' && quote != '\'') {
                word += line[i++];
                continue;
            }
            for (++i;; ++i) {
                if (i == line.size())
                    throw Refusal { std::string("a ") + quote + " is not closed" };
                if (line[i] == quote)
                    break;
                if (quote == '"' && line[i] == '\\' && i + 1 < line.size())
                    ++i;
                word += line[i];
            }
            ++i;
        }
        words.push_back(std::move(word));
    }
    return words;
}

// The whole text as a number of that type (a finite one), or nothing.
template <typename Number> std::optional<Number> numberFrom(const std::string& text)
{
    Number value {};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    if constexpr (std::is_floating_point_v<Number>)
        if (!std::isfinite(value))
            return std::nullopt;
    return value;
}

double secondsFrom(const std::string& text)
{
    const std::optional<double> seconds = numberFrom<double>(text);
    if (!seconds || *seconds < 0)
        throw Refusal { "'" + text + "' is not a number of seconds, such as 30 or 0.5" };
    return *seconds;
}

int countFrom(const std::string& text)
{
    const std::optional<int> count = numberFrom<int>(text);
    if (!count || *count < 1)
        throw Refusal { "'" + text + "' is neither a number of notifications (1 or more) nor all" };
    return *count;
}

int indexFrom(const std::string& text, const char* what)
{
    const std::optional<int> index = numberFrom<int>(text);
    if (!index || *index < 0)
        throw Refusal { "'" + text + "' is not a " + what + " number (0 for the first)" };
    return *index;
}

double pointsFrom(const std::string& text)
{
    const std::optional<double> points = numberFrom<double>(text);
    if (!points)
        throw Refusal { "'" + text + "' is not a number of points, such as 81 or -80.5" };
    return *points;
}

void require(std::string problem)
{
    if (!problem.empty())
        throw Refusal { std::move(problem) };
}

// A gesture's last word: "hold" keeps the finger down.
bool holds(const Words& words, std::size_t count)
{
    if (words.size() <= count)
        return false;
    if (words[count] != "hold")
        throw Refusal { "'" + words[count] + "' is not hold: a finger that is not held lets go" };
    return true;
}

DragList dragFrom(DragList::Target target, const Words& words)
{
    return DragList { target, pointsFrom(words[0]), holds(words, 1) };
}

struct StepRule {
    const char* name;
    // The arguments, as the summary shows them.
    const char* arguments;
    std::size_t fewest;
    std::size_t most;
    Action (*make)(const Words& arguments, const ScriptChecks& checks);
};

constexpr StepRule stepRules[] = {
    { "wake", "", 0, 0, [](const Words&, const ScriptChecks&) -> Action { return Wake {}; } },
    { "notify", "APP TITLE [MESSAGE]", 2, 3,
        [](const Words& words, const ScriptChecks&) -> Action {
            return Notify { words[0], words[1], words.size() > 2 ? words[2] : std::string() };
        } },
    { "clear", "[N|all]", 0, 1,
        [](const Words& words, const ScriptChecks&) -> Action {
            if (words.empty() || words[0] == "all")
                return Clear {};
            return Clear { countFrom(words[0]) };
        } },
    { "rotate", "portrait|landscape", 1, 1,
        [](const Words& words, const ScriptChecks&) -> Action {
            if (words[0] != "portrait" && words[0] != "landscape")
                throw Refusal { "'" + words[0] + "' is not an orientation: portrait or landscape" };
            return Rotate { words[0] == "landscape" };
        } },
    { "device", "MODEL", 1, 1,
        [](const Words& words, const ScriptChecks& checks) -> Action {
            require(checks.deviceModel(words[0]));
            return SwitchDevice { words[0] };
        } },
    { "idle", "SECONDS", 1, 1,
        [](const Words& words, const ScriptChecks&) -> Action { return Idle { secondsFrom(words[0]) }; } },
    { "unlock", "[PASSCODE]", 0, 1,
        [](const Words& words, const ScriptChecks&) -> Action {
            return Unlock { words.empty() ? std::nullopt : std::optional(words[0]) };
        } },
    { "lock", "", 0, 0, [](const Words&, const ScriptChecks&) -> Action { return Lock {}; } },
    { "authenticate", "", 0, 0, [](const Words&, const ScriptChecks&) -> Action { return Authenticate {}; } },
    { "passcode", "CODE|\"\"", 1, 1,
        [](const Words& words, const ScriptChecks&) -> Action { return SetPasscode { words[0] }; } },
    { "cancel", "", 0, 0, [](const Words&, const ScriptChecks&) -> Action { return CancelPrompt {}; } },
    { "swipe", "SECTION ROW DX [hold]", 3, 4,
        [](const Words& words, const ScriptChecks&) -> Action {
            const double distance = pointsFrom(words[2]);
            if (distance < 0)
                throw Refusal { "a row is pulled to the right: DX is 0 or more" };
            return Swipe { indexFrom(words[0], "section"), indexFrom(words[1], "row"), distance, holds(words, 3) };
        } },
    { "drag-table", "DY [hold]", 1, 2,
        [](const Words& words, const ScriptChecks&) -> Action {
            return dragFrom(DragList::Target::EventList, words);
        } },
    { "drag-notifications", "DY [hold]", 1, 2,
        [](const Words& words, const ScriptChecks&) -> Action {
            return dragFrom(DragList::Target::Notifications, words);
        } },
    { "prefs", "set KEY VALUE", 3, 3,
        [](const Words& words, const ScriptChecks& checks) -> Action {
            if (words[0] != "set")
                throw Refusal { "prefs takes set KEY VALUE, not '" + words[0] + "'" };
            require(checks.preference(words[1], words[2]));
            return SetPreference { words[1], words[2] };
        } },
    { "calendars", "[ID…]", 0, std::size_t(-1),
        [](const Words& words, const ScriptChecks&) -> Action { return ChooseCalendars { words }; } },
    { "now", "TIME", 1, 1,
        [](const Words& words, const ScriptChecks& checks) -> Action {
            require(checks.time(words[0]));
            return SetTime { words[0] };
        } },
    { "tz", "ZONE", 1, 1,
        [](const Words& words, const ScriptChecks& checks) -> Action {
            require(checks.timeZone(words[0]));
            return SetTimeZone { words[0] };
        } },
    { "locale", "LOCALE", 1, 1,
        [](const Words& words, const ScriptChecks& checks) -> Action {
            require(checks.locale(words[0]));
            return SetLocale { words[0] };
        } },
    { "snapshot", "FILE.png", 1, 1,
        [](const Words& words, const ScriptChecks& checks) -> Action {
            require(checks.outputFile(words[0]));
            return Snapshot { words[0] };
        } },
    { "state", "", 0, 0, [](const Words&, const ScriptChecks&) -> Action { return State {}; } },
};

std::string usage(const StepRule& rule)
{
    return *rule.arguments ? std::string(rule.name) + " " + rule.arguments : std::string(rule.name);
}

const StepRule& ruleFor(const std::string& name)
{
    for (const StepRule& rule : stepRules)
        if (name == rule.name)
            return rule;
    throw Refusal { "'" + name + "' is not a step; the steps are " + stepSummary() };
}

Action actionFor(const std::string& line, const ScriptChecks& checks)
{
    Words words = splitWords(line);
    const StepRule& rule = ruleFor(words.front());
    words.erase(words.begin());
    if (words.size() < rule.fewest || words.size() > rule.most)
        throw Refusal { "write it as: " + usage(rule) };
    return rule.make(words, checks);
}

bool isBlankOrComment(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

} // namespace

ScriptError::ScriptError(int line, const std::string& reason)
    : std::runtime_error(reason)
    , line_(line)
{
}

std::vector<Step> parseScript(const std::string& script, const ScriptChecks& checks)
{
    std::vector<Step> steps;
    int number = 0;
    for (std::size_t start = 0; start < script.size();) {
        std::size_t end = script.find('\n', start);
        if (end == std::string::npos)
            end = script.size();
        std::string line = script.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (const std::optional<std::size_t> offset = firstNonUTF8Byte(line))
            throw ScriptError(number,
                "byte " + std::to_string(*offset + 1)
                    + " of the line is not part of a character: a script is UTF-8 text");
        if (isBlankOrComment(line))
            continue;
        try {
            steps.push_back({ number, line, actionFor(line, checks) });
        } catch (const Refusal& refusal) {
            throw ScriptError(number, refusal.reason);
        }
    }
    return steps;
}

std::string stepSummary()
{
    std::string summary;
    for (const StepRule& rule : stepRules)
        summary += (summary.empty() ? "" : ", ") + usage(rule);
    return summary;
}

} // namespace simulation
