// The payment card row typed through the keyboard: card types by their first digits and length,
// the caret moving on and the fields sliding as the number completes (by its digits), the month
// guard, the optional code, the expired ribbon around a month's end and the pictures' flips.
#include "form_test_support.h"
#include "platform/text/ns_calendar.h"
#include "settings/form/form_string_measure.h"
#include "settings/form/form_table_view_credit_card_cell.h"

namespace {

struct CreditCardTest : FormHarness {
    std::shared_ptr<FormCreditCardItem> item = FormCreditCardItem::item();
    std::shared_ptr<FormTableViewCreditCardCell> cell;

    void show() {
        addSection({item});
        reload();
        cell = cellAt<FormTableViewCreditCardCell>(0, 0);
        ASSERT_NE(cell, nullptr);
    }
    // Each key on its own turn, so the field lays its digits out between keys.
    void typeSlowly(const std::string& keys) {
        for (char c : keys) {
            UIKeyboard::shared().type(std::string(1, c));
            settle();
        }
        advance(0.5);
    }
    std::shared_ptr<UIView> shownPicture() const {
        auto shown = cell->creditCardImageViewContainer()->subviews();
        return shown.size() == 1 ? shown[0] : nullptr;
    }
    // Moves the clock forward to a moment of the device's calendar.
    static void setClockTo(double absolute) { Clock::setVirtualNow(Clock::now() + (absolute - Clock::absoluteTime())); }
};

std::string digits(std::string prefix, std::size_t count) {
    while (prefix.size() < count) prefix += '1';
    return prefix.substr(0, count);
}

}  // namespace

TEST(CreditCardTypeTest, EachKindFromItsFirstDigitsAndLength) {
    struct Case {
        std::string prefix;
        std::size_t length;
        FormCreditCardType type;
    };
    for (const auto& c : std::vector<Case>{{"4", 13, FormCreditCardType::Visa},
                                           {"51", 15, FormCreditCardType::Mastercard},
                                           {"55", 15, FormCreditCardType::Mastercard},
                                           {"34", 14, FormCreditCardType::AmericanExpress},
                                           {"37", 14, FormCreditCardType::AmericanExpress},
                                           {"6011", 15, FormCreditCardType::Discover},
                                           {"65", 15, FormCreditCardType::Discover}}) {
        SCOPED_TRACE(c.prefix);
        EXPECT_EQ(formCreditCardType(digits(c.prefix, c.length)), c.type);
        EXPECT_EQ(formCreditCardType(digits(c.prefix, c.length - 1)), FormCreditCardType::None);
        EXPECT_EQ(formCreditCardType(digits(c.prefix, 16)), c.type) << "a longer number still matches";
    }
    EXPECT_EQ(formCreditCardType("4111 1111 1111 1"), FormCreditCardType::Visa) << "spaces are ignored";
    EXPECT_EQ(formCreditCardType(digits("56", 16)), FormCreditCardType::None);
    EXPECT_EQ(formCreditCardType(digits("6012", 16)), FormCreditCardType::None);
    EXPECT_EQ(formCreditCardType("abcd efgh"), FormCreditCardType::None);
    EXPECT_FALSE(formCreditCardExpired("13/99", 0));
    EXPECT_FALSE(formCreditCardExpired("ab", 0));
    EXPECT_FALSE(formCreditCardExpired("", 0));
}

TEST_F(CreditCardTest, TheSixteenthDigitMovesTheCaretAndSlidesToTheLastGroupADeleteSlidesBack) {
    show();
    ASSERT_TRUE(cell->creditCardField()->becomeFirstResponder());
    typeSlowly("411111111111111");
    EXPECT_EQ(item->number, "4111 1111 1111 111");
    EXPECT_EQ(item->creditCardType, FormCreditCardType::Visa);
    EXPECT_TRUE(cell->isNumberEditingMode());
    EXPECT_EQ(cell->creditCardField()->frame().origin.x, 0);
    EXPECT_EQ(cell->expirationDateField()->frame().origin.x, 320);
    typeSlowly("1");
    EXPECT_TRUE(cell->expirationDateField()->isFirstResponder());
    EXPECT_FALSE(cell->isNumberEditingMode());
    auto number = cell->creditCardField();
    CGFloat hidden = form_sizeWithFont("4111 1111 1111 ", number->font()).width;
    EXPECT_NEAR(number->frame().origin.x, -hidden, 0.01) << "only the last four characters stay in view";
    EXPECT_NEAR(cell->expirationDateField()->frame().origin.x, CGRectGetMaxX(number->frame()), 0.01);
    EXPECT_NEAR(cell->cvvField()->frame().origin.x, CGRectGetMaxX(cell->expirationDateField()->frame()), 0.01);
    ASSERT_TRUE(number->becomeFirstResponder());
    UIKeyboard::shared().backspace();
    advance(0.5);
    EXPECT_TRUE(cell->isNumberEditingMode());
    EXPECT_EQ(number->frame().origin.x, 0);
    EXPECT_EQ(cell->cvvField()->frame().origin.x, 320);
}

TEST_F(CreditCardTest, AShortNumberShownAgainStaysWideUntilItHasAllItsDigits) {
    item->number = "4111111111111";
    show();
    EXPECT_TRUE(cell->isNumberEditingMode()) << "13 digits are a Visa number, not a complete one";
    EXPECT_EQ(cell->creditCardField()->text(), "4111 1111 1111 1");
    ASSERT_TRUE(cell->creditCardField()->becomeFirstResponder());
    typeSlowly("1");
    EXPECT_TRUE(cell->isNumberEditingMode());
    item->number = "4111 1111 1111 1111";
    reload();
    EXPECT_FALSE(cellAt<FormTableViewCreditCardCell>(0, 0)->isNumberEditingMode());
}

TEST_F(CreditCardTest, AmericanExpressIsCompleteAtFifteenAndKeepsThreeInView) {
    show();
    ASSERT_TRUE(cell->creditCardField()->becomeFirstResponder());
    typeSlowly("37828224631000");
    EXPECT_TRUE(cell->isNumberEditingMode());
    typeSlowly("5");
    EXPECT_FALSE(cell->isNumberEditingMode());
    EXPECT_EQ(item->creditCardType, FormCreditCardType::AmericanExpress);
    auto number = cell->creditCardField();
    std::string text = number->text();
    CGFloat hidden = form_sizeWithFont(text.substr(0, text.size() - 3), number->font()).width;
    EXPECT_NEAR(number->frame().origin.x, -hidden, 0.01);
}

TEST_F(CreditCardTest, TheMonthGuardRefusesMonthsAboveTwelve) {
    show();
    auto expiry = cell->expirationDateField();
    struct Case {
        std::string keys, text;
    };
    for (const auto& c : std::vector<Case>{{"13", "1"}, {"12", "12/"}, {"25", "2"}, {"00", "00/"}, {"09", "09/"}}) {
        SCOPED_TRACE(c.keys);
        expiry->setText("");
        ASSERT_TRUE(expiry->becomeFirstResponder());
        typeSlowly(c.keys);
        EXPECT_EQ(expiry->text(), c.text);
    }
    expiry->setText("");
    typeSlowly("ab12");
    EXPECT_EQ(expiry->text(), "12/");
}

TEST_F(CreditCardTest, ACompleteExpiryMovesOnToTheCodeOnlyWhenOneIsRequired) {
    show();
    ASSERT_TRUE(cell->expirationDateField()->becomeFirstResponder());
    typeSlowly("1229");
    EXPECT_EQ(item->expirationDate, "12/29");
    EXPECT_TRUE(cell->cvvField()->isFirstResponder());
    typeSlowly("1234");
    EXPECT_EQ(item->cvv, "123");

    item->cvvRequired = false;
    item->expirationDate.clear();
    reload();
    cell = cellAt<FormTableViewCreditCardCell>(0, 0);
    EXPECT_TRUE(cell->cvvField()->isHidden());
    ASSERT_TRUE(cell->expirationDateField()->becomeFirstResponder());
    typeSlowly("1229");
    EXPECT_TRUE(cell->expirationDateField()->isFirstResponder());
}

TEST_F(CreditCardTest, TheRibbonMarksLastMonthNotThisMonthAroundTheMonthsEnd) {
    NSCalendar calendar;
    setClockTo(calendar.date(2026, 1, 31, 23, 59, 59));
    item->expirationDate = "01/26";
    show();
    EXPECT_TRUE(cell->ribbonExpired()->isHidden()) << "expiring this month";
    EXPECT_NE(cell->ribbonExpired()->image(), nullptr);
    setClockTo(calendar.date(2026, 2, 1, 0, 0, 0));
    reload();
    EXPECT_FALSE(cellAt<FormTableViewCreditCardCell>(0, 0)->ribbonExpired()->isHidden()) << "expired last month";
    // Leaving the expiry field judges its text again.
    auto expiry = cell->expirationDateField();
    ASSERT_TRUE(expiry->becomeFirstResponder());
    expiry->setText("03/26");
    ASSERT_TRUE(expiry->resignFirstResponder());
    EXPECT_TRUE(cell->ribbonExpired()->isHidden());
    ASSERT_TRUE(expiry->becomeFirstResponder());
    expiry->setText("");
    ASSERT_TRUE(expiry->resignFirstResponder());
    EXPECT_TRUE(cell->ribbonExpired()->isHidden()) << "an empty expiry never shows it";
}

TEST_F(CreditCardTest, PicturesFlipToTheTypeToTheBackForTheCodeAndBack) {
    show();
    EXPECT_EQ(shownPicture(), cell->creditCardStackImageView());
    ASSERT_TRUE(cell->creditCardField()->becomeFirstResponder());
    typeSlowly("511111111111111");
    EXPECT_EQ(item->creditCardType, FormCreditCardType::Mastercard);
    EXPECT_EQ(shownPicture(), cell->creditCardImageView());
    EXPECT_EQ(cell->currentImageView(), cell->creditCardImageView());
    ASSERT_TRUE(cell->cvvField()->becomeFirstResponder());
    advance(0.5);
    EXPECT_EQ(shownPicture(), cell->creditCardBackImageView());
    // Leaving the code for the expiry field turns the front up again after a short delay.
    ASSERT_TRUE(cell->expirationDateField()->becomeFirstResponder());
    advance(0.5);
    EXPECT_EQ(shownPicture(), cell->creditCardImageView());
    ASSERT_TRUE(cell->cvvField()->becomeFirstResponder());
    ASSERT_TRUE(cell->creditCardField()->becomeFirstResponder());
    EXPECT_EQ(shownPicture(), cell->creditCardImageView()) << "the number field turns the front up at once";
    UIKeyboard::shared().backspace();
    advance(0.5);
    UIKeyboard::shared().backspace();
    advance(0.5);
    EXPECT_EQ(item->creditCardType, FormCreditCardType::None);
    EXPECT_EQ(shownPicture(), cell->creditCardStackImageView());
}

TEST_F(CreditCardTest, ARowShownWithAKnownNumberShowsItsTypeAndAReusedCellGoesBackToTheStack) {
    item->number = "5500 0000 0000 0004";
    auto empty = FormCreditCardItem::item();
    addSection({item, empty});
    reload();
    advance(1);
    cell = cellAt<FormTableViewCreditCardCell>(0, 0);
    EXPECT_EQ(shownPicture(), cell->creditCardImageView());
    EXPECT_EQ(cellAt<FormTableViewCreditCardCell>(0, 1)->creditCardImageViewContainer()->subviews().front(),
              cellAt<FormTableViewCreditCardCell>(0, 1)->creditCardStackImageView());
    // The two rows swap their items: each cell now shows the other's picture.
    std::swap(item->number, empty->number);
    reload();
    advance(1);
    EXPECT_EQ(cellAt<FormTableViewCreditCardCell>(0, 0)->creditCardImageViewContainer()->subviews().front(),
              cellAt<FormTableViewCreditCardCell>(0, 0)->creditCardStackImageView());
    auto second = cellAt<FormTableViewCreditCardCell>(0, 1);
    EXPECT_EQ(second->creditCardImageViewContainer()->subviews().front(), second->creditCardImageView());
}
