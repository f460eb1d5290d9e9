// One event row: the title on the first line, the date text after it or at the
// right edge, the location on an optional second line and an optional 20-point
// icon at the left.
//
// Everything sits in a horizontal scroll view that fills the row and always
// bounces, so the row can be pulled sideways; the event table is that scroll
// view's delegate and turns the pull into an action. The event table fills in
// the texts and copies its display settings into the properties; fonts, colours
// and frames are applied by the cell's own layout pass.
#pragma once

#include "listview/DGLTextStyle.h"

#include <UIKit/UIColor.h>
#include <UIKit/UIImageView.h>
#include <UIKit/UILabel.h>
#include <UIKit/UIScrollView.h>
#include <UIKit/UITableViewCell.h>

class DGLTableViewCell : public objc::Subclass<DGLTableViewCell, UITableViewCell> {
public:
    static Class classObject();

    DGLTableViewCell();
    // initWithStyle:reuseIdentifier:
    DGLTableViewCell(UITableViewCellStyle style, const NSString* reuseIdentifier);

    // The title; first line.
    UILabel* lblEventName() const { return lblEventName_.get(); }
    UILabel* lblEventDate() const { return lblEventDate_.get(); }
    // The location; second line.
    UILabel* lblEventLocation() const { return lblEventLocation_.get(); }
    // A coloured dot or a calendar page.
    UIImageView* iconView() const { return iconView_.get(); }
    // Holds the four views above; its tag addresses the row.
    UIScrollView* scrollView() const { return scrollView_.get(); }

    // The title's colour is used while titleColorSameAsCalendarColor is NO.
    const DGLTextStyle& titleStyle() const { return titleStyle_; }
    void setTitleStyle(const DGLTextStyle& style);
    // The location's.
    const DGLTextStyle& subtitleStyle() const { return subtitleStyle_; }
    void setSubtitleStyle(const DGLTextStyle& style);
    const DGLTextStyle& dateStyle() const { return dateStyle_; }
    void setDateStyle(const DGLTextStyle& style);
    // The date at the row's right edge, else right after the title.
    bool dateIsRightAligned() const { return dateIsRightAligned_; }
    void setDateIsRightAligned(bool rightAligned);
    // The icon shown, and the texts indented for it.
    bool showsIcon() const { return showsIcon_; }
    void setShowsIcon(bool shows);
    // The location line takes part in the vertical centring.
    bool displayLocation() const { return displayLocation_; }
    void setDisplayLocation(bool display);
    bool titleColorSameAsCalendarColor() const { return titleColorSameAsCalendarColor_; }
    void setTitleColorSameAsCalendarColor(bool same);
    UIColor* calendarColor() const { return calendarColor_.get(); }
    void setCalendarColor(UIColor* color);

    // Empties the three texts and the icon; the properties stay until the event
    // table sets them again.
    void prepareForReuse() override;
    // Applies fonts, colours and frames from the properties.
    void layoutSubviews() override;

private:
    void buildViews();
    // The left edge of the texts, after placing the icon.
    CGFloat placeIcon(CGFloat rowHeight);
    void applyFontsAndColors();
    void placeTexts(CGFloat x0, CGSize row);

    Ref<UILabel> lblEventName_;
    Ref<UILabel> lblEventDate_;
    Ref<UILabel> lblEventLocation_;
    Ref<UIImageView> iconView_;
    Ref<UIScrollView> scrollView_;
    DGLTextStyle titleStyle_;
    DGLTextStyle subtitleStyle_;
    DGLTextStyle dateStyle_;
    bool dateIsRightAligned_ = false;
    bool showsIcon_ = false;
    bool displayLocation_ = false;
    bool titleColorSameAsCalendarColor_ = false;
    Ref<UIColor> calendarColor_;
};
