#include <host/NCNotificationListCell.h>

#include <host/LockScreenStrings.h>

#include <UIKit/UIFont.h>
#include <platform/Environment.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

constexpr CGFloat platterRadius = 13;
constexpr CGFloat padding = 12;
constexpr CGFloat iconSize = 20;
constexpr CGFloat headerHeight = 36;
constexpr CGFloat titleSize = 16;
constexpr CGFloat bodySize = 15;
constexpr CGFloat headerTextSize = 13;
constexpr NSInteger messageLines = 4;

// The icon stands in for the application's own: its initial on a colour that
// the name picks from the colours of iOS's own applications.
Ref<UIColor> iconColor(const NSString* appName)
{
    static const std::array<std::array<CGFloat, 3>, 6> palette { { { 0.30, 0.85, 0.39 }, { 0.0, 0.48, 1.0 },
        { 1.0, 0.23, 0.19 }, { 1.0, 0.58, 0.0 }, { 0.35, 0.34, 0.84 }, { 1.0, 0.18, 0.33 } } };
    const auto& rgb = palette[std::hash<std::string> {}(appName->UTF8String()) % palette.size()];
    return UIColor::colorWithRed(rgb[0], rgb[1], rgb[2], 1);
}

NonNullRef<UILabel> makeLabel(CGFloat size, NSInteger lines, UIColor* color)
{
    auto label = makeNonNullRef<UILabel>();
    label->setFont(UIFont::systemFontOfSize(size).get());
    label->setNumberOfLines(lines);
    label->setTextColor(color);
    return label;
}

CGFloat textHeight(UILabel* label, CGFloat width)
{
    return std::ceil(label->sizeThatFits(CGSizeMake(width, 10000)).height);
}

} // namespace

Class NCNotificationListCell::classObject()
{
    return objc::registeredClass<NCNotificationListCell>("NCNotificationListCell");
}

NSString* NCNotificationListCell::reuseIdentifier()
{
    static NSString* identifier = NSString::string("NotificationCell").leak();
    return identifier;
}

NCNotificationListCell::NCNotificationListCell()
    : platter_(makeNonNullRef<UIView>())
    , icon_(makeNonNullRef<UIImageView>())
    , appName_(makeLabel(headerTextSize, 1, UIColor::colorWithWhite(0.25, 1).get()))
    , time_(makeLabel(headerTextSize, 1, UIColor::colorWithWhite(0.25, 1).get()))
    , title_(makeLabel(titleSize, 1, UIColor::blackColor().get()))
    , message_(makeLabel(bodySize, messageLines, UIColor::blackColor().get()))
{
    // The frosted platter of iOS 10: white, mostly opaque over the wallpaper.
    platter_->setBackgroundColor(UIColor::colorWithWhite(1, 0.78).get());
    platter_->layer()->setCornerRadius(platterRadius);
    platter_->setClipsToBounds(true);
    icon_->layer()->setCornerRadius(5);
    icon_->setClipsToBounds(true);
    time_->setTextAlignment(NSTextAlignmentRight);
    contentView()->addSubview(platter_.get());
    for (UIView* view :
        { static_cast<UIView*>(icon_.get()), static_cast<UIView*>(appName_.get()), static_cast<UIView*>(time_.get()),
            static_cast<UIView*>(title_.get()), static_cast<UIView*>(message_.get()) })
        platter_->addSubview(view);
}

void NCNotificationListCell::configure(const NCNotificationRequest* request, double now)
{
    icon_->setBackgroundColor(iconColor(request->appName()).get());
    appName_->setText(request->appName()->uppercaseString().get());
    time_->setText(host::notificationAgeText(now - request->arrival(), platform::currentLocaleIdentifier()));
    title_->setText(request->title());
    message_->setText(request->message());
    setNeedsLayout();
}

CGFloat NCNotificationListCell::heightForRequest(const NCNotificationRequest* request, CGFloat width)
{
    auto title = makeLabel(titleSize, 1, nullptr);
    title->setText(request->title());
    auto message = makeLabel(bodySize, messageLines, nullptr);
    message->setText(request->message());
    const CGFloat textWidth = width - 2 * padding;
    return headerHeight + textHeight(title.get(), textWidth) + textHeight(message.get(), textWidth) + padding;
}

void NCNotificationListCell::layoutSubviews()
{
    UICollectionViewCell::layoutSubviews();
    const CGRect bounds = contentView()->bounds();
    platter_->setFrame(bounds);
    const CGFloat width = bounds.size.width - 2 * padding;
    const CGFloat headerY = (headerHeight - iconSize) / 2;
    icon_->setFrame(CGRectMake(padding, headerY, iconSize, iconSize));
    const CGFloat nameX = padding + iconSize + 8;
    // The age as wide as its words, which differ from language to language; the
    // name takes the rest.
    const CGFloat timeWidth = std::min(std::ceil(time_->sizeThatFits(CGSizeZero).width), width / 2);
    time_->setFrame(CGRectMake(bounds.size.width - padding - timeWidth, headerY, timeWidth, iconSize));
    appName_->setFrame(CGRectMake(nameX, headerY, width - iconSize - 8 - timeWidth - 8, iconSize));
    const CGFloat titleHeight = textHeight(title_.get(), width);
    title_->setFrame(CGRectMake(padding, headerHeight, width, titleHeight));
    message_->setFrame(CGRectMake(padding, headerHeight + titleHeight, width, textHeight(message_.get(), width)));
}
