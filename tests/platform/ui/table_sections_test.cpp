// Table sections and rows in more shapes: section updates, reloaded rows asked again, heights and
// views from the delegate, a table header, cell styles, editing and row menus; a horizontal flow
// layout with section headers; a scrolled collection that reuses its cells in place.
#include "controller_test_support.h"
#include "platform/ui/table/ui_collection_view.h"
#include "platform/ui/table/ui_table_view.h"

namespace {

struct Sections : UITableViewDataSource, UITableViewDelegate {
    std::vector<std::size_t> counts{2, 3};
    int asked = 0;
    std::shared_ptr<UIView> header = UIView::make(CGRectMake(0, 0, 100, 50));
    std::vector<std::string> menu;
    std::size_t numberOfSectionsInTableView(UITableView&) override { return counts.size(); }
    std::size_t numberOfRowsInSection(UITableView&, std::size_t s) override { return counts[s]; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        ++asked;
        auto c = t.dequeueReusableCellWithIdentifier("c", p);
        c->textLabel()->setText(std::to_string(p.section) + "." + std::to_string(p.row) + "#" + std::to_string(asked));
        return c;
    }
    CGFloat heightForRowAtIndexPath(UITableView&, NSIndexPath p) override {
        return p.section == 0 ? 60 : UITableViewAutomaticDimension;
    }
    std::shared_ptr<UIView> viewForHeaderInSection(UITableView&, std::size_t s) override {
        return s == 0 ? header : nullptr;
    }
    bool shouldShowMenuForRowAtIndexPath(UITableView&, NSIndexPath p) override { return p.row == 0; }
    bool canPerformAction(UITableView&, UITableViewMenuAction a, NSIndexPath) override {
        return a == UITableViewMenuAction::Copy;
    }
    void performAction(UITableView&, UITableViewMenuAction, NSIndexPath p) override {
        menu.push_back("copy " + std::to_string(p.section));
    }
};

struct SectionsTest : UIHarness {
    std::shared_ptr<Sections> data = std::make_shared<Sections>();
    std::shared_ptr<UITableView> table;
    void SetUp() override {
        UIHarness::SetUp();
        table = UITableView::make(CGRectMake(0, 0, 320, 600), UITableViewStyle::Grouped);
        table->registerClass<UITableViewCell>("c");
        window->addSubview(table);
        table->setDataSource(data);
        table->setDelegate(data);
        table->layoutIfNeeded();
    }
};

TEST_F(SectionsTest, DelegateHeightsHeaderViewsAndTheTableHeaderPlaceRows) {
    // Section 0: a 50-point header view, two 60-point rows, an 18-point footer.
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}), CGRectMake(0, 50 + 60, 320, 60));
    EXPECT_EQ(table->rectForHeaderInSection(1).origin.y, 50 + 120 + 18);
    EXPECT_EQ(table->headerViewForSection(0), data->header);
    auto banner = UIView::make(CGRectMake(0, 0, 320, 100));
    table->setTableHeaderView(banner);
    table->layoutIfNeeded();
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 0}).origin.y, 150);
    EXPECT_EQ(banner->frame().origin.y, 0);
}

TEST_F(SectionsTest, SectionInsertsAndDeletesMoveWholeSections) {
    auto lastRow = table->cellForRowAtIndexPath({1, 2});
    ASSERT_NE(lastRow, nullptr);
    data->counts.insert(data->counts.begin(), 1);
    table->insertSections({0}, UITableViewRowAnimation::Automatic);
    EXPECT_EQ(table->numberOfSections(), 3u);
    EXPECT_EQ(table->cellForRowAtIndexPath({2, 2}), lastRow);
    data->counts.erase(data->counts.begin() + 1);
    table->deleteSections({1}, UITableViewRowAnimation::Automatic);
    EXPECT_EQ(table->cellForRowAtIndexPath({1, 2}), lastRow);
    EXPECT_EQ(table->numberOfRowsInSection(0), 1u);
}

TEST_F(SectionsTest, ReloadedRowsAreAskedForAgainAndOthersAreNot) {
    auto kept = table->cellForRowAtIndexPath({0, 0});
    std::string before = *table->cellForRowAtIndexPath({0, 1})->textLabel()->text();
    int asked = data->asked;
    table->reloadRowsAtIndexPaths({{0, 1}}, UITableViewRowAnimation::None);
    EXPECT_EQ(data->asked, asked + 1);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0}), kept);
    EXPECT_NE(*table->cellForRowAtIndexPath({0, 1})->textLabel()->text(), before);
}

TEST_F(SectionsTest, EditingReachesCellsAndMenusAskTheDelegate) {
    table->setEditing(true, false);
    EXPECT_TRUE(table->cellForRowAtIndexPath({1, 0})->isEditing());
    // Rows that come into view later are editing too.
    data->counts[1] = 4;
    table->insertRowsAtIndexPaths({{1, 3}}, UITableViewRowAnimation::Automatic);
    EXPECT_TRUE(table->cellForRowAtIndexPath({1, 3})->isEditing());
    EXPECT_FALSE(table->tapRowAtIndexPath({1, 0}));
    table->setAllowsSelectionDuringEditing(true);
    EXPECT_TRUE(table->tapRowAtIndexPath({1, 0}));
    table->setEditing(false, false);
    EXPECT_FALSE(table->cellForRowAtIndexPath({1, 3})->isEditing());

    EXPECT_TRUE(table->performMenuAction(UITableViewMenuAction::Copy, {1, 0}));
    EXPECT_FALSE(table->performMenuAction(UITableViewMenuAction::Paste, {1, 0}));
    EXPECT_FALSE(table->performMenuAction(UITableViewMenuAction::Copy, {1, 1}));
    EXPECT_EQ(data->menu, (std::vector<std::string>{"copy 1"}));
}

TEST_F(SectionsTest, CellStylesLayOutTheirLabels) {
    auto value1 = UITableViewCell::make(UITableViewCellStyle::Value1, "v");
    value1->setFrame(CGRectMake(0, 0, 320, 44));
    value1->textLabel()->setText("Size");
    value1->detailTextLabel()->setText("Large");
    value1->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    value1->layoutIfNeeded();
    CGRect title = value1->textLabel()->frame(), detail = value1->detailTextLabel()->frame();
    EXPECT_EQ(title.origin.x, 15);
    EXPECT_LT(CGRectGetMaxX(title), detail.origin.x);
    EXPECT_LE(CGRectGetMaxX(detail), value1->contentView()->bounds().size.width);
    EXPECT_LT(value1->contentView()->frame().size.width, 320);

    auto subtitle = UITableViewCell::make(UITableViewCellStyle::Subtitle, "s");
    subtitle->setFrame(CGRectMake(0, 0, 320, 60));
    subtitle->textLabel()->setText("Title");
    subtitle->detailTextLabel()->setText("More");
    subtitle->layoutIfNeeded();
    EXPECT_LT(subtitle->textLabel()->frame().origin.y, subtitle->detailTextLabel()->frame().origin.y);
    subtitle->setSelected(true, false);
    subtitle->prepareForReuse();
    EXPECT_FALSE(subtitle->isSelected());
}

struct Shelves : UICollectionViewDataSource {
    std::size_t numberOfSectionsInCollectionView(UICollectionView&) override { return 2; }
    std::size_t numberOfItemsInSection(UICollectionView&, std::size_t) override { return 5; }
    std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView& v, NSIndexPath p) override {
        return v.dequeueReusableCellWithReuseIdentifier("unregistered", p);
    }
    std::shared_ptr<UICollectionReusableView> viewForSupplementaryElement(UICollectionView& v, const std::string& kind,
                                                                          NSIndexPath p) override {
        return v.dequeueReusableSupplementaryView(kind, "header", p);
    }
};

TEST_F(SectionsTest, HorizontalFlowFillsColumnsWithHeadersBetweenSections) {
    auto layout = UICollectionViewFlowLayout::make();
    layout->scrollDirection = UICollectionViewScrollDirection::Horizontal;
    layout->itemSize = CGSize{50, 50};
    layout->minimumLineSpacing = 0;
    layout->minimumInteritemSpacing = 0;
    layout->headerReferenceSize = CGSize{20, 0};
    auto view = UICollectionView::make(CGRectMake(0, 0, 300, 100), layout);
    auto shelves = std::make_shared<Shelves>();
    view->setDataSource(shelves);
    window->addSubview(view);
    // Two items per column: section 0 takes three columns after its 20-point header.
    EXPECT_EQ(view->layoutAttributesForItemAtIndexPath({0, 1})->frame, CGRectMake(20, 50, 50, 50));
    EXPECT_EQ(view->layoutAttributesForItemAtIndexPath({0, 4})->frame, CGRectMake(120, 0, 50, 50));
    EXPECT_EQ(view->layoutAttributesForItemAtIndexPath({1, 0})->frame.origin.x, 20 + 150 + 20);
    EXPECT_EQ(view->contentSize().width, 2 * (20 + 150));
    EXPECT_FALSE(view->layoutAttributesForItemAtIndexPath({2, 0}).has_value());
    // Unregistered identifiers still give cells.
    EXPECT_FALSE(view->visibleCells().empty());
    EXPECT_EQ(view->indexPathForItemAtPoint(CGPointMake(25, 60)), (NSIndexPath{0, 1}));
}

// A cell that counts its moves in and out of a view tree (each one makes the window's
// constraints be solved again).
int cellMoves = 0;
struct CountingCell : UICollectionViewCell {
    KORVA_MAKE(CountingCell)
    void didMoveToSuperview() override {
        UICollectionViewCell::didMoveToSuperview();
        ++cellMoves;
    }

protected:
    explicit CountingCell(std::string identifier = {}) : UICollectionViewCell(std::move(identifier)) {}
};

struct ManyItems : UICollectionViewDataSource {
    std::size_t numberOfItemsInSection(UICollectionView&, std::size_t) override { return 400; }
    std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView& v, NSIndexPath p) override {
        return v.dequeueReusableCellWithReuseIdentifier("cell", p);
    }
};

// Scrolling reuses cells in place: rows coming and going do not take cells out of the view tree
// and put them back, which would make the window's constraints be solved again at every row.
TEST_F(SectionsTest, ScrollingACollectionReusesCellsInPlace) {
    auto layout = UICollectionViewFlowLayout::make();
    layout->itemSize = CGSize{50, 50};
    auto view = UICollectionView::make(CGRectMake(0, 0, 300, 400), layout);
    view->registerClass<CountingCell>("cell");
    auto items = std::make_shared<ManyItems>();
    view->setDataSource(items);
    window->addSubview(view);
    window->layoutIfNeeded();
    view->setContentOffset({0, 100}, false);
    window->layoutIfNeeded();
    const int warm = cellMoves;
    for (int step = 2; step <= 40; ++step) {
        view->setContentOffset({0, step * 37.0}, false);
        window->layoutIfNeeded();
    }
    EXPECT_EQ(cellMoves, warm) << "cells moved in and out while scrolling";
    for (const auto& cell : view->visibleCells()) EXPECT_FALSE(cell->isHidden());
    const std::size_t shown = view->visibleCells().size();
    std::size_t hidden = 0;
    for (const auto& sub : view->subviews()) hidden += sub->isHidden() ? 1 : 0;
    EXPECT_EQ(view->subviews().size() - hidden, shown) << "the waiting cells are hidden";
}

}  // namespace
