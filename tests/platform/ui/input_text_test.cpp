// Text fields and views: focus, typing through the delegate, the keyboard sliding in and out with
// its notifications and frames, return key, secure entry, clearing; the search bar's relay.
#include "controller_test_support.h"
#include "platform/dispatch/notification_center.h"
#include "platform/ui/input/ui_search_bar.h"
#include "platform/ui/input/ui_text_field.h"
#include "platform/ui/input/ui_text_view.h"

namespace {

struct KeyboardLog {
    struct Entry {
        std::string name;
        CGRect begin, end;
    };
    std::vector<Entry> entries;
    std::vector<std::shared_ptr<NSObject>> tokens;
    KeyboardLog() {
        for (const char* n : {UIKeyboardWillShowNotification, UIKeyboardDidShowNotification,
                              UIKeyboardWillHideNotification, UIKeyboardDidHideNotification}) {
            tokens.push_back(
                NSNotificationCenter::defaultCenter()->addObserver(n, nullptr, nullptr, [this](const auto& note) {
                    entries.push_back({note->name(), keyboardFrame(note->userInfo(), UIKeyboardFrameBeginUserInfoKey),
                                       keyboardFrame(note->userInfo(), UIKeyboardFrameEndUserInfoKey)});
                }));
        }
    }
    ~KeyboardLog() {
        for (auto& t : tokens) NSNotificationCenter::defaultCenter()->removeObserver(t);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : entries) out.push_back(e.name);
        return out;
    }
};

struct FieldDelegate : UITextFieldDelegate {
    std::vector<std::string> log;
    bool allowEnd = true;
    std::string forbidden = "#";
    void textFieldDidBeginEditing(UITextField&) override { log.push_back("begin"); }
    bool textFieldShouldEndEditing(UITextField&) override { return allowEnd; }
    void textFieldDidEndEditing(UITextField&) override { log.push_back("end"); }
    bool shouldChangeCharactersInRange(UITextField&, NSRange r, const std::string& s) override {
        log.push_back("change " + std::to_string(r.location) + "+" + std::to_string(r.length) + " '" + s + "'");
        return s != forbidden;
    }
    bool textFieldShouldReturn(UITextField&) override {
        log.push_back("return");
        return true;
    }
};

struct InputTest : UIHarness {
    std::shared_ptr<UITextField> field(CGFloat y) {
        auto f = UITextField::make(CGRectMake(20, y, 200, 30));
        window->addSubview(f);
        return f;
    }
};

TEST_F(InputTest, KeyboardSlidesInAndOutWithNotificationsAndFrames) {
    KeyboardLog log;
    auto a = field(100);
    ASSERT_TRUE(a->becomeFirstResponder());
    CGRect end = CGRectMake(0, 667 - 216, 375, 216);
    EXPECT_EQ(log.names(), (std::vector<std::string>{UIKeyboardWillShowNotification}));
    EXPECT_EQ(log.entries[0].begin, CGRectOffset(end, 0, 216));
    EXPECT_EQ(log.entries[0].end, end);
    EXPECT_EQ(UIKeyboard::shared().frame(), end);
    advance(0.3);
    EXPECT_EQ(log.names().back(), UIKeyboardDidShowNotification);
    ASSERT_NE(UIKeyboard::shared().hostView(), nullptr);
    EXPECT_TRUE(UIKeyboard::shared().hostView()->isDescendantOfView(window.get()));

    // Moving the focus to another field keeps the keyboard up.
    auto b = field(200);
    ASSERT_TRUE(b->becomeFirstResponder());
    EXPECT_FALSE(a->isFirstResponder());
    advance(0.3);
    EXPECT_EQ(log.entries.size(), 2u);

    ASSERT_TRUE(b->resignFirstResponder());
    advance(0.3);
    EXPECT_EQ(log.names(), (std::vector<std::string>{UIKeyboardWillShowNotification, UIKeyboardDidShowNotification,
                                                     UIKeyboardWillHideNotification, UIKeyboardDidHideNotification}));
    EXPECT_EQ(log.entries[2].begin, end);
    EXPECT_EQ(log.entries[2].end, CGRectOffset(end, 0, 216));
    EXPECT_FALSE(UIKeyboard::shared().isVisible());
    EXPECT_EQ(UIKeyboard::shared().hostView(), nullptr);
    EXPECT_FALSE(UIKeyboard::shared().type("x"));
}

TEST_F(InputTest, AFocusedFieldThatLeavesTheWindowTakesTheKeyboardWithIt) {
    auto a = field(100);
    ASSERT_TRUE(a->becomeFirstResponder());
    advance(0.3);
    a.reset();  // the window still holds it
    auto b = field(200);
    ASSERT_TRUE(b->becomeFirstResponder());
    b->removeFromSuperview();
    EXPECT_FALSE(b->isFirstResponder());
    advance(0.3);
    EXPECT_FALSE(UIKeyboard::shared().isVisible());
    EXPECT_EQ(UIKeyboard::shared().hostView(), nullptr);
}

TEST_F(InputTest, AccessoryViewsAddToTheKeyboardFrame) {
    KeyboardLog log;
    auto a = field(100);
    auto bar = UIView::make(CGRectMake(0, 0, 375, 44));
    a->setInputAccessoryView(bar);
    ASSERT_TRUE(a->becomeFirstResponder());
    EXPECT_EQ(log.entries[0].end, CGRectMake(0, 667 - 260, 375, 260));
    EXPECT_EQ(bar->superview(), UIKeyboard::shared().hostView());
}

TEST_F(InputTest, TypingAsksTheDelegateAndReportsChanges) {
    auto a = field(100);
    auto delegate = std::make_shared<FieldDelegate>();
    a->setDelegate(delegate);
    int changes = 0;
    a->addAction([&](UIControl&) { ++changes; }, UIControlEventEditingChanged);
    // Not editing: the keyboard has no one to type into.
    EXPECT_FALSE(UIKeyboard::shared().type("no"));
    ASSERT_TRUE(a->becomeFirstResponder());
    UIKeyboard::shared().type("ab");
    UIKeyboard::shared().type("#");
    UIKeyboard::shared().type("\xF0\x9F\x98\x80");  // one character, two UTF-16 units
    EXPECT_EQ(a->text(), "ab\xF0\x9F\x98\x80");
    UIKeyboard::shared().backspace();
    EXPECT_EQ(a->text(), "ab");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"begin", "change 0+0 'ab'", "change 2+0 '#'",
                                                       "change 2+0 '\xF0\x9F\x98\x80'", "change 2+2 ''"}));
    // Ranges outside the text, or splitting a character, are refused without asking.
    EXPECT_FALSE(a->replaceRange({5, 1}, "x"));
    a->setText("\xF0\x9F\x98\x80");
    EXPECT_FALSE(a->replaceRange({1, 1}, "x"));
    EXPECT_EQ(a->text(), "\xF0\x9F\x98\x80");
}

TEST_F(InputTest, ReturnEndsEditingOnlyWhenSomeoneListensForIt) {
    auto a = field(100);
    auto delegate = std::make_shared<FieldDelegate>();
    a->setDelegate(delegate);
    ASSERT_TRUE(a->becomeFirstResponder());
    UIKeyboard::shared().pressReturn();
    EXPECT_TRUE(a->isFirstResponder());
    int exits = 0;
    a->addAction([&](UIControl&) { ++exits; }, UIControlEventEditingDidEndOnExit);
    UIKeyboard::shared().pressReturn();
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(a->isFirstResponder());
    EXPECT_EQ(delegate->log.back(), "end");
}

TEST_F(InputTest, TheDelegateMayKeepTheFocusUnlessEditingIsForced) {
    auto a = field(100), b = field(200);
    auto delegate = std::make_shared<FieldDelegate>();
    a->setDelegate(delegate);
    ASSERT_TRUE(a->becomeFirstResponder());
    delegate->allowEnd = false;
    EXPECT_FALSE(b->becomeFirstResponder());
    EXPECT_TRUE(a->isFirstResponder());
    EXPECT_FALSE(endEditing(*window, false));
    EXPECT_TRUE(endEditing(*window, true));
    EXPECT_FALSE(a->isFirstResponder());
    // A field outside any window cannot take the focus.
    EXPECT_FALSE(UITextField::make()->becomeFirstResponder());
}

TEST_F(InputTest, SecureEntryShowsBulletsAndClearingAsksTheDelegate) {
    auto a = field(100);
    a->setPlaceholder("Password");
    EXPECT_EQ(a->displayedText(), "Password");
    a->setSecureTextEntry(true);
    a->setText("p\xC3\xA4ss");
    EXPECT_EQ(a->displayedText(), "\u2022\u2022\u2022\u2022");
    a->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    EXPECT_FALSE(a->showsClearButton());
    ASSERT_TRUE(a->becomeFirstResponder());
    EXPECT_TRUE(a->showsClearButton());
    EXPECT_TRUE(a->clear());
    EXPECT_EQ(a->text(), "");
    a->setClearsOnBeginEditing(true);
    a->setText("old");
    a->resignFirstResponder();
    ASSERT_TRUE(a->becomeFirstResponder());
    EXPECT_EQ(a->text(), "");
}

struct ViewDelegate : UITextViewDelegate {
    int changes = 0;
    bool shouldChangeTextInRange(UITextView&, NSRange, const std::string& s) override { return s != "!"; }
    void textViewDidChange(UITextView&) override { ++changes; }
};

TEST_F(InputTest, TextViewTypesLineBreaksAndGrowsItsContent) {
    auto view = UITextView::make(CGRectMake(0, 0, 200, 60));
    window->addSubview(view);
    auto delegate = std::make_shared<ViewDelegate>();
    view->setDelegate(delegate);
    ASSERT_TRUE(view->becomeFirstResponder());
    CGFloat oneLine = view->textHeight();
    UIKeyboard::shared().type("line");
    UIKeyboard::shared().pressReturn();
    UIKeyboard::shared().type("!");
    UIKeyboard::shared().type("two");
    EXPECT_EQ(view->text(), "line\ntwo");
    EXPECT_EQ(delegate->changes, 3);
    EXPECT_GT(view->textHeight(), oneLine);
    EXPECT_EQ(view->contentSize().height, view->textHeight());
    view->setEditable(false);
    EXPECT_FALSE(view->isFirstResponder());
    EXPECT_FALSE(view->becomeFirstResponder());
}

struct SearchDelegate : UISearchBarDelegate {
    std::vector<std::string> log;
    void textDidChange(UISearchBar&, const std::string& t) override { log.push_back("text " + t); }
    void searchBarSearchButtonClicked(UISearchBar&) override { log.push_back("search"); }
    void searchBarCancelButtonClicked(UISearchBar&) override { log.push_back("cancel"); }
};

TEST_F(InputTest, SearchBarRelaysTypingSearchAndCancel) {
    auto bar = UISearchBar::make(CGRectMake(0, 20, 375, 56));
    window->addSubview(bar);
    auto delegate = std::make_shared<SearchDelegate>();
    bar->setDelegate(delegate);
    bar->setShowsCancelButton(true);
    ASSERT_TRUE(bar->becomeFirstResponder());
    UIKeyboard::shared().type("cat");
    UIKeyboard::shared().pressReturn();
    bar->tapCancel();
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"text cat", "search", "cancel"}));
    EXPECT_EQ(bar->text(), "cat");
    EXPECT_EQ(bar->searchTextField()->inputTraits().returnKeyType, UIReturnKeyType::Search);
}

}  // namespace
