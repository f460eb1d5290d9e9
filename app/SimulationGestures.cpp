#include "SimulationGestures.h"

#include <UIKit/NSIndexPath.h>
#include <UIKit/UITableView.h>

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

UIScrollView* rowScrollView(UIView* eventTable, int section, int row)
{
    UITableView* table = innerTable(eventTable);
    table->layoutIfNeeded();
    if (section >= table->numberOfSections() || row >= table->numberOfRowsInSection(section))
        throw std::runtime_error("the list has no " + rowName(section, row));
    UITableViewCell* cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, section).get());
    if (!cell)
        throw std::runtime_error(rowName(section, row) + " is not on screen; drag-table to bring it there");
    if (UIScrollView* scrollView = scrollViewIn(cell))
        return scrollView;
    throw std::runtime_error(rowName(section, row) + " cannot be pulled");
}

// Lets go, answering where the content was when the finger left it.
CGPoint release(UIScrollView& view)
{
    const CGPoint offset = view.contentOffset();
    view.endDragging();
    return offset;
}

} // namespace

CGPoint pullRow(UIView* eventTable, int section, int row, double distance)
{
    UIScrollView* view = rowScrollView(eventTable, section, row);
    const CGFloat width = view->bounds().size.width;
    const CGFloat travel = UIScrollView::rubberBandOvershoot(distance, width);
    if (!std::isfinite(travel)) {
        char reason[128];
        std::snprintf(reason, sizeof reason, "a row %g points wide gives way by less than %g points", width, distance);
        throw std::runtime_error(reason);
    }
    if (!view->beginDragging())
        throw std::runtime_error(rowName(section, row) + " does not move");
    view->dragBy(CGPointMake(travel, 0));
    return release(*view);
}

std::optional<CGPoint> dragList(UIView* eventTable, double distance)
{
    UITableView* table = innerTable(eventTable);
    if (!table->beginDragging())
        return std::nullopt;
    table->dragBy(CGPointMake(0, distance));
    return release(*table);
}

} // namespace simulation
