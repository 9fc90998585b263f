// The table controller: its view is a table of its style served by the controller, the selection
// is cleared when it appears again, and editing reaches the table.
#include "controller_test_support.h"
#include "platform/ui/controller/ui_table_view_controller.h"

namespace {

struct Letters : UITableViewController {
    KORVA_MAKE(Letters)
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return 3; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        auto cell = t.dequeueReusableCellWithIdentifier("c", p);
        cell->textLabel()->setText(std::string(1, static_cast<char>('A' + p.row)));
        return cell;
    }

protected:
    using UITableViewController::UITableViewController;
};

struct TableControllerTest : UIHarness {};

TEST_F(TableControllerTest, TheViewIsATableServedByTheController) {
    auto c = Letters::make(UITableViewStyle::Grouped);
    window->setRootViewController(c);
    window->layoutIfNeeded();
    auto table = c->tableView();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->style(), UITableViewStyle::Grouped);
    EXPECT_EQ(table->numberOfRowsInSection(0), 3u);
    EXPECT_EQ(*table->cellForRowAtIndexPath({0, 2})->textLabel()->text(), "C");
    c->setEditing(true, false);
    EXPECT_TRUE(table->isEditing());
    table->selectRowAtIndexPath(NSIndexPath{0, 1}, false, UITableViewScrollPosition::None);
    c->viewWillAppear(false);
    EXPECT_FALSE(table->indexPathForSelectedRow());
    c->setClearsSelectionOnViewWillAppear(false);
    table->selectRowAtIndexPath(NSIndexPath{0, 1}, false, UITableViewScrollPosition::None);
    c->viewWillAppear(false);
    EXPECT_TRUE(table->indexPathForSelectedRow());
}

TEST_F(TableControllerTest, ThePlainControllerShowsAnEmptyTable) {
    auto c = UITableViewController::make();
    window->setRootViewController(c);
    window->layoutIfNeeded();
    EXPECT_EQ(c->tableView()->style(), UITableViewStyle::Plain);
    EXPECT_EQ(c->tableView()->numberOfRowsInSection(0), 0u);
}

}  // namespace
