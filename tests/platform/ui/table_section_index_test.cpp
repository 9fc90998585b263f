// The table's side index strip: titles from the data source at the right edge, taps and drags
// over them scrolling to the section the data source names.
#include "controller_test_support.h"
#include "platform/ui/table/ui_table_view.h"

namespace {

struct Letters : UITableViewDataSource {
    std::vector<std::string> titles{"A", "B", "C", "D", "E", "#"};
    std::vector<std::string> asked;
    std::size_t numberOfSectionsInTableView(UITableView&) override { return 5; }
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return 10; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        return t.dequeueReusableCellWithIdentifier("c", p);
    }
    std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t s) override {
        return std::string(1, char('A' + s));
    }
    std::vector<std::string> sectionIndexTitles(UITableView&) override { return titles; }
    // "#" leads nowhere the table has.
    long sectionForSectionIndexTitle(UITableView&, const std::string& title, std::size_t index) override {
        asked.push_back(title);
        return title == "#" ? 9 : long(index);
    }
};

struct SectionIndexTest : UIHarness {
    std::shared_ptr<Letters> data = std::make_shared<Letters>();
    std::shared_ptr<UITableView> table;
    void SetUp() override {
        UIHarness::SetUp();
        table = UITableView::make(CGRectMake(0, 0, 320, 400));
        table->registerClass<UITableViewCell>("c");
        window->addSubview(table);
        table->setDataSource(data);
        table->layoutIfNeeded();
    }
    // The window point of a title's middle.
    CGPoint titlePoint(std::size_t index) {
        auto strip = table->sectionIndexView();
        CGRect f = strip->subviews()[index]->frame();
        return strip->convertPointToView(CGPointMake(CGRectGetMidX(f), CGRectGetMidY(f)), window);
    }
};

}  // namespace

TEST_F(SectionIndexTest, TheStripStandsAtTheRightEdgeOfTheVisibleArea) {
    auto strip = table->sectionIndexView();
    EXPECT_FALSE(strip->isHidden());
    EXPECT_EQ(strip->superview(), table);
    EXPECT_EQ(strip->titles(), data->titles);
    EXPECT_EQ(strip->frame(), CGRectMake(320 - UITableViewIndex::kWidth, 0, UITableViewIndex::kWidth, 400));
    table->setContentOffset(CGPointMake(0, 150), false);
    table->layoutIfNeeded();
    EXPECT_EQ(strip->frame().origin.y, 150);
    EXPECT_EQ(table->subviews().back(), strip);
}

TEST_F(SectionIndexTest, ATapScrollsToTheNamedSectionAndADragFollowsTheFinger) {
    tap(titlePoint(2));
    EXPECT_EQ(table->contentOffset().y, table->rectForSection(2).origin.y);
    EXPECT_EQ(data->asked, std::vector<std::string>{"C"});

    // A section the table does not have changes nothing.
    tap(titlePoint(5));
    EXPECT_EQ(table->contentOffset().y, table->rectForSection(2).origin.y);

    double t = Clock::now();
    UITouchDispatcher::shared()->touchEvent({t, {{77, titlePoint(0), UITouchPhase::Began}}});
    settle();
    EXPECT_EQ(table->contentOffset().y, 0);
    UITouchDispatcher::shared()->touchEvent({t + 0.05, {{77, titlePoint(1), UITouchPhase::Moved}}});
    settle();
    EXPECT_EQ(table->contentOffset().y, table->rectForSection(1).origin.y);
    UITouchDispatcher::shared()->touchEvent({t + 0.1, {{77, titlePoint(4), UITouchPhase::Moved}}});
    UITouchDispatcher::shared()->touchEvent({t + 0.15, {{77, titlePoint(4), UITouchPhase::Ended}}});
    settle();
    EXPECT_EQ(table->contentOffset().y, std::min(table->rectForSection(4).origin.y, table->contentSize().height - 400));
    EXPECT_EQ(data->asked, (std::vector<std::string>{"C", "#", "A", "B", "E"}));
}

TEST_F(SectionIndexTest, NoTitlesAfterAReloadHidesTheStrip) {
    data->titles.clear();
    table->reloadData();
    table->layoutIfNeeded();
    EXPECT_TRUE(table->sectionIndexView()->isHidden());
    table->selectSectionIndexTitle(0);
    EXPECT_EQ(table->contentOffset().y, 0);
}
