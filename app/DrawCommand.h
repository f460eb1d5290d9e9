// dayglass draw: the event list's two small images as PNG files, so that a theme
// designer can look at them: `draw icon` makes a day's calendar page, `draw dot`
// a calendar's coloured dot.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

class DrawCommand {
public:
    // Adds `draw`, with its subcommands `icon` and `dot`, to the command line.
    explicit DrawCommand(CLI::App& app);
    DrawCommand(const DrawCommand&) = delete;
    DrawCommand& operator=(const DrawCommand&) = delete;

    const CLI::App* subcommand() const { return draw_; }
    // Draws the image the command line asked for, writes it and prints
    // "FILE: W × H". Returns the exit status; a failure is one line on stderr.
    int run();

private:
    CLI::App* draw_;
    CLI::App* icon_;
    std::string date_;
    std::string locale_;
    std::string color_;
    double diameter_ = 0;
    std::string output_;
};
