#include "ImagePixels.h"

#include <UIKit/UILabel.h>
#include <UIKit/UITableView.h>
#include <UIKit/UIViewLayoutDump.h>
#include <objc/message.h>

#include <RuntimeGuards.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A cell with one label, cleared on reuse like a real row would be.
class TextCell : public objc::Subclass<TextCell, UITableViewCell> {
public:
    static Class classObject() { return objc::registeredClass<TextCell>("TestTextCell"); }
    TextCell() { contentView()->addSubview(label.get()); }
    void prepareForReuse() override
    {
        UITableViewCell::prepareForReuse();
        ++reuses;
        label->setText("");
    }
    void layoutSubviews() override
    {
        UITableViewCell::layoutSubviews();
        label->setFrame(contentView()->bounds());
    }
    Ref<UILabel> label = makeRef<UILabel>();
    int reuses = 0;
};

// Sections of rows named "s.r", with chosen row and header heights.
class Source : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    explicit Source(std::vector<int> rowsPerSection)
        : rows(std::move(rowsPerSection))
    {
    }

    NSInteger numberOfSectionsInTableView(UITableView*) override { return static_cast<NSInteger>(rows.size()); }
    NSInteger tableViewNumberOfRowsInSection(UITableView*, NSInteger section) override
    {
        return rows[static_cast<std::size_t>(section)];
    }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView* table, NSIndexPath* path) override
    {
        ++cellRequests;
        Ref<UITableViewCell> cell = table->dequeueReusableCellWithIdentifier("Text"_ns.get());
        auto* text = dynamicCast<TextCell>(cell.get());
        if (text && configure)
            text->label->setText(std::to_string(path->section()) + "." + std::to_string(path->row()));
        return cell;
    }
    CGFloat tableViewHeightForRowAtIndexPath(UITableView*, NSIndexPath* path) override
    {
        return path->row() % 2 ? 30 : 20;
    }
    CGFloat tableViewHeightForHeaderInSection(UITableView*, NSInteger) override { return headerHeight; }
    Ref<UIView> tableViewViewForHeaderInSection(UITableView*, NSInteger section) override
    {
        ++headerRequests;
        auto header = makeRef<UIView>();
        header->setTag(100 + section);
        return header;
    }

    std::vector<int> rows;
    CGFloat headerHeight = 10;
    bool configure = true;
    int cellRequests = 0;
    int headerRequests = 0;
};

Ref<UITableView> makeTable(Source& source, CGFloat height)
{
    auto table = makeRef<UITableView>(CGRectMake(0, 0, 200, height), UITableViewStylePlain);
    table->registerClassForCellReuseIdentifier(TextCell::classObject(), "Text"_ns.get());
    table->setDataSource(&source);
    table->setDelegate(&source);
    return table;
}

std::vector<std::string> visibleTexts(UITableView& table)
{
    std::vector<std::string> texts;
    for (UITableViewCell* cell : table.visibleCells())
        texts.push_back(static_cast<TextCell*>(cell)->label->text()->UTF8String());
    return texts;
}

} // namespace

TEST(TableView, ContentSizeAddsHeadersRowsAndFooter)
{
    Source source({ 2, 3 });
    Ref<UITableView> table = makeTable(source, 500);
    table->setTableFooterView(makeRef<UIView>(CGRectMake(0, 0, 0, 7)).get());
    table->reloadData();
    // Section 0: 10 + 20 + 30; section 1: 10 + 20 + 30 + 20; footer 7.
    EXPECT_EQ(table->contentSize(), CGSizeMake(200, 147));
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 1).get()), CGRectMake(0, 90, 200, 30));
    EXPECT_EQ(table->rectForHeaderInSection(1), CGRectMake(0, 60, 200, 10));
    table->layoutIfNeeded();
    EXPECT_EQ(table->tableFooterView()->frame(), CGRectMake(0, 140, 200, 7));
    EXPECT_EQ(table->numberOfRowsInSection(1), 3);
    EXPECT_EQ(table->numberOfRowsInSection(5), 0);
}

TEST(TableView, DataSourceAndDelegateThatAreGoneLeaveAnEmptyTable)
{
    auto source = makeRef<Source>(std::vector<int> { 3 });
    Ref<UITableView> table = makeTable(*source, 100);
    source = nullptr;
    EXPECT_EQ(table->dataSource(), nullptr);
    EXPECT_EQ(table->delegate(), nullptr);
    table->reloadData();
    table->layoutIfNeeded();
    EXPECT_EQ(table->numberOfSections(), 0);
    EXPECT_TRUE(table->visibleCells().empty());
}

TEST(TableView, MakesCellsOnlyForVisibleRowsAndReusesThemWhileScrolling)
{
    Source source({ 100 });
    source.headerHeight = 0;
    Ref<UITableView> table = makeTable(source, 100);
    table->reloadData();
    EXPECT_EQ(source.cellRequests, 0) << "cells come with the layout pass";
    table->layoutIfNeeded();
    // Rows alternate 20 and 30: 0..20, 20..50, 50..70, 70..100.
    EXPECT_EQ(visibleTexts(*table), (std::vector<std::string> { "0.0", "0.1", "0.2", "0.3" }));

    std::vector<UITableViewCell*> before = table->visibleCells();
    table->setContentOffset(CGPointMake(0, 100));
    table->layoutIfNeeded();
    EXPECT_EQ(visibleTexts(*table), (std::vector<std::string> { "0.4", "0.5", "0.6", "0.7" }));
    std::vector<UITableViewCell*> after = table->visibleCells();
    EXPECT_TRUE(std::is_permutation(before.begin(), before.end(), after.begin())) << "the same four cells, reused";
    EXPECT_EQ(static_cast<TextCell*>(after[0])->reuses, 1);
    EXPECT_EQ(table->subviews().size(), 4u);

    table->setContentOffset(CGPointMake(0, 2400));
    table->layoutIfNeeded();
    EXPECT_EQ(visibleTexts(*table), (std::vector<std::string> { "0.96", "0.97", "0.98", "0.99" }));
    EXPECT_EQ(
        table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(98, 0).get())->frame(), CGRectMake(0, 2450, 200, 20));
}

TEST(TableView, ReusedCellsCarryNoStaleContent)
{
    Source source({ 6 });
    source.headerHeight = 0;
    Ref<UITableView> table = makeTable(source, 50);
    table->layoutIfNeeded();
    source.configure = false; // rows that come in now are not given text
    table->setContentOffset(CGPointMake(0, 100));
    table->layoutIfNeeded();
    for (UITableViewCell* cell : table->visibleCells())
        EXPECT_EQ(static_cast<TextCell*>(cell)->label->text()->UTF8String(), "");
}

TEST(TableView, ReloadDataHandsEveryCellBackAndAsksAgain)
{
    Source source({ 3 });
    Ref<UITableView> table = makeTable(source, 200);
    table->layoutIfNeeded();
    ASSERT_EQ(table->visibleCells().size(), 3u);
    source.rows = { 1 };
    table->reloadData();
    EXPECT_TRUE(table->visibleCells().empty());
    table->layoutIfNeeded();
    EXPECT_EQ(visibleTexts(*table), std::vector<std::string> { "0.0" });
    EXPECT_EQ(static_cast<TextCell*>(table->visibleCells()[0])->reuses, 1);
}

TEST(TableView, HeadersFloatWhileTheirSectionScrollsPast)
{
    Source source({ 4, 4 });
    Ref<UITableView> table = makeTable(source, 60);
    table->layoutIfNeeded();
    ASSERT_NE(table->headerViewForSection(0), nullptr);
    EXPECT_EQ(table->headerViewForSection(0)->tag(), 100);
    EXPECT_EQ(table->headerViewForSection(1), nullptr) << "section 1 starts at 110";

    table->setContentOffset(CGPointMake(0, 40));
    table->layoutIfNeeded();
    EXPECT_EQ(table->headerViewForSection(0)->frame(), CGRectMake(0, 40, 200, 10));

    // Section 0 ends at 110: its header is pushed up by section 1's.
    table->setContentOffset(CGPointMake(0, 105));
    table->layoutIfNeeded();
    EXPECT_EQ(table->headerViewForSection(0)->frame(), CGRectMake(0, 100, 200, 10));
    EXPECT_EQ(table->headerViewForSection(1)->frame(), CGRectMake(0, 110, 200, 10));
    EXPECT_EQ(table->subviews().back()->tag(), 101) << "headers lie above the cells";

    table->setContentOffset(CGPointMake(0, 130));
    table->layoutIfNeeded();
    EXPECT_EQ(table->headerViewForSection(0), nullptr);
    EXPECT_EQ(table->viewWithTag(100), nullptr);
}

TEST(TableView, CellsFromARegisteredClassAreInitialisedThroughTheRuntime)
{
    static int hookedInits;
    hookedInits = 0;
    using InitImp = id (*)(id, SEL, NSInteger, id);
    static IMP original = nullptr;
    Class cls = objc_allocateClassPair(
        TextCell::classObject(), testing_support::uniqueClassName("TestHookedTextCell").c_str(), 0);
    objc_registerClassPair(cls);
    original = class_getMethodImplementation(cls, sel_registerName("initWithStyle:reuseIdentifier:"));
    objc::addMethod(
        cls, "initWithStyle:reuseIdentifier:", +[](id self, SEL sel, NSInteger style, id identifier) {
            ++hookedInits;
            return reinterpret_cast<InitImp>(original)(self, sel, style, identifier);
        });

    auto table = makeRef<UITableView>(CGRectMake(0, 0, 100, 100), UITableViewStylePlain);
    table->registerClassForCellReuseIdentifier(cls, "Hooked"_ns.get());
    Ref<UITableViewCell> cell = table->dequeueReusableCellWithIdentifier("Hooked"_ns.get());
    ASSERT_TRUE(cell);
    EXPECT_EQ(object_getClass(cell.get()), cls);
    EXPECT_EQ(hookedInits, 1);
    EXPECT_EQ(cell->reuseIdentifier()->UTF8String(), "Hooked");
    EXPECT_EQ(table->dequeueReusableCellWithIdentifier("Unknown"_ns.get()), nullptr);
}

TEST(TableView, SeparatorsShortenTheContentViewAndScrollingCanBeSwitchedOff)
{
    Source source({ 1 });
    source.headerHeight = 0;
    Ref<UITableView> table = makeTable(source, 100);
    table->layoutIfNeeded();
    UITableViewCell* cell = table->visibleCells()[0];
    EXPECT_EQ(cell->contentView()->frame(), CGRectMake(0, 0, 200, 19.5));

    table->setSeparatorStyle(UITableViewCellSeparatorStyleNone);
    table->layoutIfNeeded();
    EXPECT_EQ(cell->contentView()->frame(), CGRectMake(0, 0, 200, 20));

    table->setScrollEnabled(false);
    EXPECT_FALSE(table->beginDragging());
    EXPECT_TRUE(table->alwaysBounceVertical());
}

TEST(TableView, LayoutDumpShowsRowsWithTheirText)
{
    Source source({ 2 });
    source.headerHeight = 0;
    Ref<UITableView> table = makeTable(source, 100);
    const UIViewLayoutNode tree = UIViewLayoutTree(table.get());
    ASSERT_EQ(tree.subviews.size(), 2u);
    EXPECT_EQ(tree.className, "UITableView");
    const UIViewLayoutNode& cell = tree.subviews[1].frame.origin.y == 20 ? tree.subviews[1] : tree.subviews[0];
    EXPECT_EQ(cell.className, "TestTextCell");
    EXPECT_EQ(cell.subviews.at(0).subviews.at(0).text, "0.1");
    EXPECT_EQ(cell.subviews.at(0).subviews.at(0).frameInRoot, CGRectMake(0, 20, 200, 29.5));
}
