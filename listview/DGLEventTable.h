// The event list of the lock screen. It carries every display setting as a
// property (the lock-screen code copies them in from the settings before the
// list is built), holds the loaded events in day sections, and makes the date
// texts and small images its rows and headers show.
//
// Its event methods (loading, day grouping, date texts) hand its settings to the
// event source's functions in events/; the images are drawn here in listview/.
#pragma once

#include "listview/DGLTextStyle.h"

#include <CoreGraphics/CGGeometry.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSString.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIImage.h>
#include <UIKit/UITableView.h>
#include <UIKit/UIView.h>
#include <schema/DGLRowCodes.h>

class DGLEKEVent;

class DGLEventTable : public objc::Subclass<DGLEventTable, UIView>,
                      public UITableViewDataSource,
                      public UITableViewDelegate {
public:
    static Class classObject();

    // initWithFrame:
    explicit DGLEventTable(CGRect frame = CGRectZero);

    // The inner table view.
    UITableView* tableView() const { return tableView_.get(); }
    void setTableView(UITableView* tableView) { tableView_ = tableView; }
    // The rows' three texts, each set as two properties, its size and its colour.
    const DGLTextStyle& titleStyle() const { return titleStyle_; }
    CGFloat titleTextSize() const { return titleStyle_.size; }
    void setTitleTextSize(CGFloat size) { titleStyle_.size = size; }
    UIColor* titleColor() const { return titleStyle_.color.get(); }
    void setTitleColor(UIColor* color) { titleStyle_.color = color; }
    const DGLTextStyle& subtitleStyle() const { return subtitleStyle_; }
    CGFloat subtitleTextSize() const { return subtitleStyle_.size; }
    void setSubtitleTextSize(CGFloat size) { subtitleStyle_.size = size; }
    UIColor* subtitleColor() const { return subtitleStyle_.color.get(); }
    void setSubtitleColor(UIColor* color) { subtitleStyle_.color = color; }
    const DGLTextStyle& dateStyle() const { return dateStyle_; }
    CGFloat dateTextSize() const { return dateStyle_.size; }
    void setDateTextSize(CGFloat size) { dateStyle_.size = size; }
    UIColor* dateColor() const { return dateStyle_.color.get(); }
    void setDateColor(UIColor* color) { dateStyle_.color = color; }
    UIColor* sectionHeaderBackgroundColor() const { return sectionHeaderBackgroundColor_.get(); }
    void setSectionHeaderBackgroundColor(UIColor* color) { sectionHeaderBackgroundColor_ = color; }
    UIColor* sectionHeaderTextColor() const { return sectionHeaderTextColor_.get(); }
    void setSectionHeaderTextColor(UIColor* color) { sectionHeaderTextColor_ = color; }
    CGFloat headerTextSize() const { return headerTextSize_; }
    void setHeaderTextSize(CGFloat size) { headerTextSize_ = size; }
    bool headerIsUppercase() const { return headerIsUppercase_; }
    void setHeaderIsUppercase(bool uppercase) { headerIsUppercase_ = uppercase; }
    bool displayLocation() const { return displayLocation_; }
    void setDisplayLocation(bool display) { displayLocation_ = display; }
    bool sameHeightRows() const { return sameHeightRows_; }
    void setSameHeightRows(bool same) { sameHeightRows_ = same; }
    bool showsRowSeparators() const { return showsRowSeparators_; }
    void setShowsRowSeparators(bool shows) { showsRowSeparators_ = shows; }
    bool titleColorSameAsCalendarColor() const { return titleColorSameAsCalendarColor_; }
    void setTitleColorSameAsCalendarColor(bool same) { titleColorSameAsCalendarColor_ = same; }
    bool dateIsRightAligned() const { return dateIsRightAligned_; }
    void setDateIsRightAligned(bool rightAligned) { dateIsRightAligned_ = rightAligned; }
    // Days ahead that the list looks for events.
    NSInteger daysToDisplay() const { return daysToDisplay_; }
    void setDaysToDisplay(NSInteger days) { daysToDisplay_ = days; }
    NSInteger maxEventsToDisplay() const { return maxEventsToDisplay_; }
    void setMaxEventsToDisplay(NSInteger count) { maxEventsToDisplay_ = count; }
    // The application that a swipe on a row launches.
    NSString* customLaunchAppBundleID() const { return customLaunchAppBundleID_.get(); }
    void setCustomLaunchAppBundleID(NSString* bundleID) { customLaunchAppBundleID_ = bundleID; }
    // One section per day, each under a header with the day's title and icon.
    bool groupByDays() const { return groupByDays_; }
    void setGroupByDays(bool group) { groupByDays_ = group; }
    // Replaces the view's own background colour with a plain stored one, meant
    // for the inner table view: setting it does not paint this view.
    UIColor* backgroundColor() const { return backgroundColor_.get(); }
    void setBackgroundColor(UIColor* color) override { backgroundColor_ = color; }
    bool onlySelectedCalendars() const { return onlySelectedCalendars_; }
    void setOnlySelectedCalendars(bool only) { onlySelectedCalendars_ = only; }
    // The system workspace that opens event links.
    NSObject* lsApplicationWorkspace() const { return lsApplicationWorkspace_.get(); }
    void setLsApplicationWorkspace(NSObject* workspace) { lsApplicationWorkspace_ = workspace; }
    NSDictionary* openApplicationOptions() const { return openApplicationOptions_.get(); }
    void setOpenApplicationOptions(NSDictionary* options) { openApplicationOptions_ = options; }
    // The icon in front of each row.
    DGLIconType iconType() const { return iconType_; }
    void setIconType(DGLIconType type) { iconType_ = type; }
    // What a swipe on a row does.
    DGLSwipeAction swipeAction() const { return swipeAction_; }
    void setSwipeAction(DGLSwipeAction action) { swipeAction_ = action; }

    // The upcoming events: from now until `daysToDisplay` calendar days ahead, of
    // the calendars that the calendar application shows (`onlySelectedCalendars`)
    // or of the own calendar list, sorted by start, at most `maxEventsToDisplay`
    // of them (0 or less: all), as `groupByDays` sections them. Zero sections
    // when there is nothing to show. The caller keeps the result.
    Ref<NSArray> loadEvents();
    // Splits records sorted by start into one section per local day of their
    // start, and replaces `sectionHeaders` with one header per section: "title"
    // (the day's relative name, or weekday, month and day) and "icon" (its
    // calendar page). Without grouping, or for no records, the whole list is the
    // only section and the headers stay as they were.
    Ref<NSArray> groupByDays(NSMutableArray* events);
    // The start (00:00:00) of the local day of the date; nil for nil.
    static Ref<NSDate> dateWithZeroTimeFromDate(const NSDate* date);
    // A row's date text: the time alone today, the relative day name for
    // yesterday and tomorrow, the weekday within a week, the short date beyond.
    static Ref<NSString> createPrettyDateFrom(const NSDate* date, bool isAllDay);

    // A 64 x 64 tear-off calendar page: the weekday name in red over the day of
    // the month, on a transparent background.
    static Ref<UIImage> createCalendarIconForDate(const NSDate* date);
    // An 80 x 80 transparent square with a centred disc of `radius` points
    // across (the argument is the diameter) in the colour, ringed by a 1-point
    // black outline.
    static Ref<UIImage> drawColoredDotWithColor(const UIColor* color, CGFloat radius);

    // The view side: the inner table and what it asks its data source and delegate.
    //
    // Builds the inner table over the bounds (rounded corners, the separator
    // style and background colour of the properties), loads the events into it
    // and, when they take less height than the table has, shrinks the table to
    // them and stops it scrolling. Call once, after the frame and properties are set.
    void initView();
    NSInteger numberOfSectionsInTableView(UITableView* tableView) override;
    NSInteger tableViewNumberOfRowsInSection(UITableView* tableView, NSInteger section) override;
    // A DGLTableViewCell showing the row's event, its scroll view tagged
    // section × 1000 + row.
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView* tableView, NSIndexPath* indexPath) override;
    // One line of title, plus one of location when the location is shown.
    CGFloat tableViewHeightForRowAtIndexPath(UITableView* tableView, NSIndexPath* indexPath) override;
    // 36 with day headers, else 0.
    CGFloat tableViewHeightForHeaderInSection(UITableView* tableView, NSInteger section) override;
    // A new view each time: the day's calendar page and title over a faint backdrop.
    Ref<UIView> tableViewViewForHeaderInSection(UITableView* tableView, NSInteger section) override;

    // The swipe: a row pulled right past 80 points and let go performs
    // `swipeAction` for the row's event. The end of the inner table's vertical
    // drags comes here too and never passes the test.
    void scrollViewDidEndDragging(UIScrollView* scrollView, bool decelerate) override;
    // The tag of a row's scroll view, section × 1000 + row, from which the swipe
    // finds its event again. Rows from 1000 on would read as rows of a later
    // section, so they get a tag that addresses no row: they cannot be swiped.
    static NSInteger tagForRow(NSInteger section, NSInteger row);

protected:
    // initView in two halves: the inner table, empty; then the sections as its
    // data, and the fitting to them.
    void buildTableView();
    void showSections(Ref<NSArray> sections);
    // The event of a row; null for an address outside the data.
    DGLEKEVent* eventAtIndexPath(const NSIndexPath* indexPath) const;

private:
    // What a swipe on the event does, one method per action.
    void openInCalendar(DGLEKEVent* event);
    static void openDayElsewhere(const DGLEKEVent& event);
    void launchApplication() const;

    // The loaded events: one array of DGLEKEVent per section.
    Ref<NSArray> calendarEvents_;
    // One dictionary per section, written by the day grouping.
    Ref<NSMutableArray> sectionHeaders_;

    Ref<UITableView> tableView_;
    DGLTextStyle titleStyle_;
    DGLTextStyle subtitleStyle_;
    DGLTextStyle dateStyle_;
    Ref<UIColor> sectionHeaderBackgroundColor_;
    Ref<UIColor> sectionHeaderTextColor_;
    CGFloat headerTextSize_ = 0;
    bool headerIsUppercase_ = false;
    bool displayLocation_ = false;
    bool sameHeightRows_ = false;
    bool showsRowSeparators_ = false;
    bool titleColorSameAsCalendarColor_ = false;
    bool dateIsRightAligned_ = false;
    NSInteger daysToDisplay_ = 0;
    NSInteger maxEventsToDisplay_ = 0;
    Ref<NSString> customLaunchAppBundleID_;
    bool groupByDays_ = false;
    Ref<UIColor> backgroundColor_;
    bool onlySelectedCalendars_ = false;
    Ref<NSObject> lsApplicationWorkspace_;
    Ref<NSDictionary> openApplicationOptions_;
    DGLIconType iconType_ = DGLIconTypeNone;
    DGLSwipeAction swipeAction_ = DGLSwipeActionNone;
};
