// UITableViewCell: one row of a table. Its content goes into contentView, which
// fills the cell except for the separator line at the bottom when the table
// shows separators (one pixel of the main screen).
#pragma once

#include <Foundation/NSString.h>
#include <UIKit/UIView.h>
#include <platform/Export.h>

enum UITableViewCellStyle : NSInteger {
    UITableViewCellStyleDefault = 0,
    UITableViewCellStyleValue1 = 1,
    UITableViewCellStyleValue2 = 2,
    UITableViewCellStyleSubtitle = 3,
};

enum UITableViewCellSeparatorStyle : NSInteger {
    UITableViewCellSeparatorStyleNone = 0,
    UITableViewCellSeparatorStyleSingleLine = 1,
    UITableViewCellSeparatorStyleSingleLineEtched = 2,
};

class PLATFORM_EXPORT UITableViewCell : public objc::Subclass<UITableViewCell, UIView> {
public:
    static Class classObject();

    // A cell of the default style without a reuse identifier. A table that makes
    // a cell from a registered class builds it with this constructor, then sends
    // "initWithStyle:reuseIdentifier:" through the runtime; a subclass builds its
    // views in its constructor.
    UITableViewCell();
    // initWithStyle:reuseIdentifier:
    UITableViewCell(UITableViewCellStyle style, const NSString* reuseIdentifier);

    UITableViewCellStyle style() const { return style_; }
    const NSString* reuseIdentifier() const { return reuseIdentifier_.get(); }
    // What "initWithStyle:reuseIdentifier:" does on an already built cell.
    void setStyleAndReuseIdentifier(UITableViewCellStyle style, const NSString* reuseIdentifier);

    UIView* contentView() const { return contentView_.get(); }

    // Called by the table view just before it hands the cell out again; the
    // place to clear what the previous row left.
    virtual void prepareForReuse() { }

    // Places contentView.
    void layoutSubviews() override;
    // Draws the separator line, when the table asks for one.
    void drawRect(CGRect rect) override;

    // Set by the table view: the separator colour, or nil for no separator.
    void setSeparatorColor(UIColor* color);
    // The separator's inset from the left edge.
    static constexpr CGFloat separatorInset = 15;

private:
    CGFloat separatorHeight() const;

    UITableViewCellStyle style_;
    Ref<NSString> reuseIdentifier_;
    NonNullRef<UIView> contentView_;
    Ref<UIColor> separatorColor_;
};
