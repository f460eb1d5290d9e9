#include "SimulationGestures.h"

#include <UIKit/NSIndexPath.h>
#include <UIKit/UIScreen.h>
#include <UIKit/UITableView.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace simulation {
namespace {

// The list's inner table view: the event table's one table subview.
UITableView* innerTable(UIView* eventTable)
{
    for (const Ref<UIView>& subview : eventTable->subviews())
        if (auto* table = dynamicCast<UITableView>(subview.get()))
            return table;
    throw std::runtime_error("the event list has no table");
}

// The first scroll view inside the view, depth first.
UIScrollView* scrollViewIn(UIView* view)
{
    for (const Ref<UIView>& subview : view->subviews()) {
        if (auto* scrollView = dynamicCast<UIScrollView>(subview.get()))
            return scrollView;
        if (UIScrollView* found = scrollViewIn(subview.get()))
            return found;
    }
    return nullptr;
}

std::string rowName(int section, int row)
{
    return "row " + std::to_string(row) + " of section " + std::to_string(section);
}

// The part of `a` inside `b`; empty when they do not overlap.
CGRect intersection(CGRect a, CGRect b)
{
    const CGFloat left = std::max(CGRectGetMinX(a), CGRectGetMinX(b));
    const CGFloat top = std::max(CGRectGetMinY(a), CGRectGetMinY(b));
    return CGRectMake(left, top, std::min(CGRectGetMaxX(a), CGRectGetMaxX(b)) - left,
        std::min(CGRectGetMaxY(a), CGRectGetMaxY(b)) - top);
}

// Whether any of the view shows on the screen: its bounds, cut by every
// ancestor that clips, overlap the screen.
bool isOnScreen(const UIView& view)
{
    CGRect shown = view.convertRectToView(view.bounds(), nullptr);
    for (const UIView* ancestor = view.superview(); ancestor; ancestor = ancestor->superview())
        if (ancestor->clipsToBounds())
            shown = intersection(shown, ancestor->convertRectToView(ancestor->bounds(), nullptr));
    return !CGRectIsEmpty(intersection(shown, UIScreen::mainScreen()->bounds()));
}

} // namespace

std::optional<Finger> Finger::touch(UIScrollView* view)
{
    if (!view || !view->beginDragging())
        return std::nullopt;
    return Finger(view);
}

Finger::Finger(UIScrollView* view)
    : view_(view)
{
}

void Finger::moveTo(CGPoint travel)
{
    view_->dragBy(CGPointMake(travel.x - travel_.x, travel.y - travel_.y));
    travel_ = travel;
}

CGPoint Finger::lift()
{
    const CGPoint offset = view_->contentOffset();
    view_->endDragging();
    return offset;
}

UIScrollView* rowScrollView(UIView* eventTable, int section, int row)
{
    UITableView* table = innerTable(eventTable);
    table->layoutIfNeeded();
    if (section >= table->numberOfSections() || row >= table->numberOfRowsInSection(section))
        throw std::runtime_error("the list has no " + rowName(section, row));
    UITableViewCell* cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, section).get());
    if (!cell || !isOnScreen(*cell))
        throw std::runtime_error(rowName(section, row) + " is not on screen; drag-table to bring it there");
    if (UIScrollView* scrollView = scrollViewIn(cell))
        return scrollView;
    throw std::runtime_error(rowName(section, row) + " cannot be pulled");
}

CGPoint pullTravel(UIScrollView& row, double distance)
{
    const CGFloat width = row.bounds().size.width;
    const CGFloat travel = UIScrollView::rubberBandOvershoot(distance, width);
    if (!std::isfinite(travel)) {
        char reason[128];
        std::snprintf(reason, sizeof reason, "a row %g points wide gives way by less than %g points", width, distance);
        throw std::runtime_error(reason);
    }
    return CGPointMake(travel, 0);
}

UIScrollView* listScrollView(UIView* eventTable)
{
    UITableView* table = innerTable(eventTable);
    if (table->isScrollEnabled())
        return table;
    for (UIView* ancestor = eventTable->superview(); ancestor; ancestor = ancestor->superview())
        if (auto* scrollView = dynamicCast<UIScrollView>(ancestor); scrollView && scrollView->isScrollEnabled())
            return scrollView;
    return nullptr;
}

} // namespace simulation
