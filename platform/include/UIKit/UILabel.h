// UILabel: one line of text in a font and colour, aligned in its bounds and
// centred vertically, cut with "…" when it is wider than the label (after
// shrinking its font, when it may).
#pragma once

#include <Foundation/NSString.h>
#include <UIKit/NSParagraphStyle.h>
#include <UIKit/NSText.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIView.h>
#include <platform/Export.h>

class PLATFORM_EXPORT UILabel : public objc::Subclass<UILabel, UIView> {
public:
    static Class classObject();

    explicit UILabel(CGRect frame = CGRectZero);

    // Nil text shows nothing, like an empty one.
    const NSString* text() const { return text_.get(); }
    void setText(const NSString* text);
    void setText(std::string_view text);
    // The system font at 17 until set; setting nil restores it.
    UIFont* font() const { return font_.get(); }
    void setFont(UIFont* font);
    // Black until set; setting nil restores it.
    UIColor* textColor() const { return textColor_.get(); }
    void setTextColor(UIColor* color);
    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment alignment);
    // Kept for callers; the label always shows one line.
    NSInteger numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(NSInteger lines) { numberOfLines_ = lines; }
    NSLineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(NSLineBreakMode mode);

    // When set, a text wider than the label is drawn in a smaller size of the
    // font, down to minimumScaleFactor times its size, before it is cut. Off
    // until set.
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSizeToFitWidth_; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    // 0 until set, which keeps the font's own size as the smallest.
    CGFloat minimumScaleFactor() const { return minimumScaleFactor_; }
    void setMinimumScaleFactor(CGFloat factor);

    // The font the text is drawn in at the label's current width: the label's
    // own, or a smaller size of it when the label shrinks its text to fit.
    Ref<UIFont> displayedFont() const;
    // The text as drawn at the label's current width: cut with "…" by the
    // truncating-tail mode, whole otherwise (the other modes clip it).
    std::string displayedText() const;

    // One line of the text: its width and the font's line height, rounded up
    // to whole points; zero for an empty text.
    CGSize sizeThatFits(CGSize size) override;
    void drawRect(CGRect rect) override;
    std::optional<std::string> layoutText() const override { return displayedText(); }

private:
    const std::string& plainText() const;

    Ref<NSString> text_;
    Ref<UIFont> font_;
    Ref<UIColor> textColor_;
    NSTextAlignment alignment_ = NSTextAlignmentLeft;
    NSInteger numberOfLines_ = 1;
    NSLineBreakMode lineBreakMode_ = NSLineBreakByTruncatingTail;
    bool adjustsFontSizeToFitWidth_ = false;
    CGFloat minimumScaleFactor_ = 0;
};
