// A scripted session on one simulated device, as `dayglass simulate` reads it:
// one step a line, words separated by blanks, a word with blanks in quotes, and
// "#" starting a comment line. The whole script is read and checked before the
// first step runs, so that a mistake on line 40 does not leave a half-played
// session behind.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace simulation {

struct Wake { };
struct Notify {
    std::string app;
    std::string title;
    std::string message;
};
// The most recent `count` notifications, or every one.
struct Clear {
    std::optional<int> count;
};
struct Rotate {
    bool landscape = false;
};
struct SwitchDevice {
    std::string model;
};
struct Idle {
    double seconds = 0;
};
// Without a passcode, the press that unlocks (or brings up the passcode prompt);
// with one, the passcode typed into the prompt.
struct Unlock {
    std::optional<std::string> passcode;
};
struct Lock { };
// The owner recognised on the lock screen: Touch ID accepted, or the passcode
// typed while the lock screen stays up.
struct Authenticate { };
// The device's passcode from now on; empty for none.
struct SetPasscode {
    std::string passcode;
};
// The passcode prompt cancelled.
struct CancelPrompt { };
// A row of the event list pulled `distance` points to the right and let go there,
// or held there: the next swipe of the same row moves the same finger on, and
// any other step lets it go first.
struct Swipe {
    int section = 0;
    int row = 0;
    double distance = 0;
    bool hold = false;
};
// A finger on the event list (or on the notification list) moved `distance`
// points down (up when negative) from where it touched, then let go or held as
// a swipe is.
struct DragList {
    enum class Target { EventList, Notifications };
    Target target = Target::EventList;
    double distance = 0;
    bool hold = false;
};
// A preference stored as the settings pane stores it, then announced.
struct SetPreference {
    std::string key;
    std::string value;
};
// The calendars the settings pane lists, in its own calendar list file; none
// for an empty list.
struct ChooseCalendars {
    std::vector<std::string> identifiers;
};
// The device's clock set to an instant (ISO 8601, in the device's zone unless it
// carries an offset), its time zone, its language and region.
struct SetTime {
    std::string isoTime;
};
struct SetTimeZone {
    std::string identifier;
};
struct SetLocale {
    std::string identifier;
};
struct Snapshot {
    std::string file;
};
struct State { };

using Action = std::variant<Wake, Notify, Clear, Rotate, SwitchDevice, Idle, Unlock, Lock, Authenticate, SetPasscode,
    CancelPrompt, Swipe, DragList, SetPreference, ChooseCalendars, SetTime, SetTimeZone, SetLocale, Snapshot, State>;

struct Step {
    // 1 for the script's first line.
    int line = 0;
    // The line as written, without its end-of-line.
    std::string text;
    Action action;
};

// What the script may name, checked while it is read. Each answers an empty string
// for a good value, else why it is not one.
struct ScriptChecks {
    std::string (*deviceModel)(const std::string& name) = nullptr;
    std::string (*preference)(const std::string& key, const std::string& value) = nullptr;
    std::string (*time)(const std::string& isoTime) = nullptr;
    std::string (*timeZone)(const std::string& name) = nullptr;
    std::string (*locale)(const std::string& identifier) = nullptr;
    // A file a step writes.
    std::string (*outputFile)(const std::string& path) = nullptr;
};

// A line that is not a step, or a step that failed; what() says why.
class ScriptError : public std::runtime_error {
public:
    ScriptError(int line, const std::string& reason);
    // 1 for the script's first line.
    int line() const { return line_; }

private:
    int line_;
};

// Every step of the script, in order; blank and comment lines give none.
// ScriptError for the first line that is not a step.
std::vector<Step> parseScript(const std::string& script, const ScriptChecks& checks);

// "wake, notify APP TITLE [MESSAGE], …": every step as it is written.
std::string stepSummary();

} // namespace simulation
