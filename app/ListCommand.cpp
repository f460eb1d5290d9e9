#include "ListCommand.h"

#include "DeviceSession.h"
#include "IsoTime.h"
#include "ListOptions.h"
#include "TableContents.h"

#include <Foundation/NSTimeZone.h>
#include <host/NCNotificationPriorityListViewController.h>

#include <nlohmann/json.hpp>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdio>

namespace {

// Columns a terminal gives the text: wide East Asian characters take two,
// combining marks and format characters none.
std::size_t displayWidth(const std::string& text)
{
    std::size_t width = 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t offset = 0; offset < length;) {
        UChar32 c;
        U8_NEXT(bytes, offset, length, c);
        const int8_t category = u_charType(c);
        if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_FORMAT_CHAR)
            continue;
        const auto eastAsian = static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
        width += eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH ? 2 : 1;
    }
    return width;
}

std::string padded(const std::string& text, std::size_t width)
{
    const std::size_t used = displayWidth(text);
    return text + std::string(used < width ? width - used : 0, ' ');
}

// Titles longer than this do not widen the title column for every row.
constexpr std::size_t widestTitleColumn = 32;

struct Columns {
    std::size_t date = 0;
    std::size_t title = 0;
};

Columns columnsFor(const std::vector<ListedSection>& sections)
{
    Columns columns;
    for (const ListedSection& section : sections)
        for (const ListedEvent& event : section.events) {
            columns.date = std::max(columns.date, displayWidth(event.dateText));
            columns.title
                = std::max(columns.title, std::min(widestTitleColumn, displayWidth(event.title.value_or(""))));
        }
    return columns;
}

std::string agendaLine(const ListedEvent& event, const Columns& columns)
{
    std::string line = "  " + padded(event.dateText, columns.date) + "  ";
    if (!event.location || event.location->empty())
        return line + event.title.value_or("") + "\n";
    return line + padded(event.title.value_or(""), columns.title) + "  " + *event.location + "\n";
}

std::string agenda(const std::vector<ListedSection>& sections)
{
    if (sections.empty())
        return "No upcoming events.\n";
    const Columns columns = columnsFor(sections);
    std::string text;
    for (const ListedSection& section : sections) {
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
        { "start", isoTime(event.start, zone) },
        { "end", isoTime(event.end, zone) },
        { "allDay", event.allDay },
        { "dateText", event.dateText },
        { "url", event.url.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(event.url) },
        { "calendar", event.calendar },
        { "color", event.color },
    };
}

nlohmann::ordered_json json(const std::vector<ListedSection>& sections)
{
    const Ref<NSTimeZone> zone = NSTimeZone::systemTimeZone();
    auto listed = nlohmann::ordered_json::array();
    for (const ListedSection& section : sections) {
        auto events = nlohmann::ordered_json::array();
        for (const ListedEvent& event : section.events)
            events.push_back(eventJson(event, zone.get()));
        listed.push_back({ { "title", optionalText(section.title) }, { "events", std::move(events) } });
    }
    return { { "sections", std::move(listed) } };
}

class ListCommand final : public Command {
public:
    explicit ListCommand(CLI::App& app)
    {
        subcommand_ = app.add_subcommand("list", "Print the events the lock screen's list shows now");
        options_.addTo(*subcommand_);
        subcommand_->add_flag("--json", json_,
            "One JSON object: {\"sections\":[{\"title\",\"events\":[{\"title\",\"location\",\"start\",\"end\","
            "\"allDay\",\"dateText\",\"url\",\"calendar\",\"color\"}]}]}");
    }

    const CLI::App* subcommand() const override { return subcommand_; }

    int run(const CommonOptions& options) override
    {
        applyListEnvironment(options_);
        host::Device device = bootDevice(options);
        const Ref<UIView> table = makeExtensionEventTable(extensionLibrary(device), options_,
            NCNotificationPriorityListViewController::defaultSuggestedListViewFrame);
        const std::vector<ListedSection> sections = readTableContents(table.get());
        const std::string output = json_ ? json(sections).dump(2) + "\n" : agenda(sections);
        std::fputs(output.c_str(), stdout);
        return 0;
    }

private:
    CLI::App* subcommand_ = nullptr;
    ListOptions options_;
    bool json_ = false;
};

} // namespace

std::unique_ptr<Command> makeListCommand(CLI::App& app)
{
    return std::make_unique<ListCommand>(app);
}
