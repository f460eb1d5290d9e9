#include "events/DGLEKEVent.h"
#include "listview/DGLEventTable.h"
#include "listview/DGLTableViewCell.h"

#include <Foundation/NSLog.h>
#include <UIKit/UIImageView.h>
#include <UIKit/UILabel.h>
#include <UIKit/UIStringDrawing.h>
#include <schema/DGLRowCodes.h>

#include <cmath>

namespace {

constexpr const char* cellIdentifier = "DGLTableViewCell";
constexpr CGFloat tableCornerRadius = 13;
// Above and below the text of every row.
constexpr CGFloat rowPadding = 7;
constexpr CGFloat headerHeight = 36;
// The icon and the title sit this far from the header's top, the icon as far from its left.
constexpr CGFloat headerInset = 8;
constexpr CGFloat headerIconSide = 20;
constexpr CGFloat headerTitleLeft = 36;
constexpr CGFloat headerTitleHeight = 20;
constexpr CGFloat headerBackdropAlpha = 0.2;
// Diameters of the small and the large dot.
constexpr CGFloat dotDiameter = 30;
constexpr CGFloat largeDotDiameter = 50;

// One line of the system font at that size, in whole points. Rows are measured
// in the system font although their cells draw in HelveticaNeue.
CGFloat oneLineHeight(CGFloat size)
{
    return std::ceil(NSStringSizeWithFont("AAAAAAAAAAA", UIFont::systemFontOfSize(size).get()).height);
}

bool hasLocation(const NSString* location)
{
    return location && location->length() > 0;
}

Ref<UIView> makeHeaderBackdrop(CGRect bounds, UIColor* color)
{
    auto backdrop = makeRef<UIView>(bounds);
    backdrop->setBackgroundColor(color);
    backdrop->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    backdrop->setAlpha(headerBackdropAlpha);
    return backdrop;
}

// The day's calendar page on white; shown whatever the rows' icon setting is.
Ref<UIImageView> makeHeaderIcon(UIImage* image)
{
    auto icon = makeRef<UIImageView>(image);
    icon->setBackgroundColor(UIColor::whiteColor().get());
    icon->layer()->setCornerRadius(4);
    icon->setClipsToBounds(true);
    icon->setFrame(CGRectMake(headerInset, headerInset, headerIconSide, headerIconSide));
    return icon;
}

// The dots come in the calendar's colour. A calendar page that cannot be drawn
// leaves the icon as reuse left it: no image on a clear background.
void showIcon(DGLTableViewCell& cell, const DGLEKEVent& event, DGLIconType iconType)
{
    switch (iconType) {
    case DGLIconTypeDot:
    case DGLIconTypeLargeDot:
        cell.setShowsIcon(true);
        cell.iconView()->setImage(DGLEventTable::drawColoredDotWithColor(
            event.calendarColor(), iconType == DGLIconTypeDot ? dotDiameter : largeDotDiameter)
                                      .get());
        return;
    case DGLIconTypeCalendarPage:
        cell.setShowsIcon(true);
        if (Ref<UIImage> page = DGLEventTable::createCalendarIconForDate(event.startDate())) {
            cell.iconView()->setBackgroundColor(UIColor::whiteColor().get());
            cell.iconView()->setImage(page.get());
        }
        return;
    default:
        // No icon, and the texts move to the left edge; unknown codes count as none.
        cell.setShowsIcon(false);
    }
}

} // namespace

void DGLEventTable::initView()
{
    buildTableView();
    showSections(loadEvents());
}

void DGLEventTable::buildTableView()
{
    tableView_ = makeRef<UITableView>(bounds(), UITableViewStylePlain);
    tableView_->registerClassForCellReuseIdentifier(
        DGLTableViewCell::classObject(), NSString::string(cellIdentifier).get());
    tableView_->setDelegate(this);
    tableView_->setDataSource(this);
    tableView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    tableView_->layer()->setCornerRadius(tableCornerRadius);
    tableView_->layer()->setMasksToBounds(true);
    // An empty footer, so that the table draws no separators below its last row.
    tableView_->setTableFooterView(makeRef<UIView>(CGRectZero).get());
    tableView_->setSeparatorStyle(
        showsRowSeparators_ ? UITableViewCellSeparatorStyleSingleLine : UITableViewCellSeparatorStyleNone);
    tableView_->setBackgroundColor(backgroundColor_.get());
    tableView_->setBackgroundView(nullptr);
    addSubview(tableView_.get());
}

// A short list takes only the height it needs and does not scroll; the event
// table's own frame stays as it was given.
void DGLEventTable::showSections(Ref<NSArray> sections)
{
    calendarEvents_ = std::move(sections);
    tableView_->reloadData();
    NSLog("self.tableView.frame.size.height=%f, self.tableView.contentSize.height=%f",
        tableView_->frame().size.height, tableView_->contentSize().height);
    fitTableView();
}

// The inner table's autoresizing alone would keep the height it was shrunk to
// minus what the list lost, leaving rows out of reach on a shorter screen and
// an empty band on a taller one.
void DGLEventTable::boundsDidChange(CGRect oldBounds)
{
    UIView::boundsDidChange(oldBounds);
    if (tableView_ && oldBounds.size != bounds().size)
        fitTableView();
}

void DGLEventTable::fitTableView()
{
    CGRect frame = bounds();
    const CGFloat contentHeight = tableView_->contentSize().height;
    const bool rowsFit = contentHeight < frame.size.height;
    if (rowsFit)
        frame.size.height = contentHeight;
    tableView_->setFrame(frame);
    tableView_->setScrollEnabled(!rowsFit);
}

const NSString* DGLEventTable::shownTitle(const DGLEKEVent& event) const
{
    return hidesDetails_ ? event.calendarTitle() : event.title();
}

const NSString* DGLEventTable::shownLocation(const DGLEKEVent& event) const
{
    return displayLocation_ && !hidesDetails_ && hasLocation(event.location()) ? event.location() : nullptr;
}

DGLEKEVent* DGLEventTable::eventAtIndexPath(const NSIndexPath* indexPath) const
{
    if (!calendarEvents_ || !indexPath || indexPath->section() < 0 || indexPath->row() < 0)
        return nullptr;
    const auto section = static_cast<NSUInteger>(indexPath->section());
    const auto row = static_cast<NSUInteger>(indexPath->row());
    if (section >= calendarEvents_->count())
        return nullptr;
    const NSArray* events = dynamicCast<NSArray>(calendarEvents_->objectAtIndex(section));
    if (!events || row >= events->count())
        return nullptr;
    return dynamicCast<DGLEKEVent>(events->objectAtIndex(row));
}

NSInteger DGLEventTable::numberOfSectionsInTableView(UITableView*)
{
    const NSUInteger count = calendarEvents_ ? calendarEvents_->count() : 0;
    NSLog("DGL2: numberOfSectionsInTableView calendarEvents.count=%lu", static_cast<unsigned long>(count));
    return static_cast<NSInteger>(count);
}

NSInteger DGLEventTable::tableViewNumberOfRowsInSection(UITableView*, NSInteger section)
{
    if (!calendarEvents_ || section < 0 || static_cast<NSUInteger>(section) >= calendarEvents_->count())
        return 0;
    const NSArray* events = dynamicCast<NSArray>(calendarEvents_->objectAtIndex(static_cast<NSUInteger>(section)));
    return events ? static_cast<NSInteger>(events->count()) : 0;
}

// Measured afresh for every row, so that settings changed after loading apply
// at the next reload.
CGFloat DGLEventTable::tableViewHeightForRowAtIndexPath(UITableView*, NSIndexPath* indexPath)
{
    const CGFloat title = oneLineHeight(titleStyle_.size);
    const CGFloat subtitle = oneLineHeight(subtitleStyle_.size);
    const DGLEKEVent* event = eventAtIndexPath(indexPath);
    const bool twoLines = displayLocation_ && ((event && shownLocation(*event)) || sameHeightRows_);
    return title + (twoLines ? subtitle : 0) + 2 * rowPadding;
}

CGFloat DGLEventTable::tableViewHeightForHeaderInSection(UITableView*, NSInteger)
{
    return groupByDays_ ? headerHeight : 0;
}

// A missing entry, or one without an icon or a title, gives an empty white
// square or an empty label; the header itself is always there.
Ref<UIView> DGLEventTable::tableViewViewForHeaderInSection(UITableView* tableView, NSInteger section)
{
    const NSDictionary* entry = nullptr;
    if (sectionHeaders_ && section >= 0 && static_cast<NSUInteger>(section) < sectionHeaders_->count())
        entry = dynamicCast<NSDictionary>(sectionHeaders_->objectAtIndex(static_cast<NSUInteger>(section)));
    const CGFloat width = tableView->bounds().size.width;

    auto container = makeRef<UIView>(CGRectMake(0, 0, width, headerHeight));
    container->setBackgroundColor(UIColor::clearColor().get());
    container->addSubview(makeHeaderBackdrop(container->bounds(), sectionHeaderBackgroundColor_.get()).get());
    container->addSubview(makeHeaderIcon(entry ? dynamicCast<UIImage>(entry->objectForKey("icon")) : nullptr).get());

    auto title = makeRef<UILabel>(CGRectMake(headerTitleLeft, headerInset, width, headerTitleHeight));
    title->setTextColor(sectionHeaderTextColor_.get());
    title->setBackgroundColor(UIColor::clearColor().get());
    title->setFont(UIFont::fontWithName("HelveticaNeue", headerTextSize_).get());
    title->setNumberOfLines(1);
    title->setLineBreakMode(NSLineBreakByTruncatingTail);
    const NSString* text = entry ? dynamicCast<NSString>(entry->objectForKey("title")) : nullptr;
    title->setText(text && headerIsUppercase_ ? text->uppercaseString().get() : text);
    container->addSubview(title.get());
    return container;
}

Ref<UITableViewCell> DGLEventTable::tableViewCellForRowAtIndexPath(UITableView* tableView, NSIndexPath* indexPath)
{
    const Ref<NSString> identifier = NSString::string(cellIdentifier);
    Ref<DGLTableViewCell> cell
        = dynamicCast<DGLTableViewCell>(Ref<NSObject>(tableView->dequeueReusableCellWithIdentifier(identifier.get())));
    if (!cell)
        cell = makeRef<DGLTableViewCell>(UITableViewCellStyleDefault, identifier.get());
    const DGLEKEVent* event = eventAtIndexPath(indexPath);
    if (!event)
        return cell;

    cell->lblEventName()->setText(shownTitle(*event));
    const NSString* location = shownLocation(*event);
    cell->setDisplayLocation(location != nullptr);
    cell->lblEventLocation()->setText(location ? location : ""_ns.get());
    cell->lblEventDate()->setText(createPrettyDateFrom(event->startDate(), event->isAllDay()).get());

    cell->setDateIsRightAligned(dateIsRightAligned_);
    cell->setCalendarColor(event->calendarColor());
    cell->setTitleStyle(titleStyle_);
    cell->setSubtitleStyle(subtitleStyle_);
    cell->setDateStyle(dateStyle_);
    cell->setTitleColorSameAsCalendarColor(titleColorSameAsCalendarColor_);

    // The swipe handler finds the row's event again from this tag.
    cell->scrollView()->setDelegate(this);
    cell->scrollView()->setTag(tagForRow(indexPath->section(), indexPath->row()));

    showIcon(*cell, *event, iconType_);
    return cell;
}
