// The settings form from a description: the eight row types and their reports, rows skipped for
// unknown or ill-kinded entries, moves reported from the form's own copy, the navigation bar and
// the dressing of the rows.
#include "settings/dict/my_form_slider2.h"
#include "settings/dict/my_form_sync_timing.h"
#include "settings/form/form_choice_items.h"
#include "settings/form/form_control_cells.h"
#include "settings/form/form_picker_items.h"
#include "settings/form/form_table_view_long_text_cell.h"
#include "settings/form/form_table_view_picker_cell.h"
#include "settings/form/form_text_item.h"
#include "settings_dict_support.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {

std::vector<Value> everyType() {
    return {
        Value(ValueArray{
            row({{"type", "radio"},
                 {"key", "size"},
                 {"label", "Size"},
                 {"value", "M"},
                 {"options", Value::array({"S", "M", "L"})},
                 {"height", 48}}),
            row({{"type", "slider"}, {"key", "level"}, {"label", "Level"}, {"value", 0.25}}),
            row({{"type", "syncTiming"}, {"key", "intro"}, {"label", "Intro"}, {"value", 3.5}, {"value0", 11.82}}),
            row({{"type", "switch"}, {"key", "grid"}, {"label", "Grid"}, {"value", true}, {"orig", "g"}}),
        }),
        Value(ValueArray{
            row({{"type", "button"}, {"key", "rate"}, {"label", "Rate"}, {"label2", "Tell us"}, {"accessoryType", 1}}),
            row({{"type", "button"}, {"key", "off"}, {"label", "Off"}, {"enabled", false}}),
            row({{"type", "right"}, {"key", "lang"}, {"label", "Language"}, {"value", "Suomi"}}),
            row({{"type", "text"}, {"key", "note"}, {"label", "ignored"}, {"value", "A note"}}),
            row({{"type", "longText"}, {"key", "terms"}, {"label", "Terms"}, {"value", "Long terms"}, {"height", 120}}),
        })};
}

}  // namespace

TEST_F(SettingsDictTest, EveryTypeBecomesItsRowWithItsHeight) {
    describe(everyType(), {"General", "About"});
    show();
    EXPECT_EQ(form->tableView()->numberOfSections(), 2u);
    EXPECT_EQ(form->manager()->titleForHeaderInSection(*form->tableView(), 0), "General");
    auto radio = std::dynamic_pointer_cast<FormPickerItem>(itemAt(0, 0));
    ASSERT_NE(radio, nullptr);
    EXPECT_FALSE(radio->inlinePicker);
    EXPECT_EQ(radio->value, std::vector<std::string>{"M"});
    EXPECT_EQ(radio->options, (FormPickerItem::Columns{{"S", "M", "L"}}));
    EXPECT_EQ(form->tableView()->rectForRowAtIndexPath({0, 0}).size.height, 48);
    EXPECT_NE(std::dynamic_pointer_cast<MyFormSlider2Cell>(cellAt(0, 1)), nullptr);
    EXPECT_EQ(form->tableView()->rectForRowAtIndexPath({0, 1}).size.height, 50);
    EXPECT_NE(std::dynamic_pointer_cast<MyFormSyncTimingCell>(cellAt(0, 2)), nullptr);
    EXPECT_EQ(form->tableView()->rectForRowAtIndexPath({0, 2}).size.height, 90);
    EXPECT_TRUE(std::dynamic_pointer_cast<FormBoolItem>(itemAt(0, 3))->value);
    auto detailed = cellAt(1, 0);
    EXPECT_EQ(form->tableView()->rectForRowAtIndexPath({1, 0}).size.height, 60);
    EXPECT_EQ(detailed->detailTextLabel()->text(), "Tell us");
    EXPECT_EQ(detailed->accessoryType(), UITableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_EQ(form->tableView()->rectForRowAtIndexPath({1, 1}).size.height, 44);
    EXPECT_EQ(std::dynamic_pointer_cast<FormRadioItem>(itemAt(1, 2))->value(), "Suomi");
    EXPECT_EQ(cellAt(1, 3)->textLabel()->text(), "A note") << "a text row shows its value, not its label";
    auto terms = std::dynamic_pointer_cast<FormLongTextItem>(itemAt(1, 4));
    ASSERT_NE(terms, nullptr);
    EXPECT_FALSE(terms->editable);
    EXPECT_EQ(form->tableView()->rectForRowAtIndexPath({1, 4}).size.height, 120);
}

TEST_F(SettingsDictTest, UnknownTypesAndIllKindedEntriesAreSkippedAndTheRestKeepsItsOrder) {
    describe({Value(ValueArray{row({{"type", "Switch"}, {"key", "a"}, {"label", "A"}}),
                               row({{"type", "switch"}, {"key", "b"}, {"label", "B"}}), Value("not a row"),
                               row({{"type", 7}, {"key", "c"}}), row({{"key", "d"}}),
                               row({{"type", "switch"}, {"key", "e"}, {"label", 5}}),
                               row({{"type", "slider"}, {"key", "f"}, {"label", "F"}, {"value", "0.5"}}),
                               row({{"type", "radio"}, {"key", "g"}, {"label", "G"}, {"options", "S"}}),
                               row({{"type", "radio"}, {"key", "h"}, {"label", "H"}, {"height", -3}})}),
              Value("not a section"), Value(ValueArray{row({{"type", "text"}, {"value", "after"}})})},
             {Value("One"), Value(2)});
    show();
    ASSERT_EQ(form->tableView()->numberOfSections(), 3u);
    ASSERT_EQ(form->tableView()->numberOfRowsInSection(0), 5u);
    EXPECT_EQ(itemAt(0, 0)->title, "B");
    EXPECT_EQ(itemAt(0, 1)->title, std::nullopt) << "a label that is no text reads as none";
    EXPECT_FLOAT_EQ(std::dynamic_pointer_cast<MyFormSlider2Item>(itemAt(0, 2))->value, 0.5f);
    auto noOptions = std::dynamic_pointer_cast<FormPickerItem>(itemAt(0, 3));
    EXPECT_EQ(noOptions->options, (FormPickerItem::Columns{{}}));
    EXPECT_EQ(noOptions->value, std::vector<std::string>{}) << "a radio row without a value reads it as empty";
    EXPECT_EQ(form->tableView()->rectForRowAtIndexPath({0, 4}).size.height, 44);
    EXPECT_EQ(form->tableView()->numberOfRowsInSection(1), 0u);
    EXPECT_EQ(form->manager()->titleForHeaderInSection(*form->tableView(), 1), "");
    EXPECT_EQ(cellAt(2, 0)->textLabel()->text(), "after");
    // A radio row without options can be opened and turned without harm.
    tapRow(0, 3);
    auto picker = std::dynamic_pointer_cast<FormTableViewPickerCell>(cellAt(0, 3));
    picker->shouldUpdateItemValue();
    EXPECT_EQ(noOptions->value, std::vector<std::string>{});
}

TEST_F(SettingsDictTest, AnEmptyDescriptionShowsNoRowsNoEditButAStillDone) {
    delegate->takesDone = true;
    show();
    EXPECT_EQ(form->tableView()->numberOfSections(), 0u);
    EXPECT_TRUE(form->navigationItem()->rightBarButtonItems().empty());
    ASSERT_EQ(form->navigationItem()->leftBarButtonItems().size(), 1u);
    form->navigationItem()->leftBarButtonItems()[0]->performAction();
    EXPECT_EQ(delegate->events, std::vector<std::string>{"done"});
    EXPECT_EQ(form->navigationItem()->title(), "Options");
}

TEST_F(SettingsDictTest, TheDescriptionIsAskedOnEveryAppearance) {
    describe(everyType());
    show();
    int first = delegate->asked;
    EXPECT_GE(first, 1);
    describe({Value(ValueArray{row({{"type", "switch"}, {"key", "only"}, {"label", "Only"}})})});
    nav->pushViewController(UIViewController::make(), false);
    settle();
    nav->popViewControllerAnimated(false);
    settle();
    EXPECT_EQ(delegate->asked, first + 1);
    EXPECT_EQ(form->tableView()->numberOfRowsInSection(0), 1u);
}

TEST_F(SettingsDictTest, ChangesReloadBeforeTheyReportAndTapsReportOnlyWhileEnabled) {
    describe(everyType());
    show();
    auto grid = std::dynamic_pointer_cast<FormTableViewBoolCell>(cellAt(0, 3));
    bool reloadedFirst = false;
    // A reload takes every shown cell off the table.
    delegate->onChange = [&] { reloadedFirst = grid->superview() == nullptr; };
    CGRect sw = grid->switchView()->superview()->convertRectToView(grid->switchView()->frame(), nullptr);
    tap({CGRectGetMidX(sw), CGRectGetMidY(sw)});
    EXPECT_TRUE(reloadedFirst) << "the table was reloaded before the delegate heard";
    delegate->onChange = nullptr;
    tapRow(1, 0);
    tapRow(1, 1);
    tapRow(1, 2);
    tapRow(1, 3);
    EXPECT_EQ(delegate->events,
              (std::vector<std::string>{"grid=0 orig g at 0.3", "rate=nil orig  at 1.0", "lang=nil orig  at 1.2"}));
    auto sync = std::dynamic_pointer_cast<MyFormSyncTimingCell>(cellAt(0, 2));
    sync->onButton(*sync->option2());
    EXPECT_EQ(delegate->events.back(), "intro=11.82 orig  at 0.2");
}

TEST_F(SettingsDictTest, TwoMovesInARowReportTheKeysWhereTheRowsNowAre) {
    auto movable = [](const char* key) {
        return row({{"type", "switch"}, {"key", key}, {"label", key}, {"movable", true}});
    };
    describe({Value(ValueArray{movable("a"), movable("b"), movable("c"), movable("c")})});
    show();
    ASSERT_TRUE(form->hasMovable());
    auto edit = form->navigationItem()->rightBarButtonItems();
    ASSERT_EQ(edit.size(), 1u);
    EXPECT_EQ(edit[0]->systemItem(), UIBarButtonSystemItem::Edit);
    edit[0]->performAction();
    settle();
    EXPECT_TRUE(form->tableView()->isEditing());
    EXPECT_TRUE(cellAt(0, 0)->showsReorderControl());
    EXPECT_EQ(form->navigationItem()->rightBarButtonItems()[0]->systemItem(), UIBarButtonSystemItem::Done);
    form->tableView()->moveRowByUser({0, 0}, {0, 2});  // a b c c -> b c a c
    form->tableView()->moveRowByUser({0, 0}, {0, 1});  // b c a c -> c b a c
    form->tableView()->moveRowByUser({0, 0}, {0, 3});  // the same key: nothing
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"moved a c", "moved b c"}));
    const std::size_t first = 0;
    EXPECT_EQ(form->arr()[first][first]["key"].stringValue(), "b");
    EXPECT_EQ(delegate->description["arr"][first][first]["key"].stringValue(), "a")
        << "the delegate's description is untouched";
    form->navigationItem()->rightBarButtonItems()[0]->performAction();
    settle();
    EXPECT_FALSE(form->tableView()->isEditing());
}

TEST_F(SettingsDictTest, DoneAndEditAreDistinctButtons) {
    delegate->takesDone = true;
    describe({Value(ValueArray{row({{"type", "switch"}, {"key", "a"}, {"label", "A"}, {"movable", true}})})});
    show();
    auto left = form->navigationItem()->leftBarButtonItems();
    auto right = form->navigationItem()->rightBarButtonItems();
    ASSERT_EQ(left.size(), 1u);
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(left[0], form->bbDone());
    EXPECT_EQ(right[0], form->bbEdit0());
    EXPECT_NE(form->bbDone(), form->bbEdit1());
}

TEST_F(SettingsDictTest, RowsAreDressedFromTheDescriptionInLightAndDark) {
    auto font = UIFont::boldSystemFontOfSize(22);
    auto red = UIColor::redColor();
    describe({Value(ValueArray{
        row({{"type", "button"}, {"key", "b"}, {"label", "B"}, {"font", Value(font)}, {"textColor", Value(red)}}),
        row({{"type", "button"}, {"key", "off"}, {"label", "Off"}, {"enabled", false}}),
        row({{"type", "text"}, {"value", "Plain"}}), row({{"type", "slider"}, {"key", "s"}, {"label", "S"}})})});
    show();
    auto fonts = global()->font();
    auto colours = global()->color();
    EXPECT_EQ(cellAt(0, 0)->textLabel()->font(), font);
    EXPECT_TRUE(cellAt(0, 0)->textLabel()->textColor()->isEqual(*red));
    EXPECT_TRUE(cellAt(0, 1)->textLabel()->textColor()->isEqual(*colours->labelLightGray()));
    EXPECT_EQ(cellAt(0, 1)->selectionStyle(), UITableViewCellSelectionStyle::None);
    EXPECT_EQ(cellAt(0, 2)->textLabel()->font(), fonts->textNormal());
    auto slider = std::dynamic_pointer_cast<MyFormSlider2Cell>(cellAt(0, 3));
    EXPECT_EQ(slider->label()->font(), fonts->iconNormal());
    EXPECT_EQ(slider->label()->numberOfLines(), 0);
    EXPECT_TRUE(slider->slider()->tintColor()->isEqual(*UIColor::blackColor()));
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    form->updateDarkMode();
    settle();
    slider = std::dynamic_pointer_cast<MyFormSlider2Cell>(cellAt(0, 3));
    EXPECT_TRUE(slider->slider()->tintColor()->isEqual(*UIColor::whiteColor())) << "a white slider in the dark";
    EXPECT_TRUE(cellAt(0, 1)->textLabel()->textColor()->isEqual(*colours->labelLightGray()));
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Light);
}
