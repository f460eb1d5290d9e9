#include <UIKit/UILabel.h>

#include <UIKit/UIGraphics.h>
#include <UIKit/UIStringDrawing.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat defaultFontSize = 17;
// A shrunk text aims this little short of the width, so that one step nearly
// always fits.
constexpr CGFloat shrinkMargin = 0.999;

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

void UILabel::setAdjustsFontSizeToFitWidth(bool adjusts)
{
    adjustsFontSizeToFitWidth_ = adjusts;
}

void UILabel::setMinimumScaleFactor(CGFloat factor)
{
    minimumScaleFactor_ = factor;
}

Ref<UIFont> UILabel::displayedFont() const
{
    const CGFloat width = bounds().size.width;
    const CGFloat natural = NSStringSizeWithFont(plainText(), font_.get()).width;
    if (!adjustsFontSizeToFitWidth_ || natural <= width || minimumScaleFactor_ <= 0)
        return font_;
    // Text widths grow in proportion to the size, since neither metrics nor glyph
    // positions are rounded; the measure after each step settles what rounding
    // inside the text engine leaves over.
    const CGFloat smallest = font_->pointSize() * std::min<CGFloat>(minimumScaleFactor_, 1);
    CGFloat size = font_->pointSize();
    CGFloat measured = natural;
    Ref<UIFont> font = font_;
    while (measured > width && size > smallest) {
        size = std::max(smallest, size * width / measured * shrinkMargin);
        font = font_->fontWithSize(size);
        measured = NSStringSizeWithFont(plainText(), font.get()).width;
    }
    return font;
}

std::string UILabel::displayedText() const
{
    if (lineBreakMode_ != NSLineBreakByTruncatingTail)
        return plainText();
    return NSStringTruncatingTail(plainText(), displayedFont().get(), bounds().size.width);
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
    const Ref<UIFont> font = displayedFont();
    // The text's own line: taller than the font's when a fallback face with a
    // taller line draws some of it.
    const CGFloat lineHeight = NSStringSizeWithFont(plainText(), font.get()).height;
    const CGRect line
        = CGRectMake(rect.origin.x, rect.origin.y + (rect.size.height - lineHeight) / 2, rect.size.width, lineHeight);
    textColor_->setFill();
    // A line taller than the label is cut at its bounds, like any overflowing label.
    CGContextClipToRect(UIGraphicsGetCurrentContext(), rect);
    NSStringDrawInRect(plainText(), line, font.get(), lineBreakMode_, alignment_);
}
