// What the date and picker rows share as rows edited on a date picker or a wheel: the value row
// follows "enabled" with its title, value, placeholder, hidden text field and editor, and an opened
// inline row is filled by its editor and follows its own item's "enabled".
#include "form_test_support.h"
#include "settings/form/form_table_view_date_time_cell.h"
#include "settings/form/form_table_view_picker_cell.h"

namespace {

struct InlineEditorRowsTest : FormHarness {
    std::shared_ptr<FormDateTimeItem> date = FormDateTimeItem::itemWithTitle(
        "When", std::nullopt, std::string("Pick a day"), std::string("y-MM-dd"), UIDatePickerMode::Date);
    std::shared_ptr<FormPickerItem> picker =
        FormPickerItem::itemWithTitle("Size", std::nullopt, std::string("Choose"), {{"S", "M", "L"}});

    void tapRow(std::size_t section, std::size_t row) {
        CGRect r = inWindow(cellAt(section, row));
        tap({CGRectGetMidX(r), CGRectGetMidY(r)});
    }
};

}  // namespace

TEST_F(InlineEditorRowsTest, ValueRowsFollowEnabledWithEveryPartAndTheirEditor) {
    addSection({date, picker});
    reload();
    auto dateCell = cellAt<FormTableViewDateTimeCell>(0, 0);
    auto pickerCell = cellAt<FormTableViewPickerCell>(0, 1);
    ASSERT_TRUE(dateCell && pickerCell);
    const std::vector<std::shared_ptr<FormInlineEditorCell>> cells{dateCell, pickerCell};
    for (bool enabled : {false, true}) {
        date->setEnabled(enabled);
        picker->setEnabled(enabled);
        for (const auto& cell : cells) {
            SCOPED_TRACE(cell->className() + (enabled ? " enabled" : " disabled"));
            EXPECT_EQ(cell->isUserInteractionEnabled(), enabled);
            EXPECT_EQ(cell->textLabel()->isEnabled(), enabled);
            EXPECT_EQ(cell->textField()->isEnabled(), enabled);
            EXPECT_EQ(cell->valueLabel()->isEnabled(), enabled);
            EXPECT_EQ(cell->placeholderLabel()->isEnabled(), enabled);
        }
        EXPECT_EQ(dateCell->datePicker()->isEnabled(), enabled);
        EXPECT_EQ(pickerCell->pickerView()->isUserInteractionEnabled(), enabled);
    }
}

TEST_F(InlineEditorRowsTest, OpenedInlineRowsAreFilledByTheirEditorAndFollowTheirItem) {
    date->inlineDatePicker = true;
    picker->inlinePicker = true;
    addSection({date, picker});
    reload();
    tapRow(0, 0);
    tapRow(0, 2);
    ASSERT_TRUE(date->inlinePickerItem && picker->inlinePickerItem);
    settle();
    auto dateRow = cellAt<FormTableViewInlineDatePickerCell>(0, 1);
    auto pickerRow = cellAt<FormTableViewInlinePickerCell>(0, 3);
    ASSERT_TRUE(dateRow && pickerRow);
    const std::vector<std::pair<std::shared_ptr<FormInlineEditorRowCell>, std::shared_ptr<UIView>>> rows{
        {dateRow, dateRow->datePicker()}, {pickerRow, pickerRow->pickerView()}};
    for (std::size_t row : {1u, 3u})
        EXPECT_EQ(table->rectForRowAtIndexPath({0, row}).size.height, FormInlineEditorRowCell::kHeight);
    for (const auto& [cell, editor] : rows) {
        EXPECT_EQ(editor->superview(), cell->contentView());
        EXPECT_EQ(editor->frame().size.width, cell->bounds().size.width);
        EXPECT_EQ(editor->frame().size.height, cell->bounds().size.height);
    }
    for (bool enabled : {false, true}) {
        date->inlinePickerItem->setEnabled(enabled);
        picker->inlinePickerItem->setEnabled(enabled);
        for (const auto& [cell, editor] : rows) {
            SCOPED_TRACE(cell->className() + (enabled ? " enabled" : " disabled"));
            EXPECT_EQ(cell->isUserInteractionEnabled(), enabled);
            EXPECT_EQ(editor->isUserInteractionEnabled(), enabled);
        }
    }
    EXPECT_TRUE(date->enabled() && picker->enabled()) << "the value rows keep their own";
}
