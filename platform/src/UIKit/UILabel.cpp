#include <UIKit/UILabel.h>

#include <UIKit/UIGraphics.h>
#include <UIKit/UIStringDrawing.h>

#include <cmath>

namespace {

constexpr CGFloat defaultFontSize = 17;

} // namespace

Class UILabel::classObject()
{
    return objc::registeredClass<UILabel>("UILabel");
}

UILabel::UILabel(CGRect frame)
    : Subclass(frame)
    , font_(UIFont::systemFontOfSize(defaultFontSize))
    , textColor_(UIColor::blackColor())
{
}

void UILabel::setText(const NSString* text)
{
    if (text == text_.get())
        return;
    text_ = text ? text->copy() : nullptr;
    setNeedsLayout();
}

void UILabel::setText(std::string_view text)
{
    text_ = NSString::string(text);
    setNeedsLayout();
}

void UILabel::setFont(UIFont* font)
{
    font_ = font ? Ref<UIFont>(font) : UIFont::systemFontOfSize(defaultFontSize);
}

void UILabel::setTextColor(UIColor* color)
{
    textColor_ = color ? Ref<UIColor>(color) : UIColor::blackColor();
}

void UILabel::setTextAlignment(NSTextAlignment alignment)
{
    alignment_ = alignment;
}

void UILabel::setLineBreakMode(NSLineBreakMode mode)
{
    lineBreakMode_ = mode;
}

const std::string& UILabel::plainText() const
{
    static const std::string empty;
    return text_ ? text_->UTF8String() : empty;
}

std::string UILabel::displayedText() const
{
    if (lineBreakMode_ != NSLineBreakByTruncatingTail)
        return plainText();
    return NSStringTruncatingTail(plainText(), font_.get(), bounds().size.width);
}

CGSize UILabel::sizeThatFits(CGSize)
{
    if (plainText().empty())
        return CGSizeZero;
    const CGSize size = NSStringSizeWithFont(plainText(), font_.get());
    return CGSizeMake(std::ceil(size.width), std::ceil(size.height));
}

void UILabel::drawRect(CGRect rect)
{
    if (plainText().empty())
        return;
    const CGFloat lineHeight = font_->lineHeight();
    const CGRect line
        = CGRectMake(rect.origin.x, rect.origin.y + (rect.size.height - lineHeight) / 2, rect.size.width, lineHeight);
    textColor_->setFill();
    // A line taller than the label is cut at its bounds, like any overflowing label.
    CGContextClipToRect(UIGraphicsGetCurrentContext(), rect);
    NSStringDrawInRect(plainText(), line, font_.get(), lineBreakMode_, alignment_);
}
