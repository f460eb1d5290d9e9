#include "CalendarText.h"

#include <algorithm>
#include <cctype>

namespace eventkit {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == b;
    });
}

// The component a BEGIN or END line names, in upper case.
std::string componentName(std::string_view line, std::size_t prefixLength)
{
    std::string name(line.substr(prefixLength));
    while (!name.empty() && (name.back() == '\r' || name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name;
}

class Splitter {
public:
    explicit Splitter(std::size_t maxValues)
        : maxValues_(maxValues)
    {
    }

    bool take(std::string_view text, std::size_t lineStart, std::string_view line);
    bool finished() const { return depth_ == 0; }
    std::vector<CalendarText> calendars;

private:
    void keepIfFrame(std::string_view line, bool bracket = false);
    void count(std::string_view line);
    bool close(std::string_view text, std::size_t lineEnd, const std::string& name);

    std::size_t maxValues_;
    std::string zone_; // the open VTIMEZONE, while it is small enough to keep
    int depth_ = 0; // components open: 1 in a VCALENDAR, 2 in one of its children
    std::string child_; // the name of the open child of the VCALENDAR
    std::size_t childStart_ = 0;
    std::size_t childValues_ = 0;
    std::size_t calendarLines_ = 0; // the VCALENDAR's own
    bool inDateList_ = false;
};

void Splitter::count(std::string_view line)
{
    const bool continued = !line.empty() && (line.front() == ' ' || line.front() == '\t');
    if (!continued) {
        ++childValues_;
        inDateList_ = startsWithNoCase(line, "EXDATE") || startsWithNoCase(line, "RDATE");
    }
    if (inDateList_)
        childValues_ += static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
}

// The calendar's own lines, and its time zones, make the frame. `bracket` is
// set for the BEGIN and END lines of a component.
void Splitter::keepIfFrame(std::string_view line, bool bracket)
{
    std::string* into = depth_ == 1 ? &calendars.back().frame : nullptr;
    if (into && !bracket && ++calendarLines_ > maxValues_) {
        ++calendars.back().leftOut;
        return;
    }
    if (depth_ > 1 && child_ == "VTIMEZONE" && childValues_ < maxValues_)
        into = &zone_;
    if (into) {
        into->append(line);
        *into += '\n';
    }
}

bool Splitter::take(std::string_view text, std::size_t lineStart, std::string_view line)
{
    if (startsWithNoCase(line, "BEGIN:")) {
        const std::string name = componentName(line, 6);
        if (depth_ == 0 && name != "VCALENDAR")
            return false;
        if (depth_ == 0) {
            calendars.emplace_back();
            calendarLines_ = 0;
        }
        if (depth_ == 1) {
            child_ = name;
            childStart_ = lineStart;
            childValues_ = 0;
        }
        ++depth_;
        keepIfFrame(line, true);
        count(line);
        return true;
    }
    if (startsWithNoCase(line, "END:")) {
        const std::string name = componentName(line, 4);
        if (depth_ == 0 || (depth_ == 1 && name != "VCALENDAR"))
            return false;
        keepIfFrame(line, true);
        count(line);
        return --depth_ != 1 || close(text, std::min(lineStart + line.size() + 1, text.size()), name);
    }
    keepIfFrame(line);
    count(line);
    return true;
}

bool Splitter::close(std::string_view text, std::size_t lineEnd, const std::string& name)
{
    if (name != child_)
        return false;
    if (child_ == "VEVENT")
        calendars.back().events.push_back({ text.substr(childStart_, lineEnd - childStart_), childValues_ });
    if (child_ == "VTIMEZONE" && childValues_ <= maxValues_)
        calendars.back().frame += zone_;
    else if (child_ == "VTIMEZONE")
        ++calendars.back().leftOut;
    zone_.clear();
    return true;
}

} // namespace

std::optional<std::vector<CalendarText>> splitCalendars(std::string_view text, std::size_t maxValues)
{
    Splitter splitter(maxValues);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t newline = std::min(text.find('\n', at), text.size());
        if (!splitter.take(text, at, text.substr(at, newline - at)))
            return std::nullopt;
        at = newline + 1;
    }
    if (!splitter.finished() || splitter.calendars.empty())
        return std::nullopt;
    return std::move(splitter.calendars);
}

} // namespace eventkit
