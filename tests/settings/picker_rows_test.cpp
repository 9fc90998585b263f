// Picker rows: the wheel shown from and read into the value, the placeholder, titles of none
// against empty, the inline row opened and closed, columns replaced from the change handler, the
// keyboard-style wheel with the bar, and Previous/Next passing inline pickers by.
#include "form_test_support.h"
#include "settings/form/form_table_view_picker_cell.h"
#include "settings/form/form_text_item.h"

namespace {

struct PickerRowsTest : FormHarness {
    std::shared_ptr<FormPickerItem> picker(std::optional<std::string> title, FormPickerItem::Columns options,
                                           std::optional<std::vector<std::string>> value = std::nullopt) {
        return FormPickerItem::itemWithTitle(std::move(title), std::move(value), std::string("Choose"),
                                             std::move(options));
    }
    void tapRow(std::size_t section, std::size_t row) {
        auto cell = cellAt(section, row);
        tap({CGRectGetMidX(inWindow(cell)), CGRectGetMidY(inWindow(cell))});
    }
};

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(PickerRowsTest, AShortValueTurnsOnlyTheColumnsItNames) {
    auto item = picker("Size", {{"S", "M", "L"}, {"red", "green", "blue"}}, Strings{"L"});
    addSection({item});
    reload();
    auto cell = cellAt<FormTableViewPickerCell>(0, 0);
    auto wheel = cell->pickerView();
    wheel->selectRow(2, 1, false);
    tapRow(0, 0);
    EXPECT_TRUE(cell->textField()->isFirstResponder());
    EXPECT_EQ(wheel->selectedRowInComponent(0), 2);
    EXPECT_EQ(wheel->selectedRowInComponent(1), 2) << "no entry for the second column: it stays where it was";
    // An entry that is not in its column leaves that wheel alone too.
    item->value = Strings{"XL", "green"};
    wheel->selectRow(0, 0, false);
    cell->setSelected(true, false);
    EXPECT_EQ(wheel->selectedRowInComponent(0), 0);
    EXPECT_EQ(wheel->selectedRowInComponent(1), 1);
}

TEST_F(PickerRowsTest, WithoutAValueThePlaceholderShowsUntilTheFirstTurnFillsEveryColumnWithRows) {
    std::vector<Strings> heard;
    auto item = picker("Size", {{"S", "M"}, {}, {"red", "blue"}});
    item->onChange = [&](FormPickerItem& i) { heard.push_back(*i.value); };
    addSection({item});
    reload();
    auto cell = cellAt<FormTableViewPickerCell>(0, 0);
    EXPECT_EQ(cell->valueLabel()->text().value_or(""), "");
    EXPECT_FALSE(cell->placeholderLabel()->isHidden());
    EXPECT_EQ(cell->placeholderLabel()->text(), "Choose");
    tapRow(0, 0);
    ASSERT_TRUE(cell->pickerView()->spinToRow(1, 2));
    EXPECT_EQ(item->value, (Strings{"S", "blue"})) << "the empty column adds nothing";
    EXPECT_EQ(heard, (std::vector<Strings>{{"S", "blue"}}));
    EXPECT_EQ(cell->valueLabel()->text(), "S, blue");
    EXPECT_TRUE(cell->placeholderLabel()->isHidden());
}

TEST_F(PickerRowsTest, NoTitleAtAllShowsABlankAndALeftValueAndAReusedCellGoesBackRight) {
    auto untitled = picker(std::nullopt, {{"a", "b"}}, Strings{"a"});
    addSection({untitled});
    reload();
    auto cell = cellAt<FormTableViewPickerCell>(0, 0);
    EXPECT_EQ(cell->textLabel()->text(), " ");
    EXPECT_EQ(cell->valueLabel()->textAlignment(), NSTextAlignment::Left);
    untitled->title = "";
    reload();
    auto again = cellAt<FormTableViewPickerCell>(0, 0);
    EXPECT_EQ(again, cell) << "the same cell is shown again";
    EXPECT_EQ(again->textLabel()->text(), " ");
    EXPECT_EQ(again->valueLabel()->textAlignment(), NSTextAlignment::Right);
}

TEST_F(PickerRowsTest, AnInlinePickerOpensAndClosesOneRowBelowAndLeavesItsRowUnselected) {
    auto item = picker("Size", {{"S", "M", "L"}}, Strings{"M"});
    item->inlinePicker = true;
    auto after = FormTableViewItem::itemWithTitle("After");
    auto section = addSection({item, after});
    reload();
    tapRow(0, 0);
    ASSERT_NE(item->inlinePickerItem, nullptr);
    EXPECT_EQ(item->inlinePickerItem->pickerItem(), item);
    EXPECT_EQ(section->items().size(), 3u);
    EXPECT_EQ(table->numberOfRowsInSection(0), 3u);
    auto open = cellAt<FormTableViewInlinePickerCell>(0, 1);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}).size.height, 216);
    EXPECT_EQ(open->pickerView()->selectedRowInComponent(0), 1);
    EXPECT_FALSE(cellAt(0, 0)->isSelected());
    EXPECT_FALSE(table->indexPathForSelectedRow());
    // Turning the inline wheel writes the picker item and refreshes its row.
    ASSERT_TRUE(open->pickerView()->spinToRow(2, 0));
    EXPECT_EQ(item->value, Strings{"L"});
    settle();
    EXPECT_EQ(cellAt<FormTableViewPickerCell>(0, 0)->valueLabel()->text(), "L");
    tapRow(0, 0);
    EXPECT_EQ(item->inlinePickerItem, nullptr);
    EXPECT_EQ(section->items().size(), 2u);
    EXPECT_EQ(table->numberOfRowsInSection(0), 2u);
    EXPECT_EQ(cellAt(0, 1)->textLabel()->text(), "After");
    // Open and closed again: one row each time.
    tapRow(0, 0);
    EXPECT_EQ(table->numberOfRowsInSection(0), 3u);
    tapRow(0, 0);
    EXPECT_EQ(table->numberOfRowsInSection(0), 2u);
}

TEST_F(PickerRowsTest, AChangeHandlerThatReplacesTheColumnsIsReadFromTheReloadedWheel) {
    auto item = picker("Model", {{"Phone", "Tablet"}, {"Mini", "Max"}});
    item->onChange = [](FormPickerItem& i) {
        if ((*i.value)[0] == "Tablet") i.options[1] = {"Air", "Pro", "Studio"};
    };
    addSection({item});
    reload();
    auto cell = cellAt<FormTableViewPickerCell>(0, 0);
    tapRow(0, 0);
    cell->pickerView()->selectRow(1, 1, false);
    ASSERT_TRUE(cell->pickerView()->spinToRow(1, 0));
    EXPECT_EQ(cell->pickerView()->numberOfRowsInComponent(1), 3u);
    EXPECT_EQ(item->value, (Strings{"Tablet", "Pro"}));
}

TEST_F(PickerRowsTest, TheKeyboardStylePickerComesUpWithTheBarAndEndingStoresTheWheel) {
    auto item = picker("Size", {{"S", "M", "L"}});
    addSection({item});
    reload();
    auto cell = cellAt<FormTableViewPickerCell>(0, 0);
    tapRow(0, 0);
    settle();
    auto host = UIKeyboard::shared().hostView();
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(cell->pickerView()->isDescendantOfView(host.get())) << "the wheel stands in for the keys";
    EXPECT_TRUE(cell->actionBar()->isDescendantOfView(host.get()));
    EXPECT_EQ(cell->textField()->frame().size.width, 0);
    cell->pickerView()->selectRow(2, 0, false);
    ASSERT_TRUE(cell->textField()->resignFirstResponder());
    EXPECT_EQ(item->value, Strings{"L"}) << "ending the edit reads the wheel";
    EXPECT_FALSE(cell->isSelected());
}

TEST_F(PickerRowsTest, PreviousAndNextPassInlinePickersByAndEmptyColumnsAreHarmless) {
    auto text = FormTextItem::itemWithTitle("Name", "");
    auto inlined = picker("Inline", {{"a"}});
    inlined->inlinePicker = true;
    auto empty = picker("Empty", {});
    addSection({text, inlined, empty});
    reload();
    auto first = cellAt(0, 0);
    EXPECT_EQ(first->indexPathForNextResponder(), (NSIndexPath{0, 2}));
    auto emptyCell = cellAt<FormTableViewPickerCell>(0, 2);
    EXPECT_EQ(emptyCell->indexPathForPreviousResponder(), (NSIndexPath{0, 0}));
    emptyCell->shouldUpdateItemValue();
    EXPECT_EQ(empty->value, Strings{});
    EXPECT_EQ(emptyCell->valueLabel()->text(), "");
    EXPECT_TRUE(empty->errors()->empty());
}
