#include "ListCommand.h"

#include "DeviceSession.h"
#include "ExtensionSettings.h"
#include "IsoTime.h"
#include "ListNotes.h"
#include "ListOptions.h"
#include "StandardOutput.h"
#include "TableContents.h"
#include "TerminalText.h"

#include <Foundation/NSTimeZone.h>
#include <host/NCNotificationPriorityListViewController.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>

namespace {

// Titles and locations longer than these do not widen their column for every
// row: they are cut at it.
constexpr std::size_t widestTitleColumn = 32;
constexpr std::size_t widestLocationColumn = 24;

// What a line shows besides the date and the title: the location as the lock
// screen shows it, and the calendar's name when the list mixes calendars.
struct Columns {
    std::size_t date = 0;
    std::size_t title = 0;
    std::size_t location = 0;
    bool locations = false;
    bool calendars = false;
};

std::optional<std::string> shownLocation(const ListedEvent& event, const Columns& columns)
{
    if (!columns.locations || !event.location || event.location->empty())
        return std::nullopt;
    return event.location;
}

// What the lock screen lists, and whether its rows hide their details (when the
// title already names the calendar, no calendar column follows it).
struct Listing {
    std::vector<ListedSection> sections;
    bool detailsHidden = false;
};

Columns columnsFor(const std::vector<ListedSection>& sections, bool locations, bool detailsHidden)
{
    Columns columns { .locations = locations };
    std::string firstCalendar;
    for (const ListedSection& section : sections)
        for (const ListedEvent& event : section.events) {
            columns.date = std::max(columns.date, displayWidth(event.dateText));
            columns.title
                = std::max(columns.title, std::min(widestTitleColumn, displayWidth(event.title.value_or(""))));
            columns.location = std::max(columns.location,
                std::min(widestLocationColumn, displayWidth(shownLocation(event, columns).value_or(""))));
            if (firstCalendar.empty())
                firstCalendar = event.calendar;
            columns.calendars = columns.calendars || event.calendar != firstCalendar;
        }
    columns.calendars = columns.calendars && !detailsHidden;
    return columns;
}

std::string agendaLine(const ListedEvent& event, const Columns& columns)
{
    std::vector<std::string> cells { event.title.value_or("") };
    std::vector<std::size_t> widths { columns.title };
    if (columns.location)
        cells.push_back(shownLocation(event, columns).value_or(""));
    widths.push_back(columns.location);
    if (columns.calendars)
        cells.push_back(event.calendarTitle);
    // Padded up to the last cell that has text, so that no line ends in spaces.
    while (cells.size() > 1 && cells.back().empty())
        cells.pop_back();
    std::string line = "  " + fittedToColumn(event.dateText, columns.date);
    for (std::size_t i = 0; i < cells.size(); ++i)
        line += "  " + (i + 1 < cells.size() ? fittedToColumn(cells[i], widths[i]) : cells[i]);
    return line + "\n";
}

std::string agenda(const Listing& listing, bool locations)
{
    if (listing.sections.empty())
        return "No upcoming events.\n";
    const Columns columns = columnsFor(listing.sections, locations, listing.detailsHidden);
    std::string text;
    for (const ListedSection& section : listing.sections) {
        if (!text.empty())
            text += "\n";
        if (section.title)
            text += *section.title + "\n";
        for (const ListedEvent& event : section.events)
            text += agendaLine(event, columns);
    }
    return text;
}

nlohmann::ordered_json optionalText(const std::optional<std::string>& text)
{
    return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json();
}

nlohmann::ordered_json eventJson(const ListedEvent& event, const NSTimeZone* zone)
{
    return {
        { "title", optionalText(event.title) },
        { "location", optionalText(event.location) },
        { "start", isoTime(event.start.get(), zone) },
        { "end", isoTime(event.end.get(), zone) },
        { "allDay", event.allDay },
        { "dateText", event.dateText },
        { "url", event.url.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(event.url) },
        { "calendar", event.calendar },
        { "calendarTitle", event.calendarTitle },
        { "color", event.color },
    };
}

nlohmann::ordered_json json(const Listing& listing)
{
    const Ref<NSTimeZone> zone = NSTimeZone::systemTimeZone();
    auto listed = nlohmann::ordered_json::array();
    for (const ListedSection& section : listing.sections) {
        auto events = nlohmann::ordered_json::array();
        for (const ListedEvent& event : section.events)
            events.push_back(eventJson(event, zone.get()));
        listed.push_back({ { "title", optionalText(section.title) }, { "events", std::move(events) } });
    }
    nlohmann::ordered_json document = { { "sections", std::move(listed) } };
    if (listing.detailsHidden)
        document["detailsHidden"] = true;
    return document;
}

class ListCommand final : public Command {
public:
    explicit ListCommand(CLI::App& subcommand)
        : subcommand_(&subcommand)
    {
        options_.addTo(*subcommand_);
        options_.addOwnerOption(*subcommand_);
        subcommand_->add_flag("--json", json_,
            "One JSON object: {\"sections\":[{\"title\",\"events\":[{\"title\",\"location\",\"start\",\"end\","
            "\"allDay\",\"dateText\",\"url\",\"calendar\",\"calendarTitle\",\"color\"}]}]}; every field, "
            "whatever the settings show, except that while the lock screen hides the details (\"detailsHidden\": "
            "true) the title is the calendar's name and the location null");
        subcommand_->add_flag(
            "--ignore-enabled", ignoreEnabled_, "List the events even when the extension is switched off (enabled NO)");
    }

    const CLI::App* subcommand() const override { return subcommand_; }

    int run(const CommonOptions& options) override
    {
        applyListEnvironment(options_);
        host::Device device
            = bootDevice(options, host::defaultDeviceModel(), host::Orientation::Portrait, options_.calendarStorage());
        checkExtensionLoaded(device);
        applyListOverrides(options_);
        applyOwner(options_, device);
        const Listing listing = listed(options);
        const std::string output
            = json_ ? json(listing).dump(2) + "\n" : agenda(listing, extensionSetting<setting::displayLocation>());
        writeOutput(output);
        return 0;
    }

private:
    CLI::App* subcommand_ = nullptr;
    // What the lock screen lists: nothing while the extension is switched off.
    Listing listed(const CommonOptions& options) const
    {
        if (!extensionSetting<setting::isEnabled>() && !ignoreEnabled_) {
            printNote("the extension is switched off (enabled is NO), so the lock screen lists nothing; "
                      "--ignore-enabled lists the events anyway");
            return {};
        }
        const Ref<UIView> table
            = makeExtensionEventTable(NCNotificationPriorityListViewController::defaultSuggestedListViewFrame);
        Listing listing { readTableContents(table.get()), tableHidesDetails(table.get()) };
        printNotes(skippedCalendarNotes());
        printNotes(calendarChoiceNotes(options, options_));
        if (listing.sections.empty())
            printNotes(emptyListNotes(options_));
        return listing;
    }

    ListOptions options_;
    bool json_ = false;
    bool ignoreEnabled_ = false;
};

} // namespace

std::unique_ptr<Command> makeListCommand(CLI::App& subcommand)
{
    return std::make_unique<ListCommand>(subcommand);
}
