// The stock pop-ups: the message's size rules and taps, the delayed hide against a caller's own
// hide, the tip bubble's taps, and the drawer's height and delegate.
#include <gtest/gtest.h>

#include "platform/ui/control/ui_label.h"
#include "platform/ui/text/attributed_string.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/popup/pop_left_view.h"
#include "ui/popup/pop_message_view.h"
#include "ui/popup/pop_text_view.h"
#include "ui/popup/text_measure_popup.h"

namespace {

std::shared_ptr<NSAttributedString> text(const std::string& s) {
    return NSAttributedString::make(s);
}

struct StockPopups : PopupTest {
    CGPoint centreOf(const std::shared_ptr<UIView>& v) {
        const CGRect r = v->convertRectToView(v->bounds(), nullptr);
        return {CGRectGetMidX(r), CGRectGetMidY(r)};
    }
};

TEST_F(StockPopups, MessageSizeFollowsTheTextWithinItsLimits) {
    auto message = PopMessageView::make(screenVC);
    message->setAttributedText(text("W"));
    const CGSize one = measurePopupText(message->attributedText(), 1000);
    message->setNoPadding(true);
    EXPECT_EQ(message->calcSize(), (CGSize{std::max(one.width, one.height), one.height}))
        << "one character without padding: as tall as the text, never narrower than tall";
    message->setNoPadding(false);
    const CGSize padded = message->calcSize();
    EXPECT_EQ(padded.height, one.height + 15);

    // A narrow screen still allows 200 points of text.
    auto narrow = UIViewController::make();
    narrow->view()->setFrame({{0, 0}, {200, 400}});
    auto squeezed = PopMessageView::make(narrow);
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word ";
    squeezed->setAttributedText(text(words));
    const CGSize wrapped = measurePopupText(squeezed->attributedText(), 200);
    EXPECT_GT(wrapped.width, 180) << "wrapped at 200 points, not at the screen width less 20";
    EXPECT_EQ(squeezed->calcSize().width, std::min<CGFloat>(wrapped.width + 20, 200));

    auto empty = PopMessageView::make(screenVC);
    empty->setAttributedText(text(""));
    empty->show(std::shared_ptr<NSObject>{}, nullptr, nullptr);
    advance(0.5);
}

TEST_F(StockPopups, AMessageWithTapsOnHidesOnlyOnATapOutside) {
    auto message = PopMessageView::make(screenVC);
    message->setAttributedText(text("Saved"));
    message->showAndBGTapHide(std::shared_ptr<NSObject>{}, note("shown"), note("didHide"));
    advance(0.5);
    tap(centreOf(message->container()));
    EXPECT_FALSE(message->hidden());
    tap({5, 5});
    advance(0.5);
    EXPECT_TRUE(message->hidden());
    EXPECT_EQ(log, (std::vector<std::string>{"shown", "didHide"}));
}

TEST_F(StockPopups, ADelayedHideLeavesACallersInterruptedHideItsCompletion) {
    auto message = PopMessageView::make(screenVC);
    message->setAttributedText(text("Hello"));
    message->showAndDelayedHide(std::shared_ptr<NSObject>{}, 2, note("shown"), note("didHide"));
    advance(0.1);
    message->hide(note("caller's hide"));  // interrupts the grow; retried 0.33 s later
    advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"shown", "caller's hide", "didHide"}));
    advance(2);
    EXPECT_EQ(log.size(), 3u) << "the delayed hide finds nothing to hide";

    message->showAndDelayedHide(std::shared_ptr<NSObject>{}, 2, nullptr, note("didHide 2"));
    advance(2.2);
    EXPECT_FALSE(message->hidden());
    advance(0.5);
    EXPECT_TRUE(message->hidden());
    EXPECT_EQ(log.back(), "didHide 2");
}

TEST_F(StockPopups, TheTipHidesOnATapAnywhereWhenTapsAreOn) {
    auto tip = PopTextView::make(screenVC);
    tip->setAttributedText(text("Tap here to change the filter"));
    auto sender = UIView::make();
    sender->setFrame({{100, 400}, {40, 40}});
    root()->addSubview(sender);
    tip->show(sender, nullptr, nullptr);
    advance(0.5);
    tap(centreOf(tip->container()));
    EXPECT_FALSE(tip->hidden()) << "taps start off";

    tip->showAndDelayedOrBGTapHide(
        sender, 5, [] {}, nullptr);
    advance(0.5);
    tap(centreOf(tip->info()));
    advance(0.5);
    EXPECT_TRUE(tip->hidden()) << "the bubble itself hides it";
    EXPECT_GE(tip->size().width, 20);
}

struct DrawerDelegate : PopLeftViewDelegate {
    std::vector<std::string>* log;
    void onPopLeftViewDidShow(PopLeftView&) override { log->push_back("didShow"); }
    void onPopLeftViewWillHide(PopLeftView&) override { log->push_back("willHide"); }
};

TEST_F(StockPopups, TheDrawerOpensEmptyWithoutASideMenuAndTellsItsDelegate) {
    auto drawer = PopLeftView::make(screenVC);
    auto delegate = std::make_shared<DrawerDelegate>();
    delegate->log = &log;
    drawer->setDelegate(delegate);
    drawer->show(std::shared_ptr<NSObject>{});
    EXPECT_EQ(drawer->size(), (CGSize{220, root()->frame().size.height - 150}));
    EXPECT_EQ(drawer->child(), nullptr);
    advance(0.5);
    tap({2, 2});
    advance(0.5);
    EXPECT_EQ(log, (std::vector<std::string>{"didShow", "willHide"}));
    EXPECT_TRUE(drawer->hidden());
}

struct TabletDrawer : TabletToolkitTest {};

TEST_F(TabletDrawer, IsAtMost800High) {
    auto vc = UIViewController::make();
    window->setRootViewController(vc);
    settle();
    auto drawer = PopLeftView::make(vc);
    drawer->updateView();
    EXPECT_EQ(drawer->size().height, std::min<CGFloat>(vc->view()->frame().size.height - 150, 800));
    EXPECT_GT(vc->view()->frame().size.height, 950) << "a tall tablet";
}

}  // namespace
