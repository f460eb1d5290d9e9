#include "DrawCommand.h"

#include "ArgumentParsing.h"
#include "DeviceSession.h"
#include "ListOptions.h"
#include "PngOutput.h"

#include <Foundation/NSCalendar.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIImage.h>
#include <objc/message.h>
#include <platform/Environment.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

bool allDigits(std::string_view text, bool hexadecimal = false)
{
    for (unsigned char c : text)
        if (!(hexadecimal ? std::isxdigit(c) : std::isdigit(c)))
            return false;
    return true;
}

// A calendar date written YYYY-MM-DD.
std::optional<std::chrono::year_month_day> parseDay(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const std::string_view year = text.substr(0, 4), month = text.substr(5, 2), day = text.substr(8, 2);
    if (!allDigits(year) || !allDigits(month) || !allDigits(day))
        return std::nullopt;
    const std::chrono::year_month_day date { std::chrono::year(static_cast<int>(*parseWhole<unsigned>(year))),
        std::chrono::month(*parseWhole<unsigned>(month)), std::chrono::day(*parseWhole<unsigned>(day)) };
    if (!date.ok())
        return std::nullopt;
    return date;
}

// "#RRGGBB" or "#RRGGBBAA" in hexadecimal digits.
std::optional<Ref<UIColor>> parseColor(std::string_view text)
{
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#' || !allDigits(text.substr(1), true))
        return std::nullopt;
    auto component = [&](std::size_t index) {
        return text.size() > 1 + 2 * index ? *parseWhole<unsigned>(text.substr(1 + 2 * index, 2), 16) / 255.0 : 1.0;
    };
    return UIColor::colorWithRed(component(0), component(1), component(2), component(3));
}

// A size in points: a finite number, 0 or more.
std::optional<double> parseDiameter(std::string_view text)
{
    const std::optional<double> value = parseFinite(text);
    return value && *value >= 0 ? value : std::nullopt;
}

// The instant that stands for a day: its noon in the host's zone, well away from
// any daylight-saving change.
Ref<NSDate> noonOf(std::chrono::year_month_day day)
{
    auto components = makeRef<NSDateComponents>();
    components->setYear(static_cast<int>(day.year()));
    components->setMonth(static_cast<unsigned>(day.month()));
    components->setDay(static_cast<unsigned>(day.day()));
    components->setHour(12);
    return NSCalendar::currentCalendar()->dateFromComponents(components.get());
}

// Draws with the extension's own image code, reached through the runtime on a
// booted device as the lock screen reaches it.
class DrawCommand final : public Command {
public:
    explicit DrawCommand(CLI::App& subcommand);

    const CLI::App* subcommand() const override { return draw_; }
    int run(const CommonOptions& options) override;

private:
    CLI::App* draw_;
    CLI::App* icon_;
    std::string date_;
    std::string locale_;
    std::string color_;
    double diameter_ = 0;
    std::string output_;
};

DrawCommand::DrawCommand(CLI::App& subcommand)
    : draw_(&subcommand)
{
    draw_->require_subcommand(1);

    icon_ = draw_->add_subcommand("icon", "The calendar page of a day (64 × 64)");
    icon_->add_option("--date", date_, "The day, as YYYY-MM-DD")
        ->required()
        ->check(validator(
            "YYYY-MM-DD", [](const std::string& text) { return parseDay(text).has_value(); },
            "is not a date of the form YYYY-MM-DD"));
    icon_->add_option("--locale", locale_, "The language of the weekday, as an ICU locale such as de_DE");
    icon_->add_option("-o,--output", output_, "The PNG file to write; - writes it to standard output")->required();

    CLI::App* dot = draw_->add_subcommand("dot", "A calendar's coloured dot (80 × 80)");
    dot->add_option("--color", color_, "The dot's colour, as #RRGGBB or #RRGGBBAA")
        ->required()
        ->check(validator(
            "#RRGGBB[AA]", [](const std::string& text) { return parseColor(text).has_value(); },
            "is not a colour of the form #RRGGBB or #RRGGBBAA"));
    dot->add_option("--diameter", diameter_, "The dot's diameter in points; the list uses 30 and 50")
        ->required()
        ->check(validator(
            "POINTS", [](const std::string& text) { return parseDiameter(text).has_value(); },
            "is not a diameter: it must be a number of points, 0 or more"));
    dot->add_option("-o,--output", output_, "The PNG file to write; - writes it to standard output")->required();
}

int DrawCommand::run(const CommonOptions& options)
{
    if (icon_->parsed() && !locale_.empty())
        platform::setCurrentLocaleIdentifier(locale_);
    host::Device device = bootDevice(options);
    checkExtensionLoaded(device);
    const Ref<NSObject> table = makeEventTable(CGRectZero);
    const Ref<UIImage> image = dynamicCast<UIImage>(icon_->parsed()
            ? objc_msgSend<id>(table.get(), "createCalendarIconForDate:", noonOf(*parseDay(date_)).get())
            : objc_msgSend<id>(table.get(), "drawColoredDotWithColor:andRadius:", parseColor(color_)->get(),
                static_cast<CGFloat>(diameter_)));
    if (!image)
        throw CommandError("the extension drew no image");
    writePng(*image, output_);
    std::fprintf(isStandardOutput(output_) ? stderr : stdout, "%s: %g × %g\n", output_.c_str(), image->size().width,
        image->size().height);
    return 0;
}

} // namespace

std::unique_ptr<Command> makeDrawCommand(CLI::App& subcommand)
{
    return std::make_unique<DrawCommand>(subcommand);
}
