// The number layout and the formatted field: patterns, deleting, entered digits, and typing
// through the keyboard with the layout one main-queue turn later.
#include "settings/form/form_formatted_number_field.h"
#include "settings/form/form_number_format.h"
#include "tests/platform/ui/controller_test_support.h"

namespace {

TEST(NumberFormat, LaysDigitsIntoThePattern) {
    struct Case {
        const char *text, *pattern, *expected;
    };
    const Case cases[] = {
        {"12", "XXX-XX", "12"},
        {"123", "XXX-XX", "123-"},
        {"12345", "XXX-XX", "123-45"},
        {"123456", "XXX-XX", "123-45"},
        {"1", "(XXX)", "(1"},
        {"123", "(XXX)", "(123)"},
        {"5", "abc", "abc"},
        {"123", "", "123"},
        {"", "XXX", ""},
        {"1a2-3", "XX XX", "12 3"},
        {"1234", "+7 XXX", "+7 123"},
        {"\xF0\x9F\x98\x80"
         "12",
         "XX", "12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(form_stringWithNumberFormat(c.text, c.pattern), c.expected) << c.text << " in " << c.pattern;
    // A paste far longer than the pattern keeps only as many digits as it has places.
    EXPECT_EQ(form_stringWithNumberFormat(std::string(5000, '9'), "XXXX XXXX"), "9999 9999");
    EXPECT_EQ(form_string(std::nullopt, "XX"), "");
}

TEST(NumberFormat, EnteredDigitsSkipTheFixedDigitsOfThePattern) {
    EXPECT_EQ(form_unformattedText("+7 123", std::string("+7 XXX")), "123");
    EXPECT_EQ(form_unformattedText("123-45", std::string("XXX-XX")), "12345");
    EXPECT_EQ(form_unformattedText("12a3", std::nullopt), "123");
    // Text set from outside that is longer than the pattern is read only up to the pattern's end.
    EXPECT_EQ(form_unformattedText("1234567890", std::string("XX")), "12");
}

struct NumberFieldTest : UIHarness {
    std::shared_ptr<FormFormattedNumberField> field;
    void SetUp() override {
        UIHarness::SetUp();
        field = FormFormattedNumberField::make(CGRectMake(10, 10, 200, 30));
        window->addSubview(field);
    }
};

// A user's delegate that notes the questions it hears.
struct NotingDelegate : UITextFieldDelegate {
    std::vector<std::string> heard;
    bool textFieldShouldBeginEditing(UITextField&) override {
        heard.push_back("begin");
        return true;
    }
    bool shouldChangeCharactersInRange(UITextField&, NSRange, const std::string& t) override {
        heard.push_back("change " + t);
        return true;
    }
    bool textFieldShouldReturn(UITextField&) override {
        heard.push_back("return");
        return true;
    }
};

TEST_F(NumberFieldTest, TypedDigitsAreLaidOutOneTurnLaterExactlyOnce) {
    field->setFormat(std::string("XXX-XX"));
    int changes = 0;
    field->addAction([&](UIControl&) { ++changes; }, UIControlEventEditingChanged);
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_EQ(field->inputTraits().keyboardType, UIKeyboardType::NumberPad);
    for (const char* d : {"1", "2", "3"}) {
        UIKeyboard::shared().type(d);
        settle();
    }
    EXPECT_EQ(field->text(), "123-");
    UIKeyboard::shared().type("4");
    EXPECT_EQ(field->text(), "123-4") << "not laid out before the main queue turns";
    changes = 0;
    settle();
    EXPECT_EQ(field->text(), "123-4");
    EXPECT_EQ(changes, 1) << "the layout announces itself once and then stops";
    UIKeyboard::shared().type("x");
    UIKeyboard::shared().type("\xF0\x9F\x98\x80");
    UIKeyboard::shared().type("5678");
    settle();
    EXPECT_EQ(field->text(), "123-45");
    EXPECT_EQ(field->unformattedText(), "12345");
}

TEST_F(NumberFieldTest, DeletingTakesTheSeparatorsBeforeTheLastDigit) {
    field->setFormat(std::string("XXX-XX"));
    field->setText("123-4");
    field->deleteBackward();
    EXPECT_EQ(field->text(), "123");
    field->setText("1");
    field->deleteBackward();
    EXPECT_EQ(field->text(), "");
    // A text set from outside that runs past the pattern is cut at the pattern's last digit place.
    field->setText("123-456789");
    field->deleteBackward();
    EXPECT_EQ(field->text(), "123-45");
    // Without a pattern a backspace removes one character.
    field->setFormat(std::nullopt);
    field->setText("9876");
    field->deleteBackward();
    EXPECT_EQ(field->text(), "987");
}

TEST_F(NumberFieldTest, TheUsersDelegateHearsEveryOtherQuestion) {
    auto user = std::make_shared<NotingDelegate>();
    field->setDelegate(user);
    EXPECT_EQ(field->delegate(), user);
    ASSERT_TRUE(field->becomeFirstResponder());
    field->setText("12");
    // A one-character deletion is the field's own; a two-character replacement of one goes on.
    EXPECT_FALSE(field->replaceRange({1, 1}, ""));
    EXPECT_EQ(field->text(), "1");
    EXPECT_TRUE(field->replaceRange({0, 1}, "34"));
    UIKeyboard::shared().pressReturn();
    EXPECT_EQ(user->heard, (std::vector<std::string>{"begin", "change 34", "return"}));
}

TEST_F(NumberFieldTest, APatternOfLiteralsOnlyKeepsNoDigit) {
    field->setFormat(std::string("--"));
    ASSERT_TRUE(field->becomeFirstResponder());
    UIKeyboard::shared().type("7");
    settle();
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(field->unformattedText(), "");
}

}  // namespace
