#include <UIKit/UITableView.h>

#include <objc/message.h>

#include <algorithm>

CGFloat UITableViewDelegate::tableViewHeightForRowAtIndexPath(UITableView* tableView, NSIndexPath*)
{
    return tableView->rowHeight();
}

CGFloat UITableViewDelegate::tableViewHeightForHeaderInSection(UITableView* tableView, NSInteger)
{
    return tableView->sectionHeaderHeight();
}

CGFloat UITableView::SectionGeometry::bottom() const
{
    return rowTops.empty() ? top + headerHeight : rowTops.back() + rowHeights.back();
}

Class UITableView::classObject()
{
    return objc::registeredClass<UITableView>("UITableView");
}

UITableView::UITableView(CGRect frame, UITableViewStyle style)
    : Subclass(frame)
    , style_(style)
    , separatorColor_(UIColor::colorWithRed(200 / 255.0, 199 / 255.0, 204 / 255.0, 1))
{
    setAlwaysBounceVertical(true);
    setBackgroundColor(UIColor::whiteColor().get());
}

UITableView::~UITableView() = default;

void UITableView::setDelegate(UITableViewDelegate* delegate)
{
    tableDelegate_ = delegate;
    UIScrollView::setDelegate(delegate);
}

void UITableView::registerClassForCellReuseIdentifier(Class cellClass, const NSString* identifier)
{
    if (!identifier || !cellClass || !class_isSubclassOf(cellClass, UITableViewCell::classObject()))
        return;
    registeredClasses_[identifier->UTF8String()] = cellClass;
}

Ref<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(const NSString* identifier)
{
    if (!identifier)
        return nullptr;
    const std::string& key = identifier->UTF8String();
    auto& pool = reusePool_[key];
    if (!pool.empty()) {
        Ref<UITableViewCell> cell = std::move(pool.back());
        pool.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    auto registered = registeredClasses_.find(key);
    if (registered == registeredClasses_.end())
        return nullptr;
    auto cell = Ref<UITableViewCell>::adopt(static_cast<UITableViewCell*>(class_createInstance(registered->second, 0)));
    if (cell)
        objc_msgSend<id>(cell.get(), "initWithStyle:reuseIdentifier:", NSInteger { UITableViewCellStyleDefault },
            static_cast<id>(const_cast<NSString*>(identifier)));
    return cell;
}

void UITableView::enqueue(Ref<UITableViewCell> cell)
{
    cell->removeFromSuperview();
    if (cell->reuseIdentifier())
        reusePool_[cell->reuseIdentifier()->UTF8String()].push_back(std::move(cell));
}

void UITableView::reloadData()
{
    for (auto& [key, cell] : visibleCells_)
        enqueue(cell);
    visibleCells_.clear();
    for (auto& [section, header] : visibleHeaders_)
        header->removeFromSuperview();
    visibleHeaders_.clear();
    measure();
    loaded_ = true;
    setNeedsLayout();
}

void UITableView::measure()
{
    sections_.clear();
    CGFloat y = tableHeaderView_ ? tableHeaderView_->frame().size.height : 0;
    const NSInteger count = dataSource_ ? dataSource_->numberOfSectionsInTableView(this) : 0;
    for (NSInteger section = 0; section < count; ++section) {
        SectionGeometry geometry;
        geometry.top = y;
        geometry.headerHeight = std::max<CGFloat>(0,
            tableDelegate_ ? tableDelegate_->tableViewHeightForHeaderInSection(this, section) : sectionHeaderHeight_);
        y += geometry.headerHeight;
        const NSInteger rows = dataSource_->tableViewNumberOfRowsInSection(this, section);
        for (NSInteger row = 0; row < rows; ++row) {
            Ref<NSIndexPath> path = NSIndexPath::indexPathForRow(row, section);
            const CGFloat height = std::max<CGFloat>(
                0, tableDelegate_ ? tableDelegate_->tableViewHeightForRowAtIndexPath(this, path.get()) : rowHeight_);
            geometry.rowTops.push_back(y);
            geometry.rowHeights.push_back(height);
            y += height;
        }
        sections_.push_back(std::move(geometry));
    }
    sectionsBottom_ = y;
    const CGFloat footer = tableFooterView_ ? tableFooterView_->frame().size.height : 0;
    setContentSize(CGSizeMake(bounds().size.width, sectionsBottom_ + footer));
}

NSInteger UITableView::numberOfRowsInSection(NSInteger section) const
{
    if (section < 0 || section >= numberOfSections())
        return 0;
    return static_cast<NSInteger>(sections_[static_cast<std::size_t>(section)].rowTops.size());
}

CGRect UITableView::rectForRowAtIndexPath(const NSIndexPath* indexPath) const
{
    if (!indexPath || indexPath->row() < 0 || indexPath->row() >= numberOfRowsInSection(indexPath->section()))
        return CGRectZero;
    const SectionGeometry& geometry = sections_[static_cast<std::size_t>(indexPath->section())];
    const auto row = static_cast<std::size_t>(indexPath->row());
    return CGRectMake(0, geometry.rowTops[row], bounds().size.width, geometry.rowHeights[row]);
}

CGRect UITableView::rectForHeaderInSection(NSInteger section) const
{
    if (section < 0 || section >= numberOfSections())
        return CGRectZero;
    const SectionGeometry& geometry = sections_[static_cast<std::size_t>(section)];
    return CGRectMake(0, geometry.top, bounds().size.width, geometry.headerHeight);
}

UITableViewCell* UITableView::cellForRowAtIndexPath(const NSIndexPath* indexPath) const
{
    if (!indexPath)
        return nullptr;
    auto found = visibleCells_.find({ indexPath->section(), indexPath->row() });
    return found == visibleCells_.end() ? nullptr : found->second.get();
}

std::vector<UITableViewCell*> UITableView::visibleCells() const
{
    std::vector<UITableViewCell*> cells;
    for (const auto& [key, cell] : visibleCells_)
        cells.push_back(cell.get());
    return cells;
}

std::vector<Ref<NSIndexPath>> UITableView::indexPathsForVisibleRows() const
{
    std::vector<Ref<NSIndexPath>> paths;
    for (const auto& [key, cell] : visibleCells_)
        paths.push_back(NSIndexPath::indexPathForRow(key.second, key.first));
    return paths;
}

UIView* UITableView::headerViewForSection(NSInteger section) const
{
    auto found = visibleHeaders_.find(section);
    return found == visibleHeaders_.end() ? nullptr : found->second.get();
}

void UITableView::replaceChrome(Ref<UIView>& slot, UIView* view)
{
    if (slot.get() == view)
        return;
    if (slot)
        slot->removeFromSuperview();
    slot = view;
    if (loaded_)
        measure();
    setNeedsLayout();
}

void UITableView::setTableHeaderView(UIView* view)
{
    replaceChrome(tableHeaderView_, view);
    if (view)
        addSubview(view);
}

void UITableView::setTableFooterView(UIView* view)
{
    replaceChrome(tableFooterView_, view);
    if (view)
        addSubview(view);
}

void UITableView::setBackgroundView(UIView* view)
{
    replaceChrome(backgroundView_, view);
    if (view)
        insertSubviewAtIndex(view, 0);
}

void UITableView::setSeparatorStyle(UITableViewCellSeparatorStyle style)
{
    if (style == separatorStyle_)
        return;
    separatorStyle_ = style;
    setNeedsLayout();
}

void UITableView::setSeparatorColor(UIColor* color)
{
    separatorColor_ = color;
    setNeedsLayout();
}

void UITableView::layoutSubviews()
{
    UIScrollView::layoutSubviews();
    if (!loaded_)
        reloadData();
    setContentSize(CGSizeMake(bounds().size.width, contentSize().height));
    placeTableViews();
    const CGRect visible = bounds();
    tileCells(visible);
    tileHeaders(visible);
}

void UITableView::placeTableViews()
{
    const CGRect area = bounds();
    if (backgroundView_)
        backgroundView_->setFrame(area);
    if (tableHeaderView_)
        tableHeaderView_->setFrame(CGRectMake(0, 0, area.size.width, tableHeaderView_->frame().size.height));
    if (tableFooterView_)
        tableFooterView_->setFrame(
            CGRectMake(0, sectionsBottom_, area.size.width, tableFooterView_->frame().size.height));
}

namespace {

bool overlaps(CGFloat top, CGFloat height, CGRect visible)
{
    return height > 0 && top < CGRectGetMaxY(visible) && top + height > CGRectGetMinY(visible);
}

} // namespace

void UITableView::tileCells(CGRect visible)
{
    std::vector<RowKey> wanted;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const SectionGeometry& geometry = sections_[s];
        for (std::size_t r = 0; r < geometry.rowTops.size(); ++r) {
            if (overlaps(geometry.rowTops[r], geometry.rowHeights[r], visible))
                wanted.emplace_back(static_cast<NSInteger>(s), static_cast<NSInteger>(r));
        }
    }

    // Rows that left the screen go to the pool first, so that the rows coming
    // in can reuse their cells in this same pass.
    std::map<RowKey, Ref<UITableViewCell>> shown;
    for (auto& [key, cell] : visibleCells_) {
        if (std::binary_search(wanted.begin(), wanted.end(), key))
            shown.emplace(key, cell);
        else
            enqueue(cell);
    }
    visibleCells_.clear();

    UIColor* separator = separatorStyle_ == UITableViewCellSeparatorStyleNone ? nullptr : separatorColor_.get();
    const NSInteger cellIndex = backgroundView_ ? 1 : 0;
    for (const RowKey& key : wanted) {
        auto found = shown.find(key);
        Ref<UITableViewCell> cell = found != shown.end() ? found->second : nullptr;
        if (!cell) {
            Ref<NSIndexPath> path = NSIndexPath::indexPathForRow(key.second, key.first);
            cell = dataSource_ ? dataSource_->tableViewCellForRowAtIndexPath(this, path.get()) : nullptr;
            if (!cell)
                continue;
            insertSubviewAtIndex(cell.get(), cellIndex);
            cell->setNeedsLayout();
        }
        const SectionGeometry& geometry = sections_[static_cast<std::size_t>(key.first)];
        const auto row = static_cast<std::size_t>(key.second);
        cell->setFrame(CGRectMake(0, geometry.rowTops[row], visible.size.width, geometry.rowHeights[row]));
        cell->setSeparatorColor(separator);
        visibleCells_.emplace(key, std::move(cell));
    }
}

void UITableView::tileHeaders(CGRect visible)
{
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const auto section = static_cast<NSInteger>(s);
        const SectionGeometry& geometry = sections_[s];
        // Plain tables keep a header at the top while its section scrolls under it.
        CGFloat top = geometry.top;
        if (style_ == UITableViewStylePlain)
            top = std::max(geometry.top, std::min(CGRectGetMinY(visible), geometry.bottom() - geometry.headerHeight));
        auto found = visibleHeaders_.find(section);
        if (!overlaps(top, geometry.headerHeight, visible)) {
            if (found != visibleHeaders_.end()) {
                found->second->removeFromSuperview();
                visibleHeaders_.erase(found);
            }
            continue;
        }
        if (found == visibleHeaders_.end()) {
            Ref<UIView> header
                = tableDelegate_ ? tableDelegate_->tableViewViewForHeaderInSection(this, section) : nullptr;
            if (!header)
                continue;
            addSubview(header.get());
            found = visibleHeaders_.emplace(section, header).first;
        }
        found->second->setFrame(CGRectMake(0, top, visible.size.width, geometry.headerHeight));
    }
}
