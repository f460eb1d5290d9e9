#include <UIKit/UITableViewCell.h>

#include <UIKit/UIGraphics.h>
#include <UIKit/UIScreen.h>

#include <algorithm>

namespace {

id initWithStyleImp(id self, SEL, NSInteger style, id reuseIdentifier)
{
    static_cast<UITableViewCell*>(self)->setStyleAndReuseIdentifier(
        static_cast<UITableViewCellStyle>(style), dynamicCast<NSString>(reuseIdentifier));
    return self;
}

} // namespace

Class UITableViewCell::classObject()
{
    return objc::registeredClass<UITableViewCell>(
        "UITableViewCell", [](Class c) { objc::addMethod(c, "initWithStyle:reuseIdentifier:", &initWithStyleImp); });
}

UITableViewCell::UITableViewCell()
    : UITableViewCell(UITableViewCellStyleDefault, nullptr)
{
}

UITableViewCell::UITableViewCell(UITableViewCellStyle style, const NSString* reuseIdentifier)
    : Subclass(CGRectMake(0, 0, 320, 44))
    , style_(style)
    , contentView_(makeNonNullRef<UIView>(CGRectMake(0, 0, 320, 44)))
{
    setStyleAndReuseIdentifier(style, reuseIdentifier);
    setBackgroundColor(UIColor::whiteColor().get());
    addSubview(contentView_.get());
}

void UITableViewCell::setStyleAndReuseIdentifier(UITableViewCellStyle style, const NSString* reuseIdentifier)
{
    style_ = style;
    reuseIdentifier_ = reuseIdentifier ? reuseIdentifier->copy() : nullptr;
}

void UITableViewCell::setSeparatorColor(UIColor* color)
{
    if (color == separatorColor_.get())
        return;
    separatorColor_ = color;
    setNeedsLayout();
}

CGFloat UITableViewCell::separatorHeight() const
{
    return separatorColor_ ? 1 / UIScreen::mainScreen()->scale() : 0;
}

void UITableViewCell::layoutSubviews()
{
    const CGRect area = bounds();
    contentView_->setFrame(
        CGRectMake(0, 0, area.size.width, std::max<CGFloat>(0, area.size.height - separatorHeight())));
}

void UITableViewCell::drawRect(CGRect rect)
{
    if (!separatorColor_)
        return;
    separatorColor_->setFill();
    const CGFloat height = separatorHeight();
    CGContextFillRect(UIGraphicsGetCurrentContext(),
        CGRectMake(separatorInset, CGRectGetMaxY(rect) - height, rect.size.width - separatorInset, height));
}
