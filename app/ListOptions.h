// What the lock screen's event list is made of, as the commands that show it
// (`list`, `render`, `simulate`) take it on the command line: the calendars added
// to the device's own, the moment, zone and language, the privacy answer, and
// settings that override the extension's own. And the one way those commands make
// their DGLEventTable: through the loaded extension's own createEventTable, as the
// lock screen makes its list.
#pragma once

#include "Command.h"

#include <CoreGraphics/CGGeometry.h>
#include <EventKit/EKTypes.h>
#include <Foundation/NSDate.h>
#include <UIKit/UIView.h>
#include <host/Device.h>
#include <objc/NSObject.h>

#include <optional>
#include <string>
#include <vector>

struct ListOptions {
    // Folders (vdirs or collections of them), .ics files and "-" (standard
    // input) read after the device's own calendars.
    std::vector<std::string> calendars;
    // ISO 8601; empty for the real clock.
    std::string now;
    // An IANA zone name; empty for the host's.
    std::string timeZone;
    // An ICU locale identifier; empty for the host's.
    std::string locale;
    bool calendarAccessGranted = true;
    // Override daysToDisplay and maxEventsToDisplay.
    std::optional<long long> days;
    std::optional<long long> max;
    // Read the calendar files alone, without the persistent index.
    bool noCache = false;
    // The list as its owner sees it, once the lock screen has recognised them.
    bool authenticated = false;

    // The index for a command that looks once, unless --no-cache.
    EKCalendarStorage calendarStorage() const;

    // Adds --calendars, --no-cache, --now, --tz, --locale, --calendar-access, --days and --max
    // to the subcommand, each checked as it is parsed, so that a bad value is one
    // line on stderr.
    void addTo(CLI::App& subcommand);
    // Adds --authenticated, for the commands that show one lock screen.
    void addOwnerOption(CLI::App& subcommand);
    // Adds only the calendars' two, --calendars and --no-cache.
    void addCalendarsTo(CLI::App& subcommand);
};

// Why the text is not what --now, --tz or --locale take ("'Mars/Base' is not a
// time zone; …"), or an empty string when it is.
std::string isoTimeProblem(const std::string& text);
std::string timeZoneProblem(const std::string& name);
std::string localeProblem(const std::string& identifier);
// The instant the ISO 8601 text names, read in the device's zone now unless it
// carries an offset; nil when it names none.
Ref<NSDate> isoTimeInDeviceZone(const std::string& text);

// Makes the options the device's environment: zone, locale, clock, the added
// calendars and the privacy answer. Call it before booting the device.
void applyListEnvironment(const ListOptions& options);

// --days and --max over the loaded extension's daysToDisplay and
// maxEventsToDisplay, for the lists it builds from now on (until it next loads
// its preference file). Call it once the device has booted.
void applyListOverrides(const ListOptions& options);

// With --authenticated, the owner recognised on the booted device's lock screen
// (which wakes it), so that the lists built from now on show every detail even
// with hideDetailsWhileLocked on. Without it SpringBoard is left as it is, not
// yet started when nothing has asked for it.
void applyOwner(const ListOptions& options, host::Device& device);

// `[[DGLEventTable alloc] initWithFrame:frame]`, through the runtime. CommandError
// when no loaded library registered the class.
Ref<NSObject> makeEventTable(CGRect frame);

// The event list as the lock screen builds it for the suggested frame, through the
// loaded extension's own createEventTable: placed, configured from its settings,
// its view built and its events loaded. CommandError when no loaded library
// registered DGLEventTable.
Ref<UIView> makeExtensionEventTable(CGRect suggestedFrame);
