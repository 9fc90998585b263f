// The manager on a real table: reuse identifiers and the interface-file road, loading once and
// refreshing on every display, section heights, deleting, moving, menus, string rows, index
// titles, missing pairs, indexes past the end, the status bar's scroll to the top and zooming.
#include <filesystem>
#include <fstream>

#include "form_test_support.h"
#include "settings/form/form_table_view_text_cell.h"
#include "settings/form/form_text_item.h"

namespace {

struct ManagerTest : FormHarness {};

// An item class nobody registered a cell for.
struct StrayItem : FormTableViewItem {
    KORVA_MAKE(StrayItem)
    std::string className() const override { return "StrayItem"; }
};

// An outer delegate with its own say on going to the top and on zooming.
struct ScrollingDelegate : RecordingFormDelegate {
    std::optional<bool> toTop;
    std::shared_ptr<UIView> zooming;
    std::optional<bool> scrollViewShouldScrollToTop(UIScrollView&) override {
        events.push_back("shouldTop");
        return toTop;
    }
    void scrollViewDidScrollToTop(UIScrollView&) override { events.push_back("didTop"); }
    std::shared_ptr<UIView> viewForZoomingInScrollView(UIScrollView&) override { return zooming; }
    void scrollViewDidZoom(UIScrollView&) override { events.push_back("didZoom"); }
};

std::shared_ptr<FormTableViewItem> titled(const std::string& t) {
    return FormTableViewItem::itemWithTitle(t);
}

TEST_F(ManagerTest, ReuseIdentifiersFollowItemClassAndStyleUnlessTheItemNamesOne) {
    auto plain = titled("Plain");
    auto styled = titled("Styled");
    styled->style = UITableViewCellStyle::Value1;
    auto named = titled("Named");
    named->cellIdentifier = "mine";
    auto text = FormTextItem::itemWithTitle("Text", "v");
    addSection({plain, styled, named, text, std::string("just a string")});
    reload();
    EXPECT_EQ(cellAt(0, 0)->reuseIdentifier(), "FormTableViewManager_FormTableViewItem_0");
    EXPECT_EQ(cellAt(0, 1)->reuseIdentifier(), "FormTableViewManager_FormTableViewItem_1");
    EXPECT_EQ(cellAt(0, 2)->reuseIdentifier(), "mine");
    EXPECT_EQ(cellAt(0, 3)->reuseIdentifier(), "FormTableViewManager_FormTextItem_0");
    EXPECT_NE(cellAt<FormTableViewTextCell>(0, 3), nullptr);
    EXPECT_EQ(cellAt(0, 4)->reuseIdentifier(), "FormTableViewManager_NSString_0");
    EXPECT_EQ(*cellAt(0, 4)->textLabel()->text(), "just a string");
    EXPECT_EQ(cellAt(0, 4)->selectionStyle(), UITableViewCellSelectionStyle::None);
}

TEST_F(ManagerTest, InterfaceFileCellsAreMadeUnloadedAndLoadedByTheManager) {
    namespace fs = std::filesystem;
    auto root = fs::temp_directory_path() / ("korva-form-nib-" + std::to_string(::getpid()));
    fs::create_directories(root);
    std::ofstream(root / "FormTableViewTextCell.nib") << "nib";
    manager->registerClass("FormTextItem", "FormTableViewTextCell", NSBundle::bundleWithPath(root.string()));
    EXPECT_EQ(manager->registeredXIBs().at("FormTableViewTextCell"), "FormTextItem");
    auto fromFile = FormTextItem::itemWithTitle("A", "1");
    auto named = FormTextItem::itemWithTitle("B", "2");
    named->cellIdentifier = "own";
    addSection({fromFile, named});
    reload();
    auto cell = cellAt<FormTableViewTextCell>(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->reuseIdentifier(), "FormTextItem");
    EXPECT_TRUE(cell->loaded());
    EXPECT_EQ(cellAt(0, 1)->reuseIdentifier(), "own");
    EXPECT_EQ(outer->events, (std::vector<std::string>{})) << "the delegate said it answers no load question";
    fs::remove_all(root);
}

TEST_F(ManagerTest, ACellIsLoadedOnceAndRefreshedOnEveryDisplay) {
    outer->answered = {FormDelegateQuestion::WillLoadCell, FormDelegateQuestion::DidLoadCell};
    std::vector<FormItem> rows;
    for (int i = 0; i < 60; ++i) rows.push_back(titled("Row " + std::to_string(i)));
    addSection(rows);
    reload();
    ASSERT_GE(outer->events.size(), 2u);
    EXPECT_EQ(outer->events[0], "willLoad 0");
    EXPECT_EQ(outer->events[1], "didLoad 0 loaded");
    std::size_t loadsOnFirstScreen = outer->events.size();
    for (CGFloat y : {600.0, 1200.0, 2000.0, 0.0}) {
        table->setContentOffset({0, y}, false);
        window->layoutIfNeeded();
    }
    EXPECT_LE(outer->events.size(), loadsOnFirstScreen + 6) << "scrolled rows reuse loaded cells";
    for (auto path : table->indexPathsForVisibleRows()) {
        auto cell = cellAt(path.section, path.row);
        EXPECT_EQ(*cell->textLabel()->text(), "Row " + std::to_string(path.row));
        EXPECT_EQ(cell->rowIndex(), static_cast<long>(path.row));
    }
}

TEST_F(ManagerTest, SectionHeightsChainDownToAutomaticDimension) {
    auto fixed = addSection({titled("a")});
    fixed->headerHeight = 12;
    auto viewed = addSection({titled("b")});
    viewed->headerView = UIView::make(CGRectMake(0, 0, 100, 57));
    auto titledSection = addSection({titled("c")});
    titledSection->headerTitle = "A header";
    titledSection->footerTitle = "A footer that is long enough to wrap over more than one line of the table";
    auto bare = addSection({titled("d")});
    (void)bare;
    EXPECT_EQ(manager->heightForHeaderInSection(*table, 0), 12);
    EXPECT_EQ(manager->heightForHeaderInSection(*table, 1), 57);
    CGFloat header = manager->heightForHeaderInSection(*table, 2);
    CGFloat footer = manager->heightForFooterInSection(*table, 2);
    EXPECT_GT(header, 20);
    EXPECT_LT(header, 60);
    EXPECT_GT(footer, 10 + 2 * 12) << "two lines of footnote text";
    EXPECT_EQ(manager->heightForHeaderInSection(*table, 3), UITableViewAutomaticDimension);
    outer->answered = {FormDelegateQuestion::HeightForHeader};
    EXPECT_EQ(manager->heightForHeaderInSection(*table, 3), 33);
    EXPECT_EQ(manager->heightForHeaderInSection(*table, 99), UITableViewAutomaticDimension);
}

TEST_F(ManagerTest, DeletingWithACompletionKeepsTheRowUntilItRuns) {
    std::function<void()> finish;
    auto doomed = titled("Doomed");
    doomed->editingStyle = UITableViewCellEditingStyle::Delete;
    doomed->deletionHandlerWithCompletion = [&](FormTableViewItem&, std::function<void()> done) { finish = done; };
    int plainDeletes = 0;
    doomed->deletionHandler = [&](FormTableViewItem&) { ++plainDeletes; };
    addSection({titled("Top"), doomed, titled("Next"), titled("Last")});
    reload();
    ASSERT_TRUE(table->commitEditingForRowAtIndexPath({0, 1}));
    EXPECT_EQ(manager->sections()[0]->items().size(), 4u);
    EXPECT_EQ(table->numberOfRowsInSection(0), 4u);
    ASSERT_TRUE(finish);
    finish();
    finish();  // a second call changes nothing
    window->layoutIfNeeded();
    EXPECT_EQ(plainDeletes, 0);
    ASSERT_EQ(manager->sections()[0]->items().size(), 3u);
    EXPECT_EQ(table->numberOfRowsInSection(0), 3u);
    auto next = cellAt(0, 1);
    EXPECT_EQ(*next->textLabel()->text(), "Next");
    EXPECT_EQ(next->rowIndex(), 1);
    EXPECT_EQ(cellAt(0, 2)->rowIndex(), 2);
}

TEST_F(ManagerTest, MovingAsksTheItemsHandlerAndReportsTheMove) {
    auto mover = titled("Mover");
    bool allow = false;
    std::vector<std::string> log;
    mover->moveHandler = [&](FormTableViewItem&, NSIndexPath, NSIndexPath to) {
        log.push_back("ask " + std::to_string(to.row));
        return allow;
    };
    mover->moveCompletionHandler = [&](FormTableViewItem&, NSIndexPath from, NSIndexPath to) {
        log.push_back("moved " + std::to_string(from.row) + ">" + std::to_string(to.row));
    };
    addSection({mover, titled("b"), titled("c")});
    reload();
    EXPECT_TRUE(manager->canEditRowAtIndexPath(*table, {0, 0})) << "movable rows can be edited even without a style";
    EXPECT_FALSE(manager->canMoveRowAtIndexPath(*table, {0, 1}));
    EXPECT_EQ(table->moveRowByUser({0, 0}, {0, 2}), (std::optional<NSIndexPath>{NSIndexPath{0, 0}}));
    EXPECT_EQ(formItemObject(manager->sections()[0]->items()[0]), mover);
    allow = true;
    EXPECT_EQ(table->moveRowByUser({0, 0}, {0, 2}), (std::optional<NSIndexPath>{NSIndexPath{0, 2}}));
    EXPECT_EQ(formItemObject(manager->sections()[0]->items()[2]), mover);
    EXPECT_EQ(log, (std::vector<std::string>{"ask 2", "ask 2", "moved 0>2"}));
}

TEST_F(ManagerTest, MenusNeedCopyOrPasteAndRunTheMatchingHandler) {
    std::vector<std::string> log;
    auto cutOnly = titled("cut");
    cutOnly->cutHandler = [&](FormTableViewItem&) { log.push_back("cut"); };
    auto copier = titled("copy");
    copier->copyHandler = [&](FormTableViewItem&) { log.push_back("copy"); };
    addSection({cutOnly, copier});
    reload();
    EXPECT_FALSE(table->showMenuForRowAtIndexPath({0, 0}));
    EXPECT_TRUE(manager->canPerformAction(*table, UITableViewMenuAction::Cut, {0, 0}));
    EXPECT_TRUE(table->showMenuForRowAtIndexPath({0, 1}));
    EXPECT_FALSE(table->performMenuAction(UITableViewMenuAction::Paste, {0, 1}));
    EXPECT_TRUE(table->performMenuAction(UITableViewMenuAction::Copy, {0, 1}));
    EXPECT_EQ(log, (std::vector<std::string>{"copy"}));
}

TEST_F(ManagerTest, SelectionRunsTheItemsHandlerThenTheOuterDelegate) {
    std::vector<std::string> log;
    auto item = titled("Tap");
    item->selectionHandler = [&](FormTableViewItem&) { outer->events.push_back("handler"); };
    addSection({item, std::string("plain")});
    reload();
    table->tapRowAtIndexPath({0, 0});
    table->tapRowAtIndexPath({0, 1});
    EXPECT_EQ(outer->events, (std::vector<std::string>{"handler", "select 0", "select 1"}));
}

TEST_F(ManagerTest, IndexTitlesAreNoneOrOnePerSection) {
    addSection({titled("a")});
    addSection({titled("b")});
    EXPECT_FALSE(manager->sectionIndexTitlesForTableView());
    manager->sections()[1]->indexTitle = "B";
    EXPECT_EQ(manager->sectionIndexTitlesForTableView(), (std::optional<std::vector<std::string>>{{"", "B"}}));
}

TEST_F(ManagerTest, UnpairedItemsShowAPlainRowAndPathsPastTheEndAnswerQuietly) {
    addSection({StrayItem::make()});
    manager->sections()[0]->items();
    formItemObject(manager->sections()[0]->items()[0])->title = "Stray";
    reload();
    auto cell = cellAt(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(*cell->textLabel()->text(), "Stray");
    EXPECT_EQ(manager->numberOfRowsInSection(*table, 5), 0u);
    EXPECT_FALSE(manager->titleForHeaderInSection(*table, 5));
    EXPECT_FALSE(manager->canEditRowAtIndexPath(*table, {5, 0}));
    EXPECT_FALSE(manager->canEditRowAtIndexPath(*table, {0, 5}));
    EXPECT_EQ(manager->estimatedHeightForRowAtIndexPath(*table, {5, 0}), UITableViewAutomaticDimension);
    EXPECT_EQ(manager->viewForHeaderInSection(*table, 5), nullptr);
    EXPECT_EQ(manager->titleForDeleteConfirmationButtonForRowAtIndexPath(*table, {0, 0}), "Delete");
}

TEST_F(ManagerTest, TheOuterDelegateHasItsSayOnGoingToTheTopAndZooming) {
    auto scrolling = std::make_shared<ScrollingDelegate>();
    manager->setDelegate(scrolling);
    std::vector<FormItem> rows(40, std::string("row"));
    addSection(rows);
    reload();
    auto tapStatusBarAt = [&](CGFloat y) {
        table->setContentOffset({0, y});
        UIApplication::sharedApplication()->statusBarTapped();
        advance(1);
        return table->contentOffset().y;
    };
    scrolling->toTop = false;
    EXPECT_EQ(tapStatusBarAt(400), 400);
    scrolling->toTop.reset();
    EXPECT_EQ(tapStatusBarAt(400), 0);

    scrolling->zooming = UIView::make(CGRectMake(0, 0, 320, 100));
    table->addSubview(scrolling->zooming);
    table->setMaximumZoomScale(2);
    table->setZoomScale(2);
    EXPECT_EQ(scrolling->zooming->frame().size.height, 200);
    EXPECT_EQ(scrolling->events, (std::vector<std::string>{"shouldTop", "shouldTop", "didTop", "didZoom"}));
}

TEST_F(ManagerTest, ErrorsCollectTheFirstOfEveryFailingItemInDisplayOrder) {
    EXPECT_FALSE(manager->errors());
    auto name = FormTextItem::itemWithTitle("Name", "");
    name->validators = {std::string("presence"), std::string("length(2,5)")};
    auto mail = FormTextItem::itemWithTitle("Mail", "nope");
    mail->validators = {std::string("email")};
    auto fine = FormTextItem::itemWithTitle("Fine", "ok");
    addSection({name, titled("plain")});
    addSection({fine, mail});
    auto errors = manager->errors();
    ASSERT_TRUE(errors);
    ASSERT_EQ(errors->size(), 2u);
    EXPECT_EQ((*errors)[0]->localizedDescription(), "Name can't be blank.");
    EXPECT_EQ((*errors)[1]->localizedDescription(), "Mail is not a valid email.");
}

}  // namespace
