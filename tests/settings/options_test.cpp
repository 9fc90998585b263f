// Choice items and the option screen: detail texts, checking and unchecking, option order, and
// the current value marked on entry.
#include "form_test_support.h"
#include "platform/ui/input/ui_text_field.h"
#include "settings/form/form_choice_items.h"
#include "settings/form/form_table_view_option_cell.h"
#include "settings/form/form_table_view_options_controller.h"

namespace {

struct OptionsTest : FormHarness {
    std::shared_ptr<FormTableViewOptionsController> screen;
    void open(std::shared_ptr<FormTableViewItem> item, std::vector<FormTableViewOptionsController::Option> options,
              bool multiple, std::vector<std::string>* completions = nullptr) {
        screen = FormTableViewOptionsController::make(item, options, multiple, [completions](FormTableViewItem& o) {
            if (completions) completions->push_back(o.title.value_or(""));
        });
        window->setRootViewController(screen);
        window->layoutIfNeeded();
    }
    std::shared_ptr<UITableViewCell> optionCell(std::size_t row) {
        return screen->tableView()->cellForRowAtIndexPath({0, row});
    }
    bool checked(std::size_t row) {
        return optionCell(row)->accessoryType() == UITableViewCellAccessoryType::Checkmark;
    }
};

TEST_F(OptionsTest, MultipleChoiceDetailFollowsTheCount) {
    auto item = FormMultipleChoiceItem::itemWithTitle("Days", {});
    EXPECT_EQ(item->detailLabelText, "");
    item->setValue({"Mon"});
    EXPECT_EQ(item->detailLabelText, "Mon");
    item->setValue({"Mon", "Tue", "Wed"});
    EXPECT_EQ(item->detailLabelText, "3 selected");
    auto radio = FormRadioItem::itemWithTitle("Size", std::string("M"));
    EXPECT_EQ(radio->detailLabelText, "M");
    EXPECT_EQ(radio->style, UITableViewCellStyle::Value1);
    EXPECT_EQ(radio->accessoryType, UITableViewCellAccessoryType::DisclosureIndicator);
}

TEST_F(OptionsTest, CheckingKeepsOptionOrderAndUncheckingRemovesEveryCopy) {
    auto item = FormMultipleChoiceItem::itemWithTitle("Days", {"Wed", "Mon", "Wed"});
    std::vector<std::string> completions;
    open(item, {std::string("Mon"), std::string("Tue"), FormRadioItem::itemWithTitle("Wed", std::nullopt)}, true,
         &completions);
    EXPECT_EQ(screen->title(), "Days");
    EXPECT_TRUE(checked(0));
    EXPECT_FALSE(checked(1));
    EXPECT_TRUE(checked(2)) << "a radio item stands for its title";
    auto table = screen->tableView();
    table->tapRowAtIndexPath({0, 2});
    EXPECT_EQ(item->value(), (std::vector<std::string>{"Mon"}));
    EXPECT_FALSE(checked(2));
    table->tapRowAtIndexPath({0, 2});
    table->tapRowAtIndexPath({0, 1});
    EXPECT_EQ(item->value(), (std::vector<std::string>{"Mon", "Tue", "Wed"}));
    EXPECT_EQ(completions, (std::vector<std::string>{"Wed", "Wed", "Tue"}));
    EXPECT_FALSE(table->indexPathForSelectedRow()) << "multiple choice rows do not stay selected";
}

TEST_F(OptionsTest, SingleChoiceMarksTheCurrentValueAndMovesTheMark) {
    auto item = FormRadioItem::itemWithTitle("Size", std::string("M"));
    open(item, {std::string("S"), std::string("M"), std::string("L")}, false);
    EXPECT_FALSE(checked(0));
    EXPECT_TRUE(checked(1));
    screen->tableView()->tapRowAtIndexPath({0, 2});
    EXPECT_EQ(item->value(), "L");
    EXPECT_EQ(item->detailLabelText, "L");
    EXPECT_FALSE(checked(1));
    EXPECT_TRUE(checked(2));
    EXPECT_EQ(screen->tableView()->indexPathForSelectedRow(), (std::optional<NSIndexPath>{NSIndexPath{0, 2}}));
}

TEST_F(OptionsTest, TheOptionRowShowsTheValueAndReusedCellsResetTheirAlignment) {
    auto titled = FormRadioItem::itemWithTitle("Size", std::string("M"));
    auto untitled = FormRadioItem::itemWithTitle(std::nullopt, std::string("free"));
    auto s = addSection({untitled});
    reload();
    auto cell = cellAt<FormTableViewOptionCell>(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->valueLabel()->textAlignment(), NSTextAlignment::Left);
    EXPECT_EQ(*cell->textLabel()->text(), " ");
    s->replaceItemAtIndex(0, titled);
    reload();
    auto reused = cellAt<FormTableViewOptionCell>(0, 0);
    EXPECT_EQ(reused, cell) << "the same cell shows the next item";
    EXPECT_EQ(reused->valueLabel()->textAlignment(), NSTextAlignment::Right);
    EXPECT_EQ(*reused->valueLabel()->text(), "M");
    titled->setEnabled(false);
    EXPECT_FALSE(reused->valueLabel()->isEnabled());
}

TEST_F(OptionsTest, SelectingAChoiceRowPutsTheKeyboardAwayFirst) {
    bool keyboardGone = false;
    auto radio = FormRadioItem::itemWithTitle(
        "Size", std::string("M"), [&](FormTableViewItem&) { keyboardGone = FirstResponder::current() == nullptr; });
    auto field = UITextField::make(CGRectMake(0, 0, 100, 30));
    table->addSubview(field);
    addSection({radio});
    reload();
    ASSERT_TRUE(field->becomeFirstResponder());
    table->tapRowAtIndexPath({0, 0});
    EXPECT_TRUE(keyboardGone);
}

}  // namespace
