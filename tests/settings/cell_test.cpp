// The base cell: position codes, background images by position, value-view placement at both
// margins, and the keyboard bar's Previous, Next and Done across sections.
#include "form_test_support.h"
#include "settings/form/form_choice_items.h"
#include "settings/form/form_table_view_option_cell.h"
#include "settings/form/form_table_view_text_cell.h"
#include "settings/form/form_text_item.h"
#include "tests/platform/ui/control_test_support.h"

namespace {

struct CellTest : FormHarness {};

std::shared_ptr<FormTableViewItem> titled(const std::string& t) {
    return FormTableViewItem::itemWithTitle(t);
}

TEST_F(CellTest, PositionCodesForOneTwoAndThreeRows) {
    addSection({titled("single")});
    addSection({titled("a"), titled("b")});
    addSection({titled("a"), titled("b"), titled("c")});
    reload();
    EXPECT_EQ(cellAt(0, 0)->type(), FormCellPosition::Single);
    EXPECT_EQ(cellAt(1, 0)->type(), FormCellPosition::First);
    EXPECT_EQ(cellAt(1, 1)->type(), FormCellPosition::Last);
    EXPECT_EQ(cellAt(2, 0)->type(), FormCellPosition::First);
    EXPECT_EQ(cellAt(2, 1)->type(), FormCellPosition::Middle);
    EXPECT_EQ(cellAt(2, 2)->type(), FormCellPosition::Last);
}

TEST_F(CellTest, BackgroundImagesFollowThePositionWithAnyAsFallback) {
    auto any = solidImage({10, 10});
    auto first = solidImage({10, 10}, CGColor::rgb(0, 1, 0, 1));
    auto style = FormTableViewCellStyle::make();
    style->setBackgroundImage(any, FormCellPosition::Any);
    style->setBackgroundImage(nullptr, FormCellPosition::Last);
    EXPECT_TRUE(style->hasCustomBackgroundImage());
    EXPECT_EQ(style->backgroundImageForCellType(FormCellPosition::Middle), any);
    style->setBackgroundImage(first, FormCellPosition::First);
    style->backgroundImageMargin = 6;
    manager->setStyle(style);
    addSection({titled("a"), titled("b"), titled("c")});
    reload();
    EXPECT_EQ(cellAt(0, 0)->backgroundImageView()->image(), first);
    EXPECT_EQ(cellAt(0, 1)->backgroundImageView()->image(), any);
    EXPECT_EQ(cellAt(0, 2)->backgroundImageView()->image(), any);
    EXPECT_EQ(cellAt(0, 1)->backgroundImageView()->frame().origin.x, 6);
    EXPECT_EQ(table->separatorStyle(), UITableViewCellSeparatorStyle::None);
    auto copy = style->copy();
    copy->setBackgroundImage(any, FormCellPosition::First);
    EXPECT_EQ(style->backgroundImageForCellType(FormCellPosition::First), first) << "a copy has its own images";
}

TEST_F(CellTest, ValueViewsLineUpAfterTheWidestTitleAtBothMargins) {
    for (CGFloat margin : {0.0, 8.0}) {
        makeTable(UITableViewStyle::Grouped);
        manager->style()->contentViewMargin = margin;
        auto s = addSection({FormTextItem::itemWithTitle("Name", "x"), FormTextItem::itemWithTitle("Telephone", "y")});
        reload();
        CGFloat inset = margin <= 0 ? 15 : 10;
        auto font = cellAt(0, 0)->textLabel()->font();
        CGFloat x = inset + static_cast<CGFloat>(s->maximumTitleWidthWithFont(font)) + 10;
        for (std::size_t row : {0u, 1u}) {
            auto cell = cellAt<FormTableViewTextCell>(0, row);
            CGRect f = cell->textField()->frame();
            EXPECT_NEAR(f.origin.x, x, 0.01) << "margin " << margin;
            EXPECT_NEAR(CGRectGetMaxX(f), cell->contentView()->frame().size.width - inset, 0.01) << "margin " << margin;
        }
    }
}

TEST_F(CellTest, AMinimumWidthPushesTheValueLeftOverTheTitles) {
    auto radio = FormRadioItem::itemWithTitle("Choice", std::string(60, 'W'));
    auto s = addSection({radio});
    reload();
    auto cell = cellAt<FormTableViewOptionCell>(0, 0);
    ASSERT_NE(cell, nullptr);
    CGFloat standard = 15 + static_cast<CGFloat>(s->maximumTitleWidthWithFont(cell->textLabel()->font())) + 10;
    EXPECT_LT(cell->valueLabel()->frame().origin.x, standard);
    EXPECT_EQ(*cell->valueLabel()->text(), std::string(60, 'W'));
}

TEST_F(CellTest, PreviousAndNextWalkEditableRowsAcrossSections) {
    auto first = FormTextItem::itemWithTitle("First", "");
    auto readOnly = FormLongTextItem::itemWithValue("fixed", std::nullopt);
    readOnly->editable = false;
    auto middle = FormNumberItem::itemWithTitle("Middle", "", std::nullopt, std::nullopt);
    auto last = FormTextItem::itemWithTitle("Last", "");
    addSection({first, titled("plain"), readOnly});
    addSection({std::string("text"), middle});
    addSection({});
    addSection({last});
    reload();
    auto a = cellAt(0, 0);
    ASSERT_TRUE(a->becomeResponder());
    EXPECT_FALSE(a->actionBar()->navigationControl()->isEnabledForSegmentAtIndex(0));
    EXPECT_TRUE(a->actionBar()->navigationControl()->isEnabledForSegmentAtIndex(1));
    EXPECT_EQ(a->indexPathForNextResponder(), (std::optional<NSIndexPath>{NSIndexPath{1, 1}}));
    int navTaps = 0;
    first->actionBarNavButtonTapHandler = [&](FormTableViewItem&) { ++navTaps; };
    auto control = a->actionBar()->navigationControl();
    advance(0.5);  // the keyboard and its bar slide in
    ASSERT_NE(control->window(), nullptr);
    tap(control->convertPointToView({60, 16}, nullptr));
    EXPECT_EQ(navTaps, 1);
    auto b = cellAt<FormTableViewNumberCell>(1, 1);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->textField()->isFirstResponder());
    EXPECT_EQ(b->indexPathForPreviousResponder(), (std::optional<NSIndexPath>{NSIndexPath{0, 0}}));
    EXPECT_EQ(b->indexPathForNextResponder(), (std::optional<NSIndexPath>{NSIndexPath{3, 0}}));
    auto d = cellAt(3, 0);
    EXPECT_EQ(d->indexPathForPreviousResponder(), (std::optional<NSIndexPath>{NSIndexPath{1, 1}}));
    EXPECT_FALSE(d->indexPathForNextResponder());
}

TEST_F(CellTest, DoneRunsTheHandlerThenEndsEditing) {
    auto item = FormTextItem::itemWithTitle("Name", "");
    bool wasEditing = false;
    item->actionBarDoneButtonTapHandler = [&](FormTableViewItem&) {
        wasEditing = FirstResponder::current() != nullptr;
    };
    addSection({item});
    reload();
    auto cell = cellAt<FormTableViewTextCell>(0, 0);
    ASSERT_TRUE(cell->becomeResponder());
    ASSERT_TRUE(cell->actionBar()->doneButton()->performAction());
    EXPECT_TRUE(wasEditing);
    EXPECT_FALSE(cell->textField()->isFirstResponder());
}

}  // namespace

namespace {

TEST_F(CellTest, ValuesOfRowsWithImagesStartAfterTheImageAndTheWidestTitle) {
    auto withImage = FormTextItem::itemWithTitle("Email address", "a@b.org");
    withImage->image = solidImage({22, 22});
    auto s = addSection({withImage});
    reload();
    auto cell = cellAt<FormTableViewTextCell>(0, 0);
    CGFloat titleEnd = cell->textLabel()->frame().origin.x +
                       static_cast<CGFloat>(s->maximumTitleWidthWithFont(cell->textLabel()->font()));
    EXPECT_GE(cell->textField()->frame().origin.x, titleEnd) << "the value never covers the title";
}

}  // namespace
