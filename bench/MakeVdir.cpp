// make-vdir: writes calendar folders of generated items, e.g.
//   make-vdir /tmp/cal --items 10000 --series 1000 --calendars 4
// and prints the calendar folders it wrote, one a line.
#include "VdirGenerator.h"

#include <CLI/CLI.hpp>

#include <ctime>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace {

// "2024-03-05" as midnight UTC; empty for today.
std::int64_t anchorFrom(const std::string& day)
{
    if (day.empty())
        return static_cast<std::int64_t>(std::time(nullptr));
    std::tm parts {};
    std::istringstream(day) >> std::get_time(&parts, "%Y-%m-%d");
    return static_cast<std::int64_t>(timegm(&parts));
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app("Writes calendar folders (vdirs) of generated items.");
    std::string folder;
    std::string day;
    bench::VdirShape shape;
    app.add_option("folder", folder, "Folder to write the calendars into")->required();
    app.add_option("-n,--items", shape.items, "Items in all")->check(CLI::NonNegativeNumber);
    app.add_option("-s,--series", shape.series, "Items that repeat")->check(CLI::NonNegativeNumber);
    app.add_option("-c,--calendars", shape.calendars, "Calendar folders")->check(CLI::PositiveNumber);
    app.add_option("--anchor", day, "Day the items surround, YYYY-MM-DD (default: today)");
    app.add_option("--spread", shape.spreadDays, "Days either side of the anchor")->check(CLI::PositiveNumber);
    app.add_option("--seed", shape.seed, "Seed of the generator");
    CLI11_PARSE(app, argc, argv);

    shape.anchor = anchorFrom(day);
    for (const std::string& path : bench::writeVdir(folder, shape))
        std::cout << path << "\n";
    return 0;
}
