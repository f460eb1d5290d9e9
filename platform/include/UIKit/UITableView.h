// UITableView, plain style: rows in sections under headers that stay at the top
// while their section scrolls past, with the data source and delegate as
// abstract classes.
//
// reloadData asks for every section's row count and every height, so that the
// content size is known at once; the layout pass then makes cells only for the
// rows inside the bounds, handing rows that scrolled out to a reuse pool per
// identifier, and asks for header views as their sections come into view.
#pragma once

#include <UIKit/NSIndexPath.h>
#include <UIKit/UIScrollView.h>
#include <UIKit/UITableViewCell.h>
#include <platform/Export.h>

#include <map>
#include <string>
#include <vector>

class UITableView;

enum UITableViewStyle : NSInteger {
    UITableViewStylePlain = 0,
    UITableViewStyleGrouped = 1,
};

class PLATFORM_EXPORT UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;
    virtual NSInteger numberOfSectionsInTableView(UITableView*) { return 1; }
    // tableView:numberOfRowsInSection:
    virtual NSInteger tableViewNumberOfRowsInSection(UITableView* tableView, NSInteger section) = 0;
    // tableView:cellForRowAtIndexPath:
    virtual Ref<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView* tableView, NSIndexPath* indexPath) = 0;
};

// A table's delegate is also the delegate of the table as a scroll view.
class PLATFORM_EXPORT UITableViewDelegate : public virtual UIScrollViewDelegate {
public:
    // tableView:heightForRowAtIndexPath:; the table's rowHeight unless overridden.
    virtual CGFloat tableViewHeightForRowAtIndexPath(UITableView* tableView, NSIndexPath* indexPath);
    // tableView:heightForHeaderInSection:; the table's sectionHeaderHeight unless overridden.
    virtual CGFloat tableViewHeightForHeaderInSection(UITableView* tableView, NSInteger section);
    // tableView:viewForHeaderInSection:; none unless overridden.
    virtual Ref<UIView> tableViewViewForHeaderInSection(UITableView*, NSInteger) { return nullptr; }
};

class PLATFORM_EXPORT UITableView : public objc::Subclass<UITableView, UIScrollView> {
public:
    static Class classObject();

    // initWithFrame:style:
    explicit UITableView(CGRect frame = CGRectZero, UITableViewStyle style = UITableViewStylePlain);
    ~UITableView() override;

    UITableViewStyle style() const { return style_; }

    // Weak, as in UIKit. Setting the delegate sets the scroll delegate too.
    UITableViewDataSource* dataSource() const { return dataSource_.get(); }
    void setDataSource(UITableViewDataSource* dataSource) { dataSource_ = dataSource; }
    UITableViewDelegate* delegate() const { return tableDelegate_.get(); }
    void setDelegate(UITableViewDelegate* delegate);

    // registerClass:forCellReuseIdentifier:. The class must be UITableViewCell or
    // a subclass of it.
    void registerClassForCellReuseIdentifier(Class cellClass, const NSString* identifier);
    // A cell from the reuse pool (prepareForReuse already called), else a new one
    // of the registered class, else nil.
    Ref<UITableViewCell> dequeueReusableCellWithIdentifier(const NSString* identifier);

    // Forgets every cell and header on screen (cells go to the reuse pool) and
    // asks the data source and delegate again.
    void reloadData();

    NSInteger numberOfSections() const { return static_cast<NSInteger>(sections_.size()); }
    NSInteger numberOfRowsInSection(NSInteger section) const;
    CGRect rectForRowAtIndexPath(const NSIndexPath* indexPath) const;
    // Where the header sits in the content, before floating.
    CGRect rectForHeaderInSection(NSInteger section) const;
    // The cell on screen for the row, or nil.
    UITableViewCell* cellForRowAtIndexPath(const NSIndexPath* indexPath) const;
    // The cells on screen, in row order.
    std::vector<UITableViewCell*> visibleCells() const;
    std::vector<Ref<NSIndexPath>> indexPathsForVisibleRows() const;
    // The header view on screen for the section, or nil.
    UIView* headerViewForSection(NSInteger section) const;

    // 44 and 0 until set.
    CGFloat rowHeight() const { return rowHeight_; }
    void setRowHeight(CGFloat height) { rowHeight_ = height; }
    CGFloat sectionHeaderHeight() const { return sectionHeaderHeight_; }
    void setSectionHeaderHeight(CGFloat height) { sectionHeaderHeight_ = height; }

    // Views above the first section and below the last, as wide as the table.
    UIView* tableHeaderView() const { return tableHeaderView_.get(); }
    void setTableHeaderView(UIView* view);
    UIView* tableFooterView() const { return tableFooterView_.get(); }
    void setTableFooterView(UIView* view);

    UITableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(UITableViewCellSeparatorStyle style);
    UIColor* separatorColor() const { return separatorColor_.get(); }
    void setSeparatorColor(UIColor* color);
    // Fills the bounds behind the content and does not scroll.
    UIView* backgroundView() const { return backgroundView_.get(); }
    void setBackgroundView(UIView* view);

    void layoutSubviews() override;

private:
    struct SectionGeometry {
        CGFloat top = 0;
        CGFloat headerHeight = 0;
        std::vector<CGFloat> rowTops;
        std::vector<CGFloat> rowHeights;
        CGFloat bottom() const;
    };
    using RowKey = std::pair<NSInteger, NSInteger>;

    void measure();
    void placeTableViews();
    void tileCells(CGRect visible);
    void tileHeaders(CGRect visible);
    void enqueue(Ref<UITableViewCell> cell);
    void replaceChrome(Ref<UIView>& slot, UIView* view);

    UITableViewStyle style_;
    WeakProtocolRef<UITableViewDataSource> dataSource_;
    WeakProtocolRef<UITableViewDelegate> tableDelegate_;
    std::map<std::string, Class> registeredClasses_;
    std::map<std::string, std::vector<Ref<UITableViewCell>>> reusePool_;

    bool loaded_ = false;
    std::vector<SectionGeometry> sections_;
    CGFloat sectionsBottom_ = 0;
    std::map<RowKey, Ref<UITableViewCell>> visibleCells_;
    std::map<NSInteger, Ref<UIView>> visibleHeaders_;

    CGFloat rowHeight_ = 44;
    CGFloat sectionHeaderHeight_ = 0;
    Ref<UIView> tableHeaderView_;
    Ref<UIView> tableFooterView_;
    UITableViewCellSeparatorStyle separatorStyle_ = UITableViewCellSeparatorStyleSingleLine;
    Ref<UIColor> separatorColor_;
    Ref<UIView> backgroundView_;
};
