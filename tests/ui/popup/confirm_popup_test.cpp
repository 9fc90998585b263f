// The yes/no box: its width, the countdown and its No answer, and one answer per showing
// whichever way it closes.
#include <gtest/gtest.h>

#include "platform/ui/text/attributed_string.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/popup/pop_confirm_view.h"
#include "ui/popup/text_measure_popup.h"
#include "widgets/button/icon_button.h"

namespace {

struct Confirm : PopupTest {
    std::shared_ptr<PopConfirmView> box;
    void SetUp() override {
        PopupTest::SetUp();
        box = PopConfirmView::make(screenVC);
        box->setAttributedText(NSAttributedString::make("Delete the photo?"));
    }
    std::string noTitle() { return box->btnNo()->titleForState(UIControlStateNormal).value_or(""); }
    void ask(int seconds) { box->show(std::shared_ptr<NSObject>{}, seconds, note("yes"), note("no")); }
};

TEST_F(Confirm, TheCountdownEndsInNo) {
    ask(0);
    advance(0.3);  // the grow
    advance(1);
    EXPECT_EQ(noTitle(), "No (0)");
    EXPECT_TRUE(log.empty());
    advance(1);
    EXPECT_EQ(noTitle(), "No (-1)");
    EXPECT_EQ(log, (std::vector<std::string>{"no"}));
    advance(0.5);
    EXPECT_TRUE(box->hidden());
    advance(3);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(Confirm, EachShowingGivesOneAnswerWhicheverWayItCloses) {
    ask(5);
    advance(1.5);
    box->btnYes()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    box->btnNo()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(10);
    EXPECT_EQ(log, (std::vector<std::string>{"yes"})) << "Yes stops the countdown";

    ask(1);
    advance(0.5);
    tap({3, 3});
    advance(5);
    EXPECT_EQ(log, (std::vector<std::string>{"yes", "no"})) << "a tap outside is a No";

    ask(1);
    advance(1.5);
    box->hide(nullptr);
    advance(5);
    EXPECT_FALSE(box->counting());
    EXPECT_EQ(log.size(), 2u) << "a hidden box answers nothing later";
}

TEST_F(Confirm, WidthIsTheQuestionPlus50WithinTheScreensShorterSide) {
    box->updateView();
    const CGFloat w = measurePopupText(box->attributedText(), 1000).width;
    EXPECT_EQ(box->size().width, std::max<CGFloat>(280, w + 50));

    auto small = UIViewController::make();
    small->view()->setFrame({{0, 0}, {260, 500}});
    auto narrow = PopConfirmView::make(small);
    narrow->setAttributedText(NSAttributedString::make(std::string(300, 'x')));
    narrow->updateView();
    EXPECT_EQ(narrow->size().width, 280);
    narrow->setAttributedText(NSAttributedString::make("Yes"));
    narrow->updateView();
    EXPECT_EQ(narrow->size().width, 240);
}

}  // namespace
