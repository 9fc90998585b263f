// The address field: typed text made an address, the clear button, and flags set while editing.
#include <gtest/gtest.h>

#include "app/web/my_safari_url_field.h"
#include "app/web/typed_address.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/input/keyboard.h"
#include "tests/app/app_test_support.h"
#include "ui/controls/anim_button.h"

namespace {

TEST(TypedAddress, TextBecomesAnAddressOrAWebSearch) {
    struct Row {
        const char* typed;
        const char* address;
    };
    for (Row row : {Row{"example.org", "http://example.org"}, Row{"  example.org/a?b=1 \n", "http://example.org/a?b=1"},
                    Row{"https://a b.example", "https://a b.example"}, Row{"http://x.example", "http://x.example"},
                    Row{"kettle", "http://search.test/search?q=kettle"},
                    Row{"tea.pot recipes", "http://search.test/search?q=tea.pot%20recipes"},
                    Row{"fish & chips", "http://search.test/search?q=fish%20%26%20chips"},
                    Row{"", "http://search.test/search?q="}, Row{"HTTP://UPPER.EXAMPLE", "HTTP://UPPER.EXAMPLE"},
                    Row{"ftp://files.example", "ftp://files.example"}}) {
        EXPECT_EQ(addressFromTypedText(row.typed, "search.test"), row.address) << "typed \"" << row.typed << "\"";
    }
}

struct FieldEvents : MySafariURLFieldDelegate {
    std::vector<std::string> log;
    void onMySafariURLFieldRefresh(MySafariURLField&) override { log.push_back("refresh"); }
    void onMySafariURLFieldText(MySafariURLField&, bool on) override { log.push_back(on ? "text on" : "text off"); }
    void onMySafariURLFieldUrlUpdated(MySafariURLField& f, const std::string& url) override {
        log.push_back("url " + url + (f.modeInput() ? " editing" : " at rest"));
    }
};

struct AddressFieldTest : AppTest {
    std::shared_ptr<MySafariURLField> field;
    std::shared_ptr<FieldEvents> events = std::make_shared<FieldEvents>();
    void SetUp() override {
        AppTest::SetUp();
        field = MySafariURLField::make(CGRectMake(10, 100, 355, 40));
        field->setDelegate(events);
        window->addSubview(field);
        field->setTextLabel("Korva");
        field->setTextInput("http://127.0.0.1/");
        settle();
    }
};

TEST_F(AddressFieldTest, ATapOnTheTitleEditsAndReturnHandsOverTheAddress) {
    EXPECT_FALSE(field->viewNormal()->isHidden());
    EXPECT_TRUE(field->viewInput()->isHidden());
    tap(CGPointMake(187, 120));
    EXPECT_TRUE(field->modeInput());
    EXPECT_TRUE(field->input()->isFirstResponder());
    EXPECT_EQ(field->input()->text(), "http://127.0.0.1/");
    field->input()->setText("example.org");
    field->input()->returnKeyPressed();
    EXPECT_EQ(events->log, (std::vector<std::string>{"url http://example.org at rest"}));
    EXPECT_FALSE(field->input()->isFirstResponder());
    EXPECT_TRUE(field->viewInput()->isHidden());
}

TEST_F(AddressFieldTest, TheClearButtonEmptiesTheFieldAndKeepsTheKeyboard) {
    field->onTapNormal();
    ASSERT_TRUE(field->input()->isFirstResponder());
    field->input()->clear();
    EXPECT_EQ(field->input()->text(), "");
    EXPECT_TRUE(field->input()->isFirstResponder());
    EXPECT_TRUE(field->modeInput());
}

TEST_F(AddressFieldTest, FlagsSetWhileEditingApplyWhenTheTitleShowsAgain) {
    field->onTapNormal();
    field->setHideRefreshButton(true);
    field->setTextLabel("Later");
    EXPECT_FALSE(field->btnRefresh()->isHidden());
    field->onTapInput();  // a tap beside the field ends editing
    EXPECT_FALSE(field->modeInput());
    EXPECT_TRUE(field->btnRefresh()->isHidden());
    EXPECT_EQ(field->lbl()->text(), "Later");
}

TEST_F(AddressFieldTest, TheButtonsReportAndTheTextButtonFlips) {
    field->onText();
    field->onText();
    field->onRefresh();
    EXPECT_EQ(events->log, (std::vector<std::string>{"text on", "text off", "refresh"}));
    field->setModeText(true);
    EXPECT_TRUE(field->btnText()->on());
}

}  // namespace
