#include <host/DeviceModel.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace host {
namespace {

// Sizes in points; the list of an iPad is a centred column, as on iOS 10.
constexpr std::array models {
    DeviceModel { "iphone7", "iPhone 7", { 375, 667 }, 2, 86, 22, 375 },
    DeviceModel { "iphonese", "iPhone SE", { 320, 568 }, 2, 76, 20, 320 },
    DeviceModel { "iphone7plus", "iPhone 7 Plus", { 414, 736 }, 3, 90, 23, 414 },
    DeviceModel { "ipad", "iPad", { 768, 1024 }, 2, 110, 26, 400 },
};

constexpr CGFloat statusBarHeight = 20;
// From the status bar to the top of the clock's glyphs.
constexpr CGFloat clockGap = 14;
// The gap between the date and the first notification.
constexpr CGFloat listGap = 24;
// The page dots and the unlock hint under the list.
constexpr CGFloat pageIndicatorHeight = 12;
constexpr CGFloat unlockHintHeight = 20;
constexpr CGFloat bottomMargin = 14;

CGRect band(CGFloat y, CGFloat width, CGFloat height)
{
    return CGRectMake(0, y, width, height);
}

} // namespace

std::span<const DeviceModel> deviceModels()
{
    return models;
}

const DeviceModel& defaultDeviceModel()
{
    return models.front();
}

const DeviceModel* findDeviceModel(std::string_view name)
{
    auto it = std::find_if(models.begin(), models.end(), [&](const DeviceModel& m) { return m.name == name; });
    return it == models.end() ? nullptr : &*it;
}

CGSize screenSize(const DeviceModel& model, Orientation orientation)
{
    const CGSize portrait = model.portraitSize;
    return orientation == Orientation::Portrait ? portrait : CGSizeMake(portrait.height, portrait.width);
}

// Top to bottom: status bar, clock, date, the list down to the page dots, the
// unlock hint at the bottom edge. The clock's line is 1.15 of its type size and
// the date's 1.4 of its own, in whole points.
LockScreenLayout lockScreenLayout(const DeviceModel& model, Orientation orientation)
{
    const CGSize size = screenSize(model, orientation);
    LockScreenLayout layout;
    layout.screenSize = size;
    layout.statusBar = band(0, size.width, statusBarHeight);
    layout.clock = band(statusBarHeight + clockGap, size.width, std::round(model.clockFontSize * 1.15));
    layout.date = band(CGRectGetMaxY(layout.clock), size.width, std::round(model.dateFontSize * 1.4));
    layout.unlockHint = band(size.height - bottomMargin - unlockHintHeight, size.width, unlockHintHeight);
    layout.pageIndicator
        = band(CGRectGetMinY(layout.unlockHint) - pageIndicatorHeight, size.width, pageIndicatorHeight);

    const CGFloat listWidth = std::min(size.width, model.maximumListWidth);
    const CGFloat listTop = CGRectGetMaxY(layout.date) + listGap;
    layout.notificationArea
        = CGRectMake((size.width - listWidth) / 2, listTop, listWidth, CGRectGetMinY(layout.pageIndicator) - listTop);
    return layout;
}

} // namespace host
