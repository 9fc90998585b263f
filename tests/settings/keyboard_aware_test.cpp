// Keyboard-avoiding scroll, table and collection views with the platform keyboard and with
// hand-made keyboard notifications: insets made and given back, the edited field in view and kept
// inside the content, Next between fields, the Return wiring after layout, a tap outside.
#include "form_test_support.h"
#include "platform/dispatch/notification_center.h"
#include "platform/ui/input/ui_text_view.h"
#include "settings/keyboard/keyboard_aware_collection_view.h"
#include "settings/keyboard/keyboard_aware_scroll_view.h"
#include "settings/keyboard/keyboard_aware_table_view.h"

namespace {

struct OwnDelegate : UITextFieldDelegate {};

struct KeyboardAwareTest : UIHarness {
    std::shared_ptr<KeyboardAwareScrollView> scroll;

    void SetUp() override {
        UIHarness::SetUp();
        scroll = KeyboardAwareScrollView::make(CGRectMake(0, 0, 375, 667));
        window->addSubview(scroll);
    }
    std::shared_ptr<UITextField> field(CGRect frame, const std::shared_ptr<UIView>& in = nullptr) {
        auto f = UITextField::make(frame);
        (in ? in : std::static_pointer_cast<UIView>(scroll))->addSubview(f);
        return f;
    }
    // A keyboard notification as the platform posts it, in window coordinates.
    static void post(const char* name, CGRect begin, CGRect end, double duration = 0.25) {
        NSNotificationCenter::defaultCenter()->post(
            name, nullptr,
            Value::dictionary({{UIKeyboardFrameBeginUserInfoKey, keyboardFrameValue(begin)},
                               {UIKeyboardFrameEndUserInfoKey, keyboardFrameValue(end)},
                               {UIKeyboardAnimationDurationUserInfoKey, duration},
                               {UIKeyboardAnimationCurveUserInfoKey, 7}}));
    }
    static CGRect keyboardAt(CGFloat top, CGFloat height = 260) { return CGRectMake(0, top, 375, height); }
    std::shared_ptr<KeyboardAwareState> state() { return keyboardAvoidingState(*scroll); }
};

}  // namespace

TEST_F(KeyboardAwareTest, AFieldNearTheEndComesIntoViewAboveThePlatformKeyboardAndNextMovesOn) {
    scroll->setContentSize({375, 1400});
    auto upper = field(CGRectMake(20, 1200, 300, 40));
    auto lower = field(CGRectMake(20, 1340, 300, 40));
    advance(0.2);
    ASSERT_TRUE(upper->becomeFirstResponder());
    advance(1);
    CGRect keyboard = UIKeyboard::shared().frame();
    ASSERT_GT(keyboard.size.height, 0);
    EXPECT_EQ(scroll->contentInset().bottom, keyboard.size.height);
    EXPECT_EQ(scroll->scrollIndicatorInsets().bottom, keyboard.size.height);
    CGFloat visibleBottom = scroll->contentOffset().y + scroll->bounds().size.height - scroll->contentInset().bottom;
    EXPECT_GE(upper->frame().origin.y, scroll->contentOffset().y);
    EXPECT_LE(CGRectGetMaxY(upper->frame()), visibleBottom);
    EXPECT_EQ(upper->inputTraits().returnKeyType, UIReturnKeyType::Next) << "wired by the view";
    EXPECT_EQ(lower->inputTraits().returnKeyType, UIReturnKeyType::Done);
    UIKeyboard::shared().pressReturn();
    advance(1);
    EXPECT_TRUE(lower->isFirstResponder());
    visibleBottom = scroll->contentOffset().y + scroll->bounds().size.height - scroll->contentInset().bottom;
    EXPECT_LE(CGRectGetMaxY(lower->frame()), visibleBottom + 0.5);
    EXPECT_LE(scroll->contentOffset().y, 1400 - (667 - keyboard.size.height) + 0.5)
        << "not scrolled past the content's end";
    UIKeyboard::shared().pressReturn();
    advance(1);
    EXPECT_FALSE(lower->isFirstResponder()) << "Return on the last field ends the editing";
    EXPECT_EQ(scroll->contentInset().bottom, 0);
    EXPECT_FALSE(state()->keyboardVisible);
}

TEST_F(KeyboardAwareTest, ASecondFrameUpdatesTheInsetButKeepsThePriorOnes) {
    scroll->setContentInset({5, 0, 7, 0});
    scroll->setScrollIndicatorInsets({0, 0, 3, 0});
    scroll->setPagingEnabled(true);
    scroll->setContentSize({375, 2000});
    post(UIKeyboardWillChangeFrameNotification, keyboardAt(667), keyboardAt(407));
    advance(0.5);
    EXPECT_EQ(scroll->contentInset().bottom, 260);
    EXPECT_EQ(scroll->contentInset().top, 5);
    EXPECT_FALSE(scroll->isPagingEnabled());
    post(UIKeyboardWillChangeFrameNotification, keyboardAt(407), keyboardAt(367, 300));
    advance(0.5);
    EXPECT_EQ(scroll->contentInset().bottom, 300);
    EXPECT_EQ(state()->priorInset.bottom, 7) << "the prior inset is the one from before the first";
    post(UIKeyboardWillHideNotification, keyboardAt(367, 300), keyboardAt(667, 300));
    advance(0.5);
    EXPECT_EQ(scroll->contentInset(), (UIEdgeInsets{5, 0, 7, 0}));
    EXPECT_EQ(scroll->scrollIndicatorInsets().bottom, 3);
    EXPECT_TRUE(scroll->isPagingEnabled());
}

TEST_F(KeyboardAwareTest, AViewEndingAboveTheKeyboardsBottomMakesRoomForTheOverlapOnly) {
    scroll->setFrame(CGRectMake(0, 0, 375, 600));
    post(UIKeyboardWillChangeFrameNotification, keyboardAt(667), keyboardAt(407));
    advance(0.5);
    EXPECT_EQ(scroll->contentInset().bottom, 600 - 407);
    // The view grows while the keyboard is up: the overlap is measured again.
    scroll->setFrame(CGRectMake(0, 0, 375, 667));
    EXPECT_EQ(scroll->contentInset().bottom, 260);
}

TEST_F(KeyboardAwareTest, AFieldNearTheTopStaysBelowTheTopInsetAndOneMayAskForTheTop) {
    scroll->setContentInset({30, 0, 0, 0});
    scroll->setContentSize({375, 1400});
    auto top = field(CGRectMake(20, 10, 300, 40));
    ASSERT_TRUE(top->becomeFirstResponder());
    advance(1);
    EXPECT_EQ(scroll->contentOffset().y, -30);
    EXPECT_EQ(KeyboardAware_idealOffsetForView(*scroll, *top, 400), -30);
    struct TopField : UITextField, KeyboardAwareAlwaysTop {
        using UITextField::UITextField;
        bool KeyboardAware_idealOffsetForViewAlwaysTop() const override { return true; }
    };
    auto pinned = make<TopField>(CGRectMake(20, 700, 300, 40));
    scroll->addSubview(pinned);
    EXPECT_EQ(KeyboardAware_idealOffsetForView(*scroll, *pinned, 400), 700);
}

TEST_F(KeyboardAwareTest, NextSkipsWhatCannotBeEditedAndGoesLeftToRightOnOneLine) {
    auto start = field(CGRectMake(10, 100, 100, 30));
    auto hidden = field(CGRectMake(10, 150, 100, 30));
    hidden->setHidden(true);
    auto box = UIView::make(CGRectMake(0, 200, 375, 50));
    scroll->addSubview(box);
    field(CGRectMake(10, 10, 100, 30), box);
    box->setHidden(true);
    auto disabled = field(CGRectMake(10, 260, 100, 30));
    disabled->setEnabled(false);
    auto readOnly = UITextView::make(CGRectMake(10, 300, 200, 60));
    readOnly->setEditable(false);
    scroll->addSubview(readOnly);
    auto right = field(CGRectMake(200, 400, 100, 30));
    auto left = field(CGRectMake(10, 400, 100, 30));
    EXPECT_EQ(KeyboardAware_findNextInputViewAfterView(*start, *scroll), left);
    EXPECT_EQ(KeyboardAware_findNextInputViewAfterView(*left, *scroll), right);
    EXPECT_EQ(KeyboardAware_findNextInputViewAfterView(*right, *scroll), nullptr);
}

TEST_F(KeyboardAwareTest, TheReturnWiringRunsOnceAfterTheLastOfSeveralLayoutsAndSparesOwnDelegates) {
    auto own = std::make_shared<OwnDelegate>();
    auto first = field(CGRectMake(10, 100, 100, 30));
    auto kept = field(CGRectMake(10, 150, 100, 30));
    kept->setDelegate(own);
    auto search = field(CGRectMake(10, 200, 100, 30));
    search->setReturnKeyType(UIReturnKeyType::Search);
    advance(0.5);
    int before = scroll->wiringCount();
    for (int i = 0; i < 3; ++i) {
        scroll->setNeedsLayout();
        scroll->layoutIfNeeded();
        advance(0.05);
    }
    EXPECT_EQ(scroll->wiringCount(), before);
    advance(0.06);
    EXPECT_EQ(scroll->wiringCount(), before + 1);
    EXPECT_EQ(first->delegate(), std::static_pointer_cast<UITextFieldDelegate>(scroll));
    EXPECT_EQ(first->inputTraits().returnKeyType, UIReturnKeyType::Next);
    EXPECT_EQ(kept->delegate(), own);
    EXPECT_EQ(kept->inputTraits().returnKeyType, UIReturnKeyType::Default);
    EXPECT_EQ(search->inputTraits().returnKeyType, UIReturnKeyType::Search);
    // Leaving the window cancels a pending wiring.
    scroll->setNeedsLayout();
    scroll->layoutIfNeeded();
    scroll->removeFromSuperview();
    advance(0.5);
    EXPECT_EQ(scroll->wiringCount(), before + 1);
}

TEST_F(KeyboardAwareTest, AScrollViewWithoutContentSizeGetsOneFromItsSubviewsWhileTheKeyboardIsUp) {
    field(CGRectMake(10, 100, 100, 30));
    field(CGRectMake(10, 500, 200, 50));
    post(UIKeyboardWillChangeFrameNotification, keyboardAt(667), keyboardAt(407));
    advance(0.5);
    EXPECT_EQ(scroll->contentSize(), (CGSize{210, 560}));
    post(UIKeyboardWillHideNotification, keyboardAt(407), keyboardAt(667));
    advance(0.5);
    EXPECT_EQ(scroll->contentSize(), (CGSize{0, 0}));
}

TEST_F(KeyboardAwareTest, ATapOutsideTheFieldsEndsTheEditing) {
    scroll->setContentSize({375, 667});
    auto f = field(CGRectMake(10, 100, 200, 30));
    ASSERT_TRUE(f->becomeFirstResponder());
    advance(1);
    tap({300, 300});
    EXPECT_FALSE(f->isFirstResponder());
}

TEST_F(KeyboardAwareTest, NotificationsWithMissingKeysOrZeroFramesChangeNothing) {
    scroll->setContentSize({375, 900});
    NSNotificationCenter::defaultCenter()->post(UIKeyboardWillChangeFrameNotification, nullptr, Value());
    NSNotificationCenter::defaultCenter()->post(UIKeyboardWillHideNotification, nullptr, Value::dictionary());
    post(UIKeyboardWillChangeFrameNotification, CGRectZero, CGRectZero);
    post(UIKeyboardWillChangeFrameNotification, keyboardAt(667), CGRectMake(0, 0, NAN, 10));
    advance(0.5);
    EXPECT_FALSE(state()->keyboardVisible);
    EXPECT_EQ(scroll->contentInset(), UIEdgeInsetsZero);
}

TEST_F(KeyboardAwareTest, ATableWhoseDelegateIsATableControllerLeavesTheKeyboardToIt) {
    auto controller = UITableViewController::make();
    auto table = KeyboardAwareTableView::make(CGRectMake(0, 0, 375, 667));
    table->setDelegate(controller);
    table->setDataSource(controller);
    window->addSubview(table);
    post(UIKeyboardWillChangeFrameNotification, keyboardAt(667), keyboardAt(407));
    advance(0.5);
    table->setFrame(CGRectMake(0, 0, 375, 600));
    EXPECT_EQ(table->contentInset(), UIEdgeInsetsZero);
    // Without such a delegate, the table makes room itself; so does a collection view.
    auto plain = KeyboardAwareTableView::make(CGRectMake(0, 0, 375, 667));
    auto collection = KeyboardAwareCollectionView::make(CGRectMake(0, 0, 375, 667));
    window->addSubview(plain);
    window->addSubview(collection);
    post(UIKeyboardWillChangeFrameNotification, keyboardAt(667), keyboardAt(407));
    advance(0.5);
    EXPECT_EQ(plain->contentInset().bottom, 260);
    EXPECT_EQ(collection->contentInset().bottom, 260);
    EXPECT_EQ(table->contentInset(), UIEdgeInsetsZero);
    // The classes go by their own names in view dumps.
    EXPECT_EQ(scroll->className(), "KeyboardAwareScrollView");
    EXPECT_EQ(plain->className(), "KeyboardAwareTableView");
    EXPECT_EQ(collection->className(), "KeyboardAwareCollectionView");
    EXPECT_NE(window->recursiveDescription().find("KeyboardAwareCollectionView"), std::string::npos);
}
