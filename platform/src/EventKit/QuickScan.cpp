#include "QuickScan.h"

#include "TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace eventkit {
namespace {

// Properties of an event that make it more than one plain event.
constexpr std::string_view repeatingProperties[] = { "RRULE", "RDATE", "EXDATE", "RECURRENCE-ID", "DURATION" };
// Properties of the calendar that name or colour it.
constexpr std::string_view calendarProperties[] = { "X-WR-CALNAME", "X-APPLE-CALENDAR-COLOR", "COLOR" };

template <typename List> bool listed(const List& list, const std::string& name)
{
    return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

// Days since 1970-01-01 of a civil date (Howard Hinnant's days_from_civil).
long daysFromCivil(int year, unsigned month, unsigned dayOfMonth)
{
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + dayOfMonth - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long>(dayOfEra) - 719468;
}

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The day of "20240305", "20240305T090000" or "20240305T090000Z".
std::optional<long> dayOfValue(std::string_view value)
{
    if (value.size() != 8 && value.size() != 15 && value.size() != 16)
        return std::nullopt;
    if (!allDigits(value.substr(0, 8)))
        return std::nullopt;
    if (value.size() > 8 && (value[8] != 'T' || !allDigits(value.substr(9, 6))))
        return std::nullopt;
    if (value.size() == 16 && value[15] != 'Z')
        return std::nullopt;
    const int year = std::stoi(std::string(value.substr(0, 4)));
    const unsigned month = static_cast<unsigned>(std::stoi(std::string(value.substr(4, 2))));
    const unsigned dayOfMonth = static_cast<unsigned>(std::stoi(std::string(value.substr(6, 2))));
    if (month < 1 || month > 12 || dayOfMonth < 1 || dayOfMonth > 31)
        return std::nullopt;
    return daysFromCivil(year, month, dayOfMonth);
}

std::string propertyName(std::string_view line)
{
    std::string name(line.substr(0, line.find_first_of(";:")));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name;
}

class Glance {
public:
    // False when the file is not one plain event.
    bool take(std::string_view line);
    std::optional<ItemBounds> bounds() const;

private:
    bool takeTime(std::string_view line, std::optional<long>& into);
    bool takeUid(std::string_view line);

    int events_ = 0;
    int depth_ = 0; // components open: 1 in the VCALENDAR, 2 in its VEVENT
    bool inEvent_ = false;
    bool lastWasValue_ = false; // a UID, start or end, whose continuation is left to the parser
    std::optional<long> startDay_, endDay_;
    std::optional<std::string> uid_;
};

bool Glance::take(std::string_view line)
{
    if (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        return !lastWasValue_;
    lastWasValue_ = false;
    const std::string name = propertyName(line);
    if (name == "BEGIN" || name == "END") {
        std::string value(line.substr(line.find(':') == std::string_view::npos ? line.size() : line.find(':') + 1));
        std::transform(value.begin(), value.end(), value.begin(), [](unsigned char c) { return std::toupper(c); });
        if (name == "BEGIN") {
            ++depth_;
            if (value == "VEVENT" && depth_ == 2)
                inEvent_ = true, ++events_;
        } else {
            inEvent_ = inEvent_ && !(value == "VEVENT" && depth_ == 2);
            --depth_;
        }
        return true;
    }
    if (depth_ == 1)
        return !listed(calendarProperties, name);
    if (!inEvent_ || depth_ != 2)
        return true;
    if (listed(repeatingProperties, name))
        return false;
    if (name == "DTSTART")
        return takeTime(line, startDay_);
    if (name == "DTEND")
        return takeTime(line, endDay_);
    if (name == "UID")
        return takeUid(line);
    return true;
}

bool Glance::takeUid(std::string_view line)
{
    const auto colon = line.find(':');
    // Parameters, escapes and a second UID are left to the parser.
    if (uid_ || colon != 3 || line.find('\\') != std::string_view::npos)
        return false;
    uid_ = std::string(line.substr(colon + 1));
    lastWasValue_ = true;
    return !uid_->empty();
}

bool Glance::takeTime(std::string_view line, std::optional<long>& into)
{
    // A quoted parameter may hold a ':'; leave that to the parser.
    if (into || line.find('"') != std::string_view::npos)
        return false;
    into = dayOfValue(line.substr(line.rfind(':') + 1));
    lastWasValue_ = true;
    return into.has_value();
}

std::optional<ItemBounds> Glance::bounds() const
{
    if (events_ != 1 || depth_ != 0 || !startDay_ || !uid_)
        return std::nullopt;
    const long lastDay = std::max(*startDay_, endDay_.value_or(*startDay_));
    // A day either side holds the widest zone offsets; an end date is exclusive.
    auto midnight = [](long day) { return Instant(std::chrono::sys_days(std::chrono::days(day))); };
    return ItemBounds { midnight(*startDay_ - 1), midnight(lastDay + 2), *uid_ };
}

} // namespace

std::optional<ItemBounds> plainItemBounds(std::string_view bytes)
{
    std::string converted;
    std::string_view text = utf8Text(bytes, converted);
    Glance glance;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!glance.take(line))
            return std::nullopt;
    }
    return glance.bounds();
}

} // namespace eventkit
