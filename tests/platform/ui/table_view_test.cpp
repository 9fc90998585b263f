// Table view: reuse while scrolling, geometry with headers, selection through the delegate,
// row updates that carry cells and selection along, bad updates, editing and moving rows; the
// collection view's flow layout and reuse.
#include "controller_test_support.h"
#include "platform/ui/table/ui_collection_view.h"
#include "platform/ui/table/ui_table_view.h"

namespace {

// Sections of titled rows, editable in place.
struct Rows : UITableViewDataSource, UITableViewDelegate {
    std::vector<std::vector<std::string>> sections{{}};
    int made = 0;
    std::vector<std::string> events;
    std::optional<NSIndexPath> redirect;
    bool refuse = false;
    std::size_t numberOfSectionsInTableView(UITableView&) override { return sections.size(); }
    std::size_t numberOfRowsInSection(UITableView&, std::size_t s) override { return sections[s].size(); }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        auto cell = t.dequeueReusableCellWithIdentifier("row", p);
        cell->textLabel()->setText(sections[p.section][p.row]);
        return cell;
    }
    std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t s) override {
        return "Section " + std::to_string(s);
    }
    bool canMoveRowAtIndexPath(UITableView&, NSIndexPath) override { return true; }
    void moveRowAtIndexPath(UITableView&, NSIndexPath from, NSIndexPath to) override {
        auto item = sections[from.section][from.row];
        sections[from.section].erase(sections[from.section].begin() + static_cast<long>(from.row));
        sections[to.section].insert(sections[to.section].begin() + static_cast<long>(to.row), item);
    }
    void commitEditingStyle(UITableView& t, UITableViewCellEditingStyle style, NSIndexPath p) override {
        if (style != UITableViewCellEditingStyle::Delete) return;
        sections[p.section].erase(sections[p.section].begin() + static_cast<long>(p.row));
        t.deleteRowsAtIndexPaths({p}, UITableViewRowAnimation::Automatic);
    }
    std::optional<NSIndexPath> willSelectRowAtIndexPath(UITableView&, NSIndexPath p) override {
        if (refuse) return std::nullopt;
        return redirect ? *redirect : p;
    }
    void didSelectRowAtIndexPath(UITableView&, NSIndexPath p) override {
        events.push_back("select " + std::to_string(p.section) + "." + std::to_string(p.row));
    }
    void didDeselectRowAtIndexPath(UITableView&, NSIndexPath p) override {
        events.push_back("deselect " + std::to_string(p.section) + "." + std::to_string(p.row));
    }
};

struct TableTest : UIHarness {
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
    std::shared_ptr<UITableView> table;
    int made = 0;
    void SetUp() override {
        UIHarness::SetUp();
        table = UITableView::make(CGRectMake(0, 0, 320, 440));
        table->registerCell("row", [this](const std::string& id) {
            ++made;
            return UITableViewCell::make(UITableViewCellStyle::Default, id);
        });
        window->addSubview(table);
    }
    void fill(std::size_t section, int n) {
        while (rows->sections.size() <= section) rows->sections.emplace_back();
        for (int i = 0; i < n; ++i) rows->sections[section].push_back("r" + std::to_string(i));
    }
    void connect() {
        table->setDataSource(rows);
        table->setDelegate(rows);
        table->layoutIfNeeded();
    }
};

TEST_F(TableTest, ScrollingRecyclesCellsInsteadOfMakingNewOnes) {
    fill(0, 100);
    connect();
    // 440 points: a 28-point header and 10 rows of 44 (the last one partly).
    EXPECT_EQ(table->visibleCells().size(), 10u);
    int afterFirstScreen = made;
    EXPECT_EQ(afterFirstScreen, 10);
    table->setContentOffset(CGPointMake(0, 2000));
    table->setContentOffset(CGPointMake(0, 3000));
    EXPECT_LE(made, afterFirstScreen + 2);
    auto first = table->indexPathsForVisibleRows().front();
    EXPECT_EQ(table->cellForRowAtIndexPath(first)->textLabel()->text(), rows->sections[0][first.row]);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0}), nullptr);
    EXPECT_EQ(table->contentSize().height, 28 + 100 * 44);
}

TEST_F(TableTest, GeometryCountsHeadersAndRows) {
    fill(0, 2);
    fill(1, 3);
    connect();
    EXPECT_EQ(table->numberOfSections(), 2u);
    EXPECT_EQ(table->numberOfRowsInSection(1), 3u);
    EXPECT_EQ(table->numberOfRowsInSection(9), 0u);
    EXPECT_EQ(table->rectForRowAtIndexPath({1, 0}), CGRectMake(0, 28 + 88 + 28, 320, 44));
    EXPECT_EQ(table->rectForRowAtIndexPath({1, 3}), CGRectZero);
    EXPECT_EQ(table->indexPathForRowAtPoint(CGPointMake(10, 28 + 88 + 28 + 50)), (NSIndexPath{1, 1}));
    EXPECT_FALSE(table->indexPathForRowAtPoint(CGPointMake(10, 5)).has_value());
    auto header = std::dynamic_pointer_cast<UITableViewHeaderFooterView>(table->headerViewForSection(1));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->textLabel()->text(), "Section 1");
}

TEST_F(TableTest, TapsSelectThroughTheDelegateWhichMayRedirectOrRefuse) {
    fill(0, 5);
    connect();
    EXPECT_TRUE(table->tapRowAtIndexPath({0, 1}));
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 1})->isSelected());
    EXPECT_TRUE(table->tapRowAtIndexPath({0, 2}));
    EXPECT_EQ(rows->events, (std::vector<std::string>{"select 0.1", "deselect 0.1", "select 0.2"}));
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 1})->isSelected());
    rows->redirect = NSIndexPath{0, 4};
    EXPECT_TRUE(table->tapRowAtIndexPath({0, 0}));
    EXPECT_EQ(table->indexPathForSelectedRow(), (NSIndexPath{0, 4}));
    rows->redirect.reset();
    rows->refuse = true;
    EXPECT_FALSE(table->tapRowAtIndexPath({0, 0}));
    EXPECT_FALSE(table->tapRowAtIndexPath({3, 0}));
    EXPECT_EQ(table->indexPathForSelectedRow(), (NSIndexPath{0, 4}));
    table->setAllowsSelection(false);
    rows->refuse = false;
    EXPECT_FALSE(table->tapRowAtIndexPath({0, 0}));
}

TEST_F(TableTest, DeletingARowMovesTheCellsAndSelectionBelowItUp) {
    fill(0, 5);
    connect();
    table->selectRowAtIndexPath(NSIndexPath{0, 3}, false, UITableViewScrollPosition::None);
    auto third = table->cellForRowAtIndexPath({0, 2});
    auto fourth = table->cellForRowAtIndexPath({0, 3});
    // Deleting through the edit control: the data source commits and updates the table.
    ASSERT_TRUE(table->commitEditingForRowAtIndexPath({0, 1}));
    EXPECT_EQ(table->numberOfRowsInSection(0), 4u);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1}), third);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2}), fourth);
    EXPECT_EQ(table->indexPathForSelectedRow(), (NSIndexPath{0, 2}));
    EXPECT_EQ(fourth->frame(), table->rectForRowAtIndexPath({0, 2}));

    rows->sections[0].insert(rows->sections[0].begin(), "new");
    table->insertRowsAtIndexPaths({{0, 0}}, UITableViewRowAnimation::Automatic);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2}), third);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->textLabel()->text(), "new");
    EXPECT_EQ(table->indexPathForSelectedRow(), (NSIndexPath{0, 3}));
}

TEST_F(TableTest, BatchedUpdatesUseOldPathsForDeletesAndNewPathsForInserts) {
    fill(0, 4);
    connect();
    auto r3 = table->cellForRowAtIndexPath({0, 3});
    rows->sections[0] = {"r1", "x", "r3"};  // r0 and r2 deleted, x inserted at 1
    table->performBatchUpdates([&] {
        table->deleteRowsAtIndexPaths({{0, 0}, {0, 2}}, UITableViewRowAnimation::Fade);
        table->insertRowsAtIndexPaths({{0, 1}}, UITableViewRowAnimation::Fade);
    });
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2}), r3);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->textLabel()->text(), "x");
}

TEST_F(TableTest, AnUpdateThatDoesNotMatchTheDataReloadsInsteadOfFailing) {
    fill(0, 3);
    connect();
    table->selectRowAtIndexPath(NSIndexPath{0, 0}, false, UITableViewScrollPosition::None);
    rows->sections[0].push_back("extra");
    // Claims a deletion although a row was added.
    table->deleteRowsAtIndexPaths({{0, 0}}, UITableViewRowAnimation::Automatic);
    EXPECT_EQ(table->numberOfRowsInSection(0), 4u);
    EXPECT_EQ(table->visibleCells().size(), 4u);
    EXPECT_FALSE(table->indexPathForSelectedRow().has_value());
    // Paths outside the table are no better.
    table->reloadRowsAtIndexPaths({{5, 5}}, UITableViewRowAnimation::None);
    EXPECT_EQ(table->numberOfRowsInSection(0), 4u);
}

TEST_F(TableTest, UserMovesFollowTheDataSourceAndStayInRange) {
    fill(0, 3);
    fill(1, 2);
    connect();
    auto moved = table->moveRowByUser({0, 0}, {1, 9});
    ASSERT_TRUE(moved.has_value());
    EXPECT_EQ(*moved, (NSIndexPath{1, 2}));
    EXPECT_EQ(rows->sections[1].back(), "r0");
    EXPECT_EQ(table->numberOfRowsInSection(0), 2u);
    EXPECT_EQ(table->cellForRowAtIndexPath({1, 2})->textLabel()->text(), "r0");
    EXPECT_FALSE(table->moveRowByUser({7, 0}, {0, 0}).has_value());
}

struct Tiles : UICollectionViewDataSource, UICollectionViewDelegate {
    std::size_t count = 0;
    std::vector<NSIndexPath> selected;
    std::size_t numberOfItemsInSection(UICollectionView&, std::size_t) override { return count; }
    std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView& v, NSIndexPath p) override {
        return v.dequeueReusableCellWithReuseIdentifier("tile", p);
    }
    void didSelectItemAtIndexPath(UICollectionView&, NSIndexPath p) override { selected.push_back(p); }
};

TEST_F(TableTest, FlowLayoutWrapsItemsAndTheCollectionReusesCells) {
    auto layout = UICollectionViewFlowLayout::make();
    layout->itemSize = CGSize{100, 100};
    layout->minimumInteritemSpacing = 10;
    layout->minimumLineSpacing = 10;
    layout->sectionInset = UIEdgeInsetsMake(5, 0, 5, 0);
    auto view = UICollectionView::make(CGRectMake(0, 0, 320, 400), layout);
    int made = 0;
    view->registerCell("tile", [&](const std::string& id) {
        ++made;
        return UICollectionViewCell::make(id);
    });
    auto tiles = std::make_shared<Tiles>();
    tiles->count = 30;
    view->setDataSource(tiles);
    view->setDelegate(tiles);
    window->addSubview(view);
    // Three to a row (3 * 100 + 2 * 10 = 320), ten rows.
    EXPECT_EQ(view->layoutAttributesForItemAtIndexPath({0, 3})->frame, CGRectMake(0, 115, 100, 100));
    EXPECT_EQ(view->contentSize().height, 5 + 10 * 100 + 9 * 10 + 5);
    EXPECT_EQ(view->visibleCells().size(), 12u);
    view->setContentOffset(CGPointMake(0, 700));
    EXPECT_LE(made, 15);
    EXPECT_TRUE(view->tapItemAtIndexPath({0, 28}));
    EXPECT_EQ(tiles->selected, (std::vector<NSIndexPath>{{0, 28}}));
    tiles->count = 2;
    view->performBatchUpdates(nullptr);
    EXPECT_TRUE(view->indexPathsForSelectedItems().empty());
    EXPECT_FALSE(view->tapItemAtIndexPath({0, 28}));
}

// Hears every scroll event a table's or collection's delegate can hear.
template <class Base>
struct ScrollEars : Base {
    std::vector<std::string> heard;
    std::function<void()> onScroll;
    void scrollViewDidScroll(UIScrollView&) override {
        heard.push_back("scroll");
        if (onScroll) onScroll();
    }
    void scrollViewWillBeginDragging(UIScrollView&) override { heard.push_back("willDrag"); }
    void scrollViewWillEndDragging(UIScrollView&, CGPoint, CGPoint*) override { heard.push_back("willEndDrag"); }
    void scrollViewDidEndDragging(UIScrollView&, bool) override { heard.push_back("endDrag"); }
    void scrollViewWillBeginDecelerating(UIScrollView&) override { heard.push_back("decel"); }
    void scrollViewDidEndDecelerating(UIScrollView&) override { heard.push_back("endDecel"); }
    void scrollViewDidEndScrollingAnimation(UIScrollView&) override { heard.push_back("endAnimation"); }
};

// The seven events, sent the way the scroll view sends them: to its own delegate.
void sendEveryScrollEvent(UIScrollView& scroll) {
    auto relay = scroll.delegate();
    ASSERT_TRUE(relay);
    CGPoint target{0, 0};
    relay->scrollViewWillBeginDragging(scroll);
    relay->scrollViewDidScroll(scroll);
    relay->scrollViewWillEndDragging(scroll, {0, 2}, &target);
    relay->scrollViewDidEndDragging(scroll, true);
    relay->scrollViewWillBeginDecelerating(scroll);
    relay->scrollViewDidEndDecelerating(scroll);
    relay->scrollViewDidEndScrollingAnimation(scroll);
}

const std::vector<std::string> kEveryScrollEvent{"willDrag", "scroll",   "willEndDrag", "endDrag",
                                                 "decel",    "endDecel", "endAnimation"};

TEST_F(TableTest, TablesAndCollectionsPassEveryScrollEventOnAfterRetiling) {
    fill(0, 60);
    connect();
    auto tableEars = std::make_shared<ScrollEars<UITableViewDelegate>>();
    table->setDelegate(tableEars);
    // By the time the delegate hears of a new offset, the rows there are already on screen.
    tableEars->onScroll = [&] { EXPECT_FALSE(table->cellForRowAtIndexPath({0, 40}) == nullptr); };
    table->UIScrollView::setContentOffset(CGPointMake(0, 40 * 44));
    tableEars->heard.clear();
    sendEveryScrollEvent(*table);
    EXPECT_EQ(tableEars->heard, kEveryScrollEvent);

    auto layout = UICollectionViewFlowLayout::make();
    layout->itemSize = CGSize{100, 100};
    auto view = UICollectionView::make(CGRectMake(0, 0, 320, 400), layout);
    view->registerCell("tile", [](const std::string& id) { return UICollectionViewCell::make(id); });
    auto tiles = std::make_shared<Tiles>();
    tiles->count = 60;
    view->setDataSource(tiles);
    window->addSubview(view);
    auto ears = std::make_shared<ScrollEars<UICollectionViewDelegate>>();
    view->setDelegate(ears);
    sendEveryScrollEvent(*view);
    EXPECT_EQ(ears->heard, kEveryScrollEvent);
    // A delegate that has gone away hears nothing and stops nothing.
    ears.reset();
    sendEveryScrollEvent(*view);
}

}  // namespace

namespace {

// Rows with editing styles by row: 0 delete, 1 insert, 2 none; every row can move.
struct EditableRows : Rows {
    std::vector<std::string> log;
    UITableViewCellEditingStyle editingStyleForRowAtIndexPath(UITableView&, NSIndexPath p) override {
        return p.row == 0   ? UITableViewCellEditingStyle::Delete
               : p.row == 1 ? UITableViewCellEditingStyle::Insert
                            : UITableViewCellEditingStyle::None;
    }
    std::string titleForDeleteConfirmationButtonForRowAtIndexPath(UITableView&, NSIndexPath) override {
        return "Remove";
    }
    void commitEditingStyle(UITableView& t, UITableViewCellEditingStyle style, NSIndexPath p) override {
        log.push_back(style == UITableViewCellEditingStyle::Insert ? "insert" : "delete");
        Rows::commitEditingStyle(t, style, p);
    }
};

struct EditingControlsTest : UIHarness {};

TEST_F(EditingControlsTest, ControlsConfirmationAndGripFollowTheEditingState) {
    auto rows = std::make_shared<EditableRows>();
    rows->sections = {{"a", "b", "c"}};
    auto table = UITableView::make(CGRectMake(0, 0, 320, 300));
    table->registerCell("row",
                        [](const std::string& id) { return UITableViewCell::make(UITableViewCellStyle::Default, id); });
    table->setDataSource(rows);
    table->setDelegate(rows);
    window->addSubview(table);
    window->layoutIfNeeded();
    auto cell0 = table->cellForRowAtIndexPath({0, 0});
    EXPECT_EQ(cell0->editingControlStyle(), UITableViewCellEditingStyle::None);
    EXPECT_FALSE(table->tapEditingControlForRowAtIndexPath({0, 0})) << "no controls outside editing";
    table->setEditing(true, false);
    EXPECT_EQ(cell0->editingControlStyle(), UITableViewCellEditingStyle::Delete);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->editingControlStyle(), UITableViewCellEditingStyle::Insert);
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 2})->showsReorderControl());
    EXPECT_FALSE(table->tapEditingControlForRowAtIndexPath({0, 2}));

    // Insert commits at once; delete asks for confirmation first.
    EXPECT_TRUE(table->tapEditingControlForRowAtIndexPath({0, 1}));
    EXPECT_EQ(rows->log, (std::vector<std::string>{"insert"}));
    tap(cell0->convertPointToView({10, 22}, nullptr));
    EXPECT_EQ(cell0->deleteConfirmationTitle(), std::optional<std::string>("Remove"));
    EXPECT_EQ(rows->log.size(), 1u);
    CGRect button = cell0->deleteConfirmationRect();
    tap(cell0->convertPointToView({CGRectGetMidX(button), 22}, nullptr));
    EXPECT_EQ(rows->log, (std::vector<std::string>{"insert", "delete"}));
    EXPECT_EQ(rows->sections[0], (std::vector<std::string>{"b", "c"}));

    // The grip moves rows through moveRowByUser; leaving editing takes every control away.
    EXPECT_EQ(table->moveRowByUser({0, 1}, {0, 0}), (std::optional<NSIndexPath>{NSIndexPath{0, 0}}));
    EXPECT_EQ(rows->sections[0], (std::vector<std::string>{"c", "b"}));
    table->setEditing(false, false);
    for (auto& c : table->visibleCells()) {
        EXPECT_EQ(c->editingControlStyle(), UITableViewCellEditingStyle::None);
        EXPECT_FALSE(c->showsReorderControl());
    }
}

}  // namespace
