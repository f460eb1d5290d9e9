#include "RenderCommand.h"

#include "ArgumentParsing.h"
#include "DeviceSession.h"
#include "LayoutJSON.h"
#include "ListNotes.h"
#include "ListOptions.h"
#include "LockScreenRender.h"
#include "PngOutput.h"
#include "StandardOutput.h"

#include <CoreGraphics/CGContext.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIScreen.h>
#include <UIKit/UIViewLayoutDump.h>
#include <host/NCNotificationPriorityListViewController.h>
#include <objc/message.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace {

constexpr double maximumScale = 8;
// Pictures larger than this are refused rather than drawn (a frame far off the
// screen at a high scale would otherwise ask for gigabytes).
constexpr double maximumPixels = 64e6;

// "X,Y,W,H" in points; any numbers, so that an empty or odd suggestion can be
// tried too.
std::optional<CGRect> parseFrame(std::string_view text)
{
    std::array<double, 4> values {};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const bool last = i + 1 == values.size();
        const std::size_t comma = last ? text.size() : text.find(',');
        if (comma == std::string_view::npos)
            return std::nullopt;
        const std::optional<double> value = parseFinite(text.substr(0, comma));
        if (!value)
            return std::nullopt;
        values[i] = *value;
        text.remove_prefix(last ? comma : comma + 1);
    }
    return CGRectMake(values[0], values[1], values[2], values[3]);
}

std::string frameText(CGRect rect)
{
    char text[96];
    std::snprintf(text, sizeof text, "%g,%g,%g,%g", rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    return text;
}

bool isUsableScale(std::string_view text)
{
    const std::optional<double> scale = parseFinite(text);
    return scale && *scale > 0 && *scale <= maximumScale;
}

// A soft night-blue gradient, darker towards the bottom, like a dimmed lock-screen
// wallpaper: one band per pixel row, so no step shows.
void paintBackdrop(CGContextRef context, CGSize size, CGFloat scale)
{
    constexpr std::array<CGFloat, 3> top { 0.20, 0.25, 0.36 }, bottom { 0.05, 0.06, 0.10 };
    const auto rows = static_cast<int>(std::ceil(size.height * scale));
    for (int row = 0; row < rows; ++row) {
        const CGFloat t = rows > 1 ? static_cast<CGFloat>(row) / (rows - 1) : 0;
        auto mix = [t](CGFloat a, CGFloat b) { return a + (b - a) * t; };
        UIColor::colorWithRed(mix(top[0], bottom[0]), mix(top[1], bottom[1]), mix(top[2], bottom[2]), 1)->setFill();
        CGContextFillRect(context, CGRectMake(0, row / scale, size.width, 1 / scale));
    }
}

// The screen, grown to take in a table placed partly beyond it.
CGSize canvasSizeFor(const UIView& table)
{
    const CGRect screen = UIScreen::mainScreen()->bounds();
    const CGRect frame = table.frame();
    return CGSizeMake(
        std::max(CGRectGetMaxX(screen), CGRectGetMaxX(frame)), std::max(CGRectGetMaxY(screen), CGRectGetMaxY(frame)));
}

Ref<UIImage> drawOnBackdrop(UIView& table, CGFloat scale)
{
    const CGSize size = canvasSizeFor(table);
    const double pixels = std::ceil(size.width * scale) * std::ceil(size.height * scale);
    if (pixels > maximumPixels) {
        char text[160];
        std::snprintf(text, sizeof text, "the picture would be %g × %g points at scale %g, too large to draw",
            size.width, size.height, scale);
        throw CommandError(text);
    }
    UIGraphicsImageContextScope canvas(size, YES, scale);
    paintBackdrop(UIGraphicsGetCurrentContext(), size, scale);
    table.drawViewHierarchyInRect(table.frame());
    return canvas.image();
}

class RenderCommand final : public Command {
public:
    explicit RenderCommand(CLI::App& subcommand);

    const CLI::App* subcommand() const override { return render_; }
    int run(const CommonOptions& options) override;

private:
    int renderList(const CommonOptions& options);

    CLI::App* render_;
    ListOptions listOptions_;
    bool list_ = false;
    std::string frame_;
    double scale_ = 2;
    std::string output_;
    bool layoutJSON_ = false;
    LockScreenRenderOptions lockScreen_;
};

RenderCommand::RenderCommand(CLI::App& subcommand)
    : render_(&subcommand)
{
    CLI::Option* list = render_->add_flag("--list", list_, "Draw only the event list, as the lock screen builds it");
    listOptions_.addTo(*render_);
    listOptions_.addOwnerOption(*render_);
    lockScreen_.addTo(*render_, list);
    // Below the clock of a 375 × 667 point phone in portrait, as SpringBoard suggests it.
    frame_ = frameText(NCNotificationPriorityListViewController::defaultSuggestedListViewFrame);
    render_
        ->add_option("--frame", frame_,
            "The list frame SpringBoard suggests, in points; the list takes it less 8 at each side and 70 at the "
            "bottom")
        ->capture_default_str()
        ->check(validator(
            "X,Y,W,H", [](const std::string& text) { return parseFrame(text).has_value(); },
            "is not a frame of the form X,Y,W,H"))
        ->needs(list);
    render_->add_option("--scale", scale_, "Pixels per point, above 0 and at most 8")
        ->capture_default_str()
        ->check(validator(
            "(0-8]", [](const std::string& text) { return isUsableScale(text); },
            "is not a scale: it must be above 0 and at most 8"));
    addPictureOutputOption(*render_, output_);
    render_->add_flag("--layout-json", layoutJSON_, "Also print every view's class, frame and text as JSON");
}

int RenderCommand::run(const CommonOptions& options)
{
    if (layoutJSON_ && isStandardOutput(output_))
        throw UsageError("--layout-json prints to standard output, which -o - takes for the picture");
    const int status = list_ ? renderList(options)
                             : renderLockScreen(options, listOptions_, lockScreen_, { scale_, output_, layoutJSON_ });
    printNotes(skippedCalendarNotes());
    return status;
}

int RenderCommand::renderList(const CommonOptions& options)
{
    const CGFloat scale = scale_;
    applyListEnvironment(listOptions_);
    host::Device device
        = bootDevice(options, host::defaultDeviceModel(), host::Orientation::Portrait, listOptions_.calendarStorage());
    checkExtensionLoaded(device);
    applyListOverrides(listOptions_);
    applyOwner(listOptions_, device);
    // The list draws at the scale of the picture, whatever SpringBoard's screen
    // has: separators are one pixel thick.
    UIScreen::mainScreen()->setScale(scale);
    Ref<UIView> table = makeExtensionEventTable(*parseFrame(frame_));
    Ref<UIImage> image = drawOnBackdrop(*table, scale);
    writePng(*image, output_);

    const CGSize size = canvasSizeFor(*table);
    if (layoutJSON_) {
        nlohmann::ordered_json document
            = { { "file", pictureDestination(output_) }, { "scale", scale }, { "size", { size.width, size.height } },
                  { "list", layoutJSON(UIViewLayoutTree(table.get()), table->frame().origin) } };
        printOutput("%s\n", document.dump(2).c_str());
    } else {
        printPictureSummary(output_,
            formatted("%s: the event list, %g × %g points at scale %g (%zu × %zu pixels)",
                pictureDestination(output_).c_str(), size.width, size.height, scale, image->pixelWidth(),
                image->pixelHeight()));
    }
    printNotes(calendarChoiceNotes(options, listOptions_));
    return 0;
}

} // namespace

std::unique_ptr<Command> makeRenderCommand(CLI::App& subcommand)
{
    return std::make_unique<RenderCommand>(subcommand);
}
