// Text, long-text and number rows typed through the keyboard: the length limit, return moving
// on, read-only long text, line breaks, digits only, the placeholder and the enabled state.
#include "form_test_support.h"
#include "settings/form/form_table_view_long_text_cell.h"
#include "settings/form/form_table_view_text_cell.h"
#include "settings/form/form_text_item.h"

namespace {

struct RowsTest : FormHarness {
    std::shared_ptr<UITextField> fieldAt(std::size_t s, std::size_t r) {
        auto cell = cellAt<FormTableViewTextCell>(s, r);
        return cell ? cell->textField() : nullptr;
    }
};

TEST_F(RowsTest, TheLengthLimitCountsTheSelectionAsRemoved) {
    auto item = FormTextItem::itemWithTitle("Code", "");
    item->charactersLimit = 10;
    int asked = 0;
    item->onChangeCharacterInRange = [&](FormTextItem&, NSRange, const std::string&) {
        ++asked;
        return true;
    };
    std::vector<std::string> changes;
    item->onChange = [&](FormTextItem& i) { changes.push_back(*i.value); };
    addSection({item});
    reload();
    auto field = fieldAt(0, 0);
    ASSERT_TRUE(field->becomeFirstResponder());
    UIKeyboard::shared().type("0123456789");
    EXPECT_EQ(item->value, "0123456789");
    asked = 0;
    UIKeyboard::shared().type("x");
    EXPECT_EQ(item->value, "0123456789");
    EXPECT_EQ(asked, 0) << "an edit over the limit is refused before the handler is asked";
    EXPECT_TRUE(field->replaceRange({2, 3}, "abc"));
    EXPECT_EQ(item->value, "01abc56789");
    EXPECT_FALSE(field->replaceRange({2, 1}, "zz"));
    EXPECT_EQ(changes.back(), "01abc56789");
}

TEST_F(RowsTest, ReturnMovesToTheNextEditableRowAndEndsOnTheLast) {
    auto a = FormTextItem::itemWithTitle("A", "");
    auto b = FormTextItem::itemWithTitle("B", "");
    b->traits.returnKeyType = UIReturnKeyType::Done;
    std::vector<std::string> log;
    a->onReturn = [&](FormTextItem&) { log.push_back("return A"); };
    a->onEndEditing = [&](FormTextItem&) { log.push_back("end A"); };
    addSection({a, FormTableViewItem::itemWithTitle("plain")});
    addSection({b});
    reload();
    ASSERT_TRUE(fieldAt(0, 0)->becomeFirstResponder());
    EXPECT_EQ(fieldAt(0, 0)->inputTraits().returnKeyType, UIReturnKeyType::Next);
    UIKeyboard::shared().pressReturn();
    EXPECT_EQ(log, (std::vector<std::string>{"return A", "end A", "end A"}));
    auto second = fieldAt(1, 0);
    EXPECT_TRUE(second->isFirstResponder());
    EXPECT_EQ(second->inputTraits().returnKeyType, UIReturnKeyType::Done);
    UIKeyboard::shared().pressReturn();
    EXPECT_EQ(FirstResponder::current(), nullptr);
}

TEST_F(RowsTest, AReadOnlyLongTextIsSkippedAndHasNoBar) {
    auto fixed = FormLongTextItem::itemWithValue("Terms", std::nullopt);
    fixed->editable = false;
    auto free = FormLongTextItem::itemWithValue("", "Notes");
    addSection({fixed, free});
    reload();
    auto readOnly = cellAt<FormTableViewLongTextCell>(0, 0);
    ASSERT_NE(readOnly, nullptr);
    EXPECT_EQ(readOnly->responder(), nullptr);
    EXPECT_EQ(readOnly->textView()->inputAccessoryView(), nullptr);
    EXPECT_FALSE(readOnly->becomeResponder());
    auto editable = cellAt<FormTableViewLongTextCell>(0, 1);
    EXPECT_EQ(editable->textView()->inputAccessoryView(), editable->actionBar());
    EXPECT_FALSE(editable->indexPathForPreviousResponder());
}

TEST_F(RowsTest, ALineBreakIsReturnOnlyWithAHandler) {
    auto notes = FormLongTextItem::itemWithValue("", std::nullopt);
    auto memo = FormLongTextItem::itemWithValue("", std::nullopt);
    int returns = 0;
    memo->onReturn = [&](FormTextItem&) { ++returns; };
    addSection({notes, memo});
    reload();
    auto notesCell = cellAt<FormTableViewLongTextCell>(0, 0);
    ASSERT_TRUE(notesCell->becomeResponder());
    UIKeyboard::shared().type("a");
    UIKeyboard::shared().pressReturn();
    UIKeyboard::shared().type("b");
    EXPECT_EQ(notes->value, "a\nb");
    auto memoCell = cellAt<FormTableViewLongTextCell>(0, 1);
    ASSERT_TRUE(memoCell->becomeResponder());
    UIKeyboard::shared().type("x");
    UIKeyboard::shared().pressReturn();
    EXPECT_EQ(returns, 1);
    EXPECT_EQ(memo->value, "x");
    EXPECT_FALSE(memoCell->textView()->isFirstResponder());
}

TEST_F(RowsTest, TheNumberRowShowsThePadAndStoresDigitsOnly) {
    auto phone = FormNumberItem::itemWithTitle("Phone", "30", std::nullopt, std::string("+49 XXX XXX"));
    phone->traits.keyboardType = UIKeyboardType::EmailAddress;
    phone->traits.keyboardAppearance = UIKeyboardAppearance::Dark;
    addSection({phone});
    reload();
    auto cell = cellAt<FormTableViewNumberCell>(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->textField()->text(), "+49 30");
    EXPECT_EQ(cell->textField()->inputTraits().keyboardType, UIKeyboardType::NumberPad);
    EXPECT_EQ(cell->actionBar()->barStyle(), UIBarStyle::Black);
    ASSERT_TRUE(cell->becomeResponder());
    UIKeyboard::shared().type("12");
    settle();
    EXPECT_EQ(cell->textField()->text(), "+49 301 2");
    EXPECT_EQ(phone->value, "3012");
    UIKeyboard::shared().backspace();
    settle();
    EXPECT_EQ(cell->textField()->text(), "+49 301");
    EXPECT_EQ(phone->value, "301");
}

TEST_F(RowsTest, ThePlaceholderShowsExactlyWhileTheTextIsEmpty) {
    auto notes = FormLongTextItem::itemWithValue("", "Write here");
    addSection({notes});
    reload();
    auto view = cellAt<FormTableViewLongTextCell>(0, 0)->textView();
    EXPECT_TRUE(view->placeholderVisible());
    ASSERT_TRUE(view->becomeFirstResponder());
    UIKeyboard::shared().type("x");
    EXPECT_FALSE(view->placeholderVisible());
    UIKeyboard::shared().backspace();
    EXPECT_TRUE(view->placeholderVisible());
    view->setText("by code");
    EXPECT_FALSE(view->placeholderVisible());
    view->setText("");
    EXPECT_TRUE(view->placeholderVisible());
    auto red = UIColor::redColor();
    view->setPlaceholderColor(red);
    EXPECT_EQ(view->placeholderLabel()->textColor(), red) << "a colour given later reaches the label";
}

TEST_F(RowsTest, TurningEnabledOffGreysAVisibleRowAtOnce) {
    auto name = FormTextItem::itemWithTitle("Name", "x");
    auto notes = FormLongTextItem::itemWithTitle("Notes", "y", std::nullopt);
    addSection({name, notes});
    reload();
    auto text = cellAt<FormTableViewTextCell>(0, 0);
    auto longText = cellAt<FormTableViewLongTextCell>(0, 1);
    name->setEnabled(false);
    notes->setEnabled(false);
    EXPECT_FALSE(text->textField()->isEnabled());
    EXPECT_FALSE(text->textLabel()->isEnabled());
    EXPECT_FALSE(text->isUserInteractionEnabled());
    EXPECT_FALSE(longText->textView()->isUserInteractionEnabled());
    // A cell shown for another item no longer follows the first one.
    auto other = FormTextItem::itemWithTitle("Other", "");
    text->setItem(other);
    name->setEnabled(true);
    EXPECT_FALSE(text->textField()->isEnabled());
    other->setEnabled(true);
    EXPECT_TRUE(text->textField()->isEnabled());
}

}  // namespace
