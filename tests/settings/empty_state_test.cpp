// The placeholder over empty lists: when it shows and hides around reloads, what it stacks and
// where, and where taps on it go.
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/table/list_reload_hooks.h"
#include "platform/ui/table/ui_collection_view.h"
#include "platform/ui/table/ui_table_view.h"
#include "platform/ui/text/attributed_string.h"
#include "settings/empty/empty_state_view.h"
#include "settings/empty/scroll_view_empty_state.h"
#include "settings/lists/list_texts.h"
#include "tests/platform/ui/controller_test_support.h"

namespace {
struct Rows : UITableViewDataSource {
    std::size_t rows = 0;
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return rows; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        return t.dequeueReusableCellWithIdentifier("c", p);
    }
};

struct Owner : EmptyStateSource, EmptyStateDelegate {
    std::string title, description, buttonTitle;
    bool forced = false;
    std::vector<std::string> events;
    std::shared_ptr<NSAttributedString> titleForEmptyState(UIScrollView&) override {
        return title.empty() ? nullptr : NSAttributedString::make(title);
    }
    std::shared_ptr<NSAttributedString> descriptionForEmptyState(UIScrollView&) override {
        return description.empty() ? nullptr : listPlaceholderText(description);
    }
    std::shared_ptr<NSAttributedString> buttonTitleForEmptyState(UIScrollView&, UIControlState) override {
        return buttonTitle.empty() ? nullptr : NSAttributedString::make(buttonTitle);
    }
    bool emptyStateShouldBeForcedToDisplay(UIScrollView&) override { return forced; }
    void emptyStateDidTapView(UIScrollView&, UIView&) override { events.push_back("tap view"); }
    void emptyStateDidTapButton(UIScrollView&, UIButton&) override { events.push_back("tap button"); }
    void emptyStateWillAppear(UIScrollView&) override { events.push_back("will appear"); }
    void emptyStateDidDisappear(UIScrollView&) override { events.push_back("did disappear"); }
};

struct TableTaps : UITableViewDelegate {
    int taps = 0;
    void didSelectRowAtIndexPath(UITableView&, NSIndexPath) override { ++taps; }
};
}  // namespace

struct EmptyState : UIHarness {
    void SetUp() override {
        UIHarness::SetUp();
        table = UITableView::make(CGRectMake(0, 0, 320, 400));
        table->registerClass<UITableViewCell>("c");
        window->addSubview(table);
        table->setDataSource(rows);
        owner->description = "No Items";
        setEmptyStateSource(*table, owner);
        setEmptyStateDelegate(*table, owner);
    }
    void reload() {
        table->reloadData();
        window->layoutIfNeeded();
    }
    std::shared_ptr<UITableView> table;
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
    std::shared_ptr<Owner> owner = std::make_shared<Owner>();
};

TEST_F(EmptyState, ShowsOverAnEmptyListAndHidesWhenRowsCome) {
    reload();
    ASSERT_TRUE(isEmptyStateVisible(*table));
    EXPECT_FALSE(table->isScrollEnabled()) << "no scrolling while shown, by default";
    auto view = emptyStateView(*table);
    EXPECT_EQ(view->superview(), table);

    rows->rows = 3;
    reload();
    EXPECT_FALSE(isEmptyStateVisible(*table));
    EXPECT_TRUE(table->isScrollEnabled());
    EXPECT_EQ(owner->events, (std::vector<std::string>{"will appear", "did disappear"}));

    // endUpdates decides too.
    rows->rows = 0;
    table->beginUpdates();
    table->endUpdates();
    EXPECT_TRUE(isEmptyStateVisible(*table));

    owner->forced = true;
    rows->rows = 2;
    reload();
    EXPECT_TRUE(isEmptyStateVisible(*table)) << "forced to show over rows";
}

TEST_F(EmptyState, ListsWithoutRowsToCountShowIt) {
    table->setDataSource(nullptr);
    reload();
    EXPECT_TRUE(isEmptyStateVisible(*table)) << "no data source counts 0 rows";

    auto plain = UIScrollView::make(CGRectMake(0, 0, 320, 400));
    window->addSubview(plain);
    EXPECT_EQ(emptyStateItemsCount(*plain), 0u);
    setEmptyStateSource(*plain, owner);
    reloadEmptyState(*plain);
    EXPECT_TRUE(isEmptyStateVisible(*plain)) << "a plain scroll view always counts 0";

    struct Items : UICollectionViewDataSource {
        std::size_t numberOfItemsInSection(UICollectionView&, std::size_t) override { return 4; }
        std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView& c, NSIndexPath p) override {
            return c.dequeueReusableCellWithReuseIdentifier("i", p);
        }
    };
    auto items = std::make_shared<Items>();
    auto collection = UICollectionView::make(CGRectMake(0, 0, 320, 400));
    collection->setDataSource(items);
    setEmptyStateSource(*collection, owner);
    collection->reloadData();
    EXPECT_EQ(emptyStateItemsCount(*collection), 4u);
    EXPECT_FALSE(isEmptyStateVisible(*collection));
}

TEST_F(EmptyState, AReleasedOrRemovedOwnerDoesNothing) {
    reload();
    ASSERT_TRUE(isEmptyStateVisible(*table));
    setEmptyStateDelegate(*table, nullptr);
    EXPECT_FALSE(isEmptyStateVisible(*table)) << "no delegate hides it";

    owner.reset();
    rows->rows = 0;
    reload();
    EXPECT_FALSE(isEmptyStateVisible(*table)) << "the source is gone: nothing happens";
    EXPECT_EQ(emptyStateSource(*table), nullptr);
}

TEST_F(EmptyState, ADescriptionAloneIsTheCentredDetailLabel) {
    reload();
    auto view = emptyStateView(*table);
    EXPECT_FALSE(view->hasTitleLabel());
    EXPECT_FALSE(view->hasImageView());
    EXPECT_FALSE(view->hasButton());
    ASSERT_TRUE(view->hasDetailLabel());
    auto detail = view->detailLabel();
    EXPECT_EQ(detail->attributedText()->string(), "No Items");
    EXPECT_EQ(detail->font()->pointSize(), EmptyStateView::kDetailFontSize);
    EXPECT_EQ(detail->accessibilityIdentifier(), "empty set detail label");
    // Side margins of 20 on 320 points, the label centred in the list.
    CGRect frame = detail->convertRectToView(detail->bounds(), table);
    EXPECT_NEAR(frame.origin.x, 20, 0.5);
    EXPECT_NEAR(frame.origin.x + frame.size.width, 300, 0.5);
    EXPECT_NEAR(frame.origin.y + frame.size.height / 2, table->contentOffset().y + 200, 1);
}

TEST_F(EmptyState, StackedPiecesAreElevenPointsApart) {
    owner->title = "Nothing here";
    owner->buttonTitle = "Reload";
    reload();
    auto view = emptyStateView(*table);
    ASSERT_TRUE(view->hasTitleLabel() && view->hasDetailLabel() && view->hasButton());
    CGRect title = view->titleLabel()->frame();
    CGRect detail = view->detailLabel()->frame();
    CGRect button = view->button()->frame();
    EXPECT_NEAR(detail.origin.y - (title.origin.y + title.size.height), 11, 0.5);
    EXPECT_NEAR(button.origin.y - (detail.origin.y + detail.size.height), 11, 0.5);
    EXPECT_EQ(view->titleLabel()->font()->pointSize(), EmptyStateView::kTitleFontSize);
}

TEST_F(EmptyState, TapsOnTheLabelReachTheListAndTheButtonReachesTheDelegateNextTurn) {
    auto taps = std::make_shared<TableTaps>();
    table->setDelegate(taps);
    owner->buttonTitle = "Reload";
    reload();
    auto view = emptyStateView(*table);
    CGRect detail = view->detailLabel()->convertRectToView(view->detailLabel()->bounds(), nullptr);
    CGPoint onLabel{detail.origin.x + detail.size.width / 2, detail.origin.y + detail.size.height / 2};
    EXPECT_NE(window->hitTest(onLabel), view->detailLabel());
    EXPECT_EQ(window->hitTest(onLabel), table) << "the label lets the touch through to the list";

    view->didTapButton(*view->button());
    EXPECT_TRUE(std::find(owner->events.begin(), owner->events.end(), "tap button") == owner->events.end())
        << "not before the next run-loop turn";
    RunLoop::main().runUntilIdle();
    EXPECT_FALSE(std::find(owner->events.begin(), owner->events.end(), "tap button") == owner->events.end());
}

TEST_F(EmptyState, TheReloadHookIsInstalledOncePerKind) {
    EXPECT_TRUE(ListReloadHooks::isInstalled(ListKind::Table, ListOperation::ReloadData));
    EXPECT_TRUE(ListReloadHooks::isInstalled(ListKind::Table, ListOperation::EndUpdates));
    EXPECT_TRUE(ListReloadHooks::isInstalled(ListKind::Collection, ListOperation::ReloadData));
    auto other = UITableView::make(CGRectMake(0, 0, 100, 100));
    setEmptyStateSource(*other, owner);
    EXPECT_FALSE(ListReloadHooks::install(ListKind::Table, ListOperation::ReloadData, [](UIScrollView&) {}));
}
