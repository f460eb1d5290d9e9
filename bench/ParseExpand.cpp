// parse-expand: the least any calendar program that reads every file must do.
// It reads every .ics file in the given calendar folders, parses it with libical
// and expands each item over a window, counting the occurrences, e.g.
//   parse-expand --days 7 /tmp/cal/calendar-1 /tmp/cal/calendar-2
// A time with a TZID resolves through libical's built-in zone of that name,
// shared by the whole process, not through the file's own VTIMEZONE (which is
// parsed all the same): resolving every file's own zone costs far more than
// reading it, and no sensible reader pays that.
#include <CLI/CLI.hpp>

#include <libical/ical.h>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Counts {
    long files = 0;
    long items = 0;
    long occurrences = 0;
};

std::string readFile(const fs::path& path)
{
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    char buffer[16384];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return bytes;
}

void removeOwnZones(icalcomponent* calendar)
{
    std::vector<icalcomponent*> zones;
    for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); zone;
         zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT))
        zones.push_back(zone);
    for (icalcomponent* zone : zones) {
        icalcomponent_remove_component(calendar, zone);
        icalcomponent_free(zone);
    }
}

void countOccurrence(icalcomponent*, struct icaltime_span*, void* data)
{
    ++static_cast<Counts*>(data)->occurrences;
}

void expandFile(const fs::path& path, icaltimetype from, icaltimetype to, Counts& counts)
{
    const std::string text = readFile(path);
    icalcomponent* calendar = icalparser_parse_string(text.c_str());
    ++counts.files;
    if (!calendar)
        return;
    removeOwnZones(calendar);
    for (icalcomponent* item = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); item;
         item = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        ++counts.items;
        icalcomponent_foreach_recurrence(item, from, to, countOccurrence, &counts);
    }
    icalcomponent_free(calendar);
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app("Parses every calendar file with libical and expands its items over a window.");
    std::vector<std::string> folders;
    int days = 7;
    std::int64_t start = static_cast<std::int64_t>(std::time(nullptr));
    app.add_option("folders", folders, "Calendar folders holding .ics files")->required();
    app.add_option("--days", days, "Days of the window")->check(CLI::PositiveNumber);
    app.add_option("--from", start, "Start of the window, seconds since 1970 (default: now)");
    CLI11_PARSE(app, argc, argv);

    icaltimezone* utc = icaltimezone_get_utc_timezone();
    const icaltimetype from = icaltime_from_timet_with_zone(static_cast<std::time_t>(start), 0, utc);
    const icaltimetype to = icaltime_from_timet_with_zone(static_cast<std::time_t>(start + days * 86400LL), 0, utc);
    Counts counts;
    for (const std::string& folder : folders)
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".ics")
                expandFile(entry.path(), from, to, counts);
    std::printf("%ld files, %ld items, %ld occurrences\n", counts.files, counts.items, counts.occurrences);
    return 0;
}
