#include "listview/DGLTableViewCell.h"

#include <algorithm>

namespace {

// The texts start this far from the row's left edge, with and without the icon.
constexpr CGFloat textIndentWithIcon = 38;
constexpr CGFloat textIndent = 10;
constexpr CGFloat iconLeft = 8;
constexpr CGFloat iconSide = 20;
// Between the title and the date, and between the date and the right edge.
constexpr CGFloat dateGap = 10;

Ref<UILabel> makeLabel(UIColor* color, CGFloat size)
{
    auto label = makeRef<UILabel>();
    label->setTextColor(color);
    label->setBackgroundColor(UIColor::clearColor().get());
    label->setFont(UIFont::fontWithName("HelveticaNeue", size).get());
    return label;
}

} // namespace

Class DGLTableViewCell::classObject()
{
    return objc::registeredClass<DGLTableViewCell>("DGLTableViewCell");
}

DGLTableViewCell::DGLTableViewCell()
    : DGLTableViewCell(UITableViewCellStyleDefault, nullptr)
{
}

DGLTableViewCell::DGLTableViewCell(UITableViewCellStyle style, const NSString* reuseIdentifier)
    : Subclass(style, reuseIdentifier)
{
    buildViews();
}

// The colours and sizes given here hold only until the first layout pass; the
// title's font family stays and the other two labels take theirs from it.
void DGLTableViewCell::buildViews()
{
    contentView()->setBackgroundColor(UIColor::clearColor().get());
    setBackgroundColor(UIColor::clearColor().get());

    scrollView_ = makeRef<UIScrollView>(CGRectZero);
    scrollView_->setAlwaysBounceHorizontal(true);
    scrollView_->setBackgroundColor(UIColor::clearColor().get());
    contentView()->insertSubviewAtIndex(scrollView_.get(), 0);

    lblEventName_ = makeLabel(UIColor::whiteColor().get(), 13);
    lblEventName_->setNumberOfLines(1);
    lblEventName_->setLineBreakMode(NSLineBreakByTruncatingTail);
    scrollView_->addSubview(lblEventName_.get());

    lblEventDate_ = makeLabel(UIColor::orangeColor().get(), 11);
    lblEventDate_->setTextAlignment(NSTextAlignmentRight);
    scrollView_->addSubview(lblEventDate_.get());

    lblEventLocation_ = makeLabel(UIColor::grayColor().get(), 11);
    lblEventLocation_->setTextAlignment(NSTextAlignmentLeft);
    scrollView_->addSubview(lblEventLocation_.get());

    iconView_ = makeRef<UIImageView>();
    iconView_->setContentMode(UIViewContentModeScaleAspectFit);
    iconView_->layer()->setCornerRadius(4);
    iconView_->setClipsToBounds(true);
    scrollView_->addSubview(iconView_.get());
}

namespace {

template <typename T> bool assignIfChanged(T& slot, T value)
{
    if (slot == value)
        return false;
    slot = value;
    return true;
}

bool assignIfChanged(Ref<UIColor>& slot, UIColor* value)
{
    if (slot.get() == value)
        return false;
    slot = value;
    return true;
}

} // namespace

void DGLTableViewCell::setTitleStyle(const DGLTextStyle& style)
{
    if (assignIfChanged(titleStyle_, style))
        setNeedsLayout();
}

void DGLTableViewCell::setSubtitleStyle(const DGLTextStyle& style)
{
    if (assignIfChanged(subtitleStyle_, style))
        setNeedsLayout();
}

void DGLTableViewCell::setDateStyle(const DGLTextStyle& style)
{
    if (assignIfChanged(dateStyle_, style))
        setNeedsLayout();
}

void DGLTableViewCell::setDateIsRightAligned(bool rightAligned)
{
    if (assignIfChanged(dateIsRightAligned_, rightAligned))
        setNeedsLayout();
}

void DGLTableViewCell::setShowsIcon(bool shows)
{
    if (assignIfChanged(showsIcon_, shows))
        setNeedsLayout();
}

void DGLTableViewCell::setDisplayLocation(bool display)
{
    if (assignIfChanged(displayLocation_, display))
        setNeedsLayout();
}

void DGLTableViewCell::setTitleColorSameAsCalendarColor(bool same)
{
    if (assignIfChanged(titleColorSameAsCalendarColor_, same))
        setNeedsLayout();
}

void DGLTableViewCell::setCalendarColor(UIColor* color)
{
    if (assignIfChanged(calendarColor_, color))
        setNeedsLayout();
}

void DGLTableViewCell::prepareForReuse()
{
    UITableViewCell::prepareForReuse();
    lblEventName_->setText(""_ns.get());
    lblEventDate_->setText(""_ns.get());
    lblEventLocation_->setText(""_ns.get());
    iconView_->setImage(nullptr);
    iconView_->setBackgroundColor(UIColor::clearColor().get());
    // The next row's texts need a fresh layout even when its settings are the same.
    setNeedsLayout();
}

// The scroll view's content is exactly as large as the scroll view: there is no
// scroll range, so a sideways pull only bounces and springs back on release.
void DGLTableViewCell::layoutSubviews()
{
    UITableViewCell::layoutSubviews();
    const CGSize row = contentView()->frame().size;
    scrollView_->setFrame(contentView()->bounds());
    scrollView_->setContentSize(row);
    const CGFloat x0 = placeIcon(row.height);
    applyFontsAndColors();
    placeTexts(x0, row);
}

CGFloat DGLTableViewCell::placeIcon(CGFloat rowHeight)
{
    if (!showsIcon_) {
        iconView_->setFrame(CGRectZero);
        return textIndent;
    }
    iconView_->setFrame(CGRectMake(iconLeft, (rowHeight - iconSide) * 0.5, iconSide, iconSide));
    return textIndentWithIcon;
}

void DGLTableViewCell::applyFontsAndColors()
{
    // The title's face, whatever its current size, sets the face of all three.
    const Ref<UIFont> family = lblEventName_->font();
    lblEventName_->setFont(family->fontWithSize(titleStyle_.size).get());
    lblEventDate_->setFont(family->fontWithSize(dateStyle_.size).get());
    lblEventLocation_->setFont(family->fontWithSize(subtitleStyle_.size).get());

    lblEventName_->setTextColor(titleColorSameAsCalendarColor_ ? calendarColor_.get() : titleStyle_.color.get());
    lblEventDate_->setTextColor(dateStyle_.color.get());
    lblEventLocation_->setTextColor(subtitleStyle_.color.get());
}

// With the date right-aligned the title takes all the width up to the date; with
// the date after the title a short title is followed by the date, and a title too
// long for that is laid out as with a right-aligned date.
void DGLTableViewCell::placeTexts(CGFloat x0, CGSize row)
{
    const CGSize title = lblEventName_->sizeThatFits(row);
    const CGSize date = lblEventDate_->sizeThatFits(row);
    const CGSize location = lblEventLocation_->sizeThatFits(row);

    CGFloat dateX = row.width - date.width - dateGap;
    // A date wider than the room leaves the title no width at all, rather than a
    // negative one.
    CGFloat titleWidth = std::max<CGFloat>(0, row.width - x0 - date.width - 2 * dateGap);
    if (!dateIsRightAligned_ && title.width < titleWidth) {
        titleWidth = title.width;
        dateX = x0 + title.width + dateGap;
    }

    CGFloat freeHeight = row.height - title.height;
    if (displayLocation_)
        freeHeight -= location.height;
    const CGFloat titleY = freeHeight * 0.5;

    lblEventName_->setFrame(CGRectMake(x0, titleY, titleWidth, title.height));
    // The date's bottom edge sits on the title's; the location sits right below it.
    lblEventDate_->setFrame(CGRectMake(dateX, titleY + title.height - date.height, date.width, date.height));
    lblEventLocation_->setFrame(CGRectMake(x0, titleY + title.height, location.width, location.height));
}
