#include "VdirGenerator.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace bench {
namespace {

constexpr const char* berlinZone
    = "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
      "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\n"
      "DTSTART:19700329T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
      "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\n"
      "DTSTART:19701025T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\n"
      "END:VTIMEZONE\r\n";

constexpr const char* colors[] = { "#1BADF8FF", "#FF9500FF", "#4CD964FF", "#CC73E1FF", "#FF3B30FF", "#A2845EFF" };
constexpr const char* titles[] = { "Stand-up", "Dentist", "Lunch with Sam", "Project review", "Gym", "Call with Ana",
    "Piano lesson", "Flight to Lisbon", "Team retro", "Parents' evening", "Büro: Planung", "Café ☕" };
constexpr const char* places[] = { "Room 4.12", "Main Street 5, Springfield", "Online", "Café Central", "Terminal 2" };
constexpr const char* weekdays[] = { "MO", "TU", "WE", "TH", "FR", "SA", "SU" };

// How an item writes its times: in Berlin with the zone's VTIMEZONE, in UTC,
// or floating, in the proportions calendars exported from phones and servers show.
enum class TimeStyle { Berlin, Utc, Floating };

class ItemWriter {
public:
    ItemWriter(const VdirShape& shape)
        : shape_(shape)
        , random_(shape.seed)
    {
    }

    std::string single(const std::string& uid);
    std::string series(const std::string& uid);

private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    bool chance(int percent) { return pick(100) < percent; }
    std::tm dayAt(int dayOffset, int minuteOfDay) const;
    std::string time(const char* property, const std::tm& when, TimeStyle style) const;
    static std::string date(const char* property, const std::tm& day);
    TimeStyle style();
    std::string event(const std::string& uid, const std::string& body);
    std::string calendar(const std::string& events, bool withZone) const;

    const VdirShape& shape_;
    std::mt19937 random_;
};

std::tm ItemWriter::dayAt(int dayOffset, int minuteOfDay) const
{
    const std::time_t midnight = shape_.anchor - shape_.anchor % 86400;
    const std::time_t when = midnight + dayOffset * 86400LL + minuteOfDay * 60LL;
    std::tm parts {};
    gmtime_r(&when, &parts);
    return parts;
}

std::string ItemWriter::time(const char* property, const std::tm& when, TimeStyle style) const
{
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &when);
    switch (style) {
    case TimeStyle::Berlin:
        return std::string(property) + ";TZID=Europe/Berlin:" + text + "\r\n";
    case TimeStyle::Utc:
        return std::string(property) + ":" + text + "Z\r\n";
    default:
        return std::string(property) + ":" + text + "\r\n";
    }
}

std::string ItemWriter::date(const char* property, const std::tm& day)
{
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &day);
    return std::string(property) + ";VALUE=DATE:" + text + "\r\n";
}

TimeStyle ItemWriter::style()
{
    const int roll = pick(10);
    return roll < 5 ? TimeStyle::Berlin : roll < 8 ? TimeStyle::Utc : TimeStyle::Floating;
}

std::string ItemWriter::event(const std::string& uid, const std::string& body)
{
    std::string text = "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:20240101T000000Z\r\n";
    text += "SUMMARY:" + std::string(titles[pick(std::size(titles))]) + "\r\n";
    if (chance(40))
        text += "LOCATION:" + std::string(places[pick(std::size(places))]) + "\r\n";
    return text + body + "END:VEVENT\r\n";
}

std::string ItemWriter::calendar(const std::string& events, bool withZone) const
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Dayglass//Benchmark//EN\r\n"
        + std::string(withZone ? berlinZone : "") + events + "END:VCALENDAR\r\n";
}

std::string ItemWriter::single(const std::string& uid)
{
    const int day = pick(2 * shape_.spreadDays + 1) - shape_.spreadDays;
    if (chance(10)) {
        const std::string body = date("DTSTART", dayAt(day, 0)) + date("DTEND", dayAt(day + 1 + pick(3), 0));
        return calendar(event(uid, body), false);
    }
    const TimeStyle how = style();
    const int start = (7 + pick(13)) * 60 + 15 * pick(4);
    const std::string body
        = time("DTSTART", dayAt(day, start), how) + time("DTEND", dayAt(day, start + 30 * (1 + pick(4))), how);
    return calendar(event(uid, body), how == TimeStyle::Berlin);
}

// Series begun up to a year ago: weekly ones (a fifth of them ending after a
// count, like a course), short daily runs (a trip, a conference), monthly and
// yearly ones; some weekly and daily ones lose their second occurrence and move
// their third.
std::string ItemWriter::series(const std::string& uid)
{
    const int kind = pick(10);
    const int firstDay = -pick(shape_.spreadDays);
    if (kind == 9) {
        const std::string body = date("DTSTART", dayAt(firstDay, 0)) + "RRULE:FREQ=YEARLY\r\n";
        return calendar(event(uid, body), false);
    }
    const TimeStyle how = kind < 5 ? TimeStyle::Berlin : style();
    const int start = (8 + pick(10)) * 60;
    const std::tm first = dayAt(firstDay, start);
    const int period = kind < 5 ? 7 : kind < 7 ? 1 : 0;
    const std::string weekly = "FREQ=WEEKLY;BYDAY=" + std::string(weekdays[(first.tm_wday + 6) % 7]);
    const std::string rule = kind < 4 ? weekly
        : kind == 4                   ? weekly + ";COUNT=" + std::to_string(5 + pick(16))
        : kind < 7                    ? "FREQ=DAILY;COUNT=" + std::to_string(2 + pick(29))
                                      : "FREQ=MONTHLY;INTERVAL=" + std::to_string(1 + pick(2));
    std::string body
        = time("DTSTART", first, how) + time("DTEND", dayAt(firstDay, start + 60), how) + "RRULE:" + rule + "\r\n";
    if (period && chance(30))
        body += time("EXDATE", dayAt(firstDay + period, start), how);
    std::string events = event(uid, body);
    if (period && chance(20)) {
        const int third = firstDay + 2 * period;
        events += event(uid,
            time("RECURRENCE-ID", dayAt(third, start), how) + time("DTSTART", dayAt(third, start + 120), how)
                + time("DTEND", dayAt(third, start + 180), how));
    }
    return calendar(events, how == TimeStyle::Berlin);
}

} // namespace

std::vector<std::string> writeVdir(const std::string& folder, const VdirShape& shape)
{
    std::vector<std::string> paths;
    for (int c = 1; c <= shape.calendars; ++c) {
        const fs::path calendar = fs::path(folder) / ("calendar-" + std::to_string(c));
        fs::create_directories(calendar);
        std::ofstream(calendar / "displayname") << "Calendar " << c << "\n";
        std::ofstream(calendar / "color") << colors[(c - 1) % std::size(colors)] << "\n";
        paths.push_back(calendar.string());
    }
    ItemWriter writer(shape);
    for (int i = 0; i < shape.items; ++i) {
        char uid[40];
        std::snprintf(uid, sizeof uid, "item-%07d@bench", i);
        const std::string text = i < shape.series ? writer.series(uid) : writer.single(uid);
        std::ofstream(fs::path(paths[i % paths.size()]) / (std::string(uid) + ".ics"), std::ios::binary) << text;
    }
    return paths;
}

} // namespace bench
