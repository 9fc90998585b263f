// Rows that fit their cells: with automatic heights a value-1 row grows to hold its wrapped
// labels (up to their number of lines), short rows keep the standard height, and the measuring
// cells go back for reuse.
#include "controller_test_support.h"
#include "platform/ui/table/ui_table_view.h"

namespace {

struct Pairs : UITableViewDataSource {
    std::vector<std::pair<std::string, std::string>> rows;
    long lines = 10;
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return rows.size(); }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        auto cell = t.dequeueReusableCellWithIdentifier("Cell");
        if (!cell) cell = UITableViewCell::make(UITableViewCellStyle::Value1, "Cell");
        cell->textLabel()->setNumberOfLines(lines);
        cell->detailTextLabel()->setNumberOfLines(lines);
        cell->textLabel()->setText(rows[p.row].first);
        cell->detailTextLabel()->setText(rows[p.row].second);
        return cell;
    }
};

}  // namespace

TEST_F(UIHarness, AutomaticRowsGrowForWrappedValuesUpToTheirLines) {
    std::string longValue;
    for (int i = 0; i < 40; ++i) longValue += "word" + std::to_string(i) + " ";
    auto data = std::make_shared<Pairs>();
    data->rows = {{"Make", "Korva"}, {"Comment", longValue}, {"Short", "1"}};
    auto table = UITableView::make(CGRectMake(0, 0, 320, 480));
    table->setRowHeight(UITableViewAutomaticDimension);
    table->setDataSource(data);
    window->addSubview(table);
    settle();

    CGFloat shortRow = table->rectForRowAtIndexPath({0, 0}).size.height;
    CGFloat longRow = table->rectForRowAtIndexPath({0, 1}).size.height;
    EXPECT_EQ(shortRow, UITableView::kDefaultRowHeight);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 2}).size.height, UITableView::kDefaultRowHeight);
    EXPECT_GT(longRow, 3 * shortRow);
    // The shown cell is as high as its row and its value label is not cut to one line.
    auto cell = table->cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->frame().size.height, longRow);
    EXPECT_GT(cell->detailTextLabel()->frame().size.height, 3 * 21.0);

    // Fewer lines allowed: a lower row. A fixed row height still wins over the cells.
    data->lines = 2;
    table->reloadData();
    settle();
    CGFloat twoLines = table->rectForRowAtIndexPath({0, 1}).size.height;
    EXPECT_LT(twoLines, longRow);
    EXPECT_GT(twoLines, shortRow);
    table->setRowHeight(30);
    settle();
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}).size.height, 30);
}
