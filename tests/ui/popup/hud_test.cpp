// The HUDs: auto-hide against explicit commands, the progress bar, the small indicator that
// follows its sender, and the touches a shown HUD keeps from the views beneath it.
#include <gtest/gtest.h>

#include "platform/ui/app/ui_application.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_progress_view.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/popup/hud_det_view.h"
#include "ui/popup/hud_view.h"
#include "widgets/button/icon_button.h"
#include "widgets/indicator/busy_indicator_view.h"

namespace {

using Huds = PopupTest;

TEST_F(Huds, AnExplicitHideCancelsTheAutoHide) {
    auto hud = HudView::make(screenVC);
    EXPECT_FALSE(hud->shown());
    hud->showWithAutoHide(2.0);
    EXPECT_TRUE(hud->shown());
    EXPECT_EQ(root()->subviews().back(), hud->holder());
    advance(1);
    hud->hide();
    EXPECT_FALSE(hud->shown());
    advance(0.5);
    hud->show();
    advance(1);
    EXPECT_TRUE(hud->shown()) << "the earlier auto-hide must not hide the later showing";
    hud->showWithAutoHide(0.5);
    advance(0.51);
    EXPECT_FALSE(hud->shown());
    EXPECT_EQ(hud->lastCommand(), PopCommand::Hide);

    // A plain show over a pending auto-hide, with no hide between, also stays up.
    hud->showWithAutoHide(1.0);
    hud->show();
    EXPECT_FALSE(hud->autoHidePending());
    advance(1.5);
    EXPECT_TRUE(hud->shown()) << "the HUD vanished on the earlier show's timer";
    auto small = HudAct::make(screenVC);
    small->showWithAutoHide(root(), 1.0);
    small->show(root());
    advance(1.5);
    EXPECT_TRUE(small->shown());
}

TEST_F(Huds, TheProgressBarShowsOnlyWithAProgressShow) {
    auto hud = HudView::make(screenVC);
    hud->showWithProgress();
    EXPECT_FALSE(hud->prog()->isHidden());
    EXPECT_EQ(hud->prog()->progress(), 0);
    hud->setProgress(0.5);
    EXPECT_EQ(hud->prog()->progress(), 0.5);
    hud->show();
    EXPECT_TRUE(hud->prog()->isHidden());
    settle();
    EXPECT_EQ(hud->act()->frame().size, (CGSize{99, 99}));
    EXPECT_EQ(CGRectGetMidY(hud->prog()->frame()), CGRectGetMidY(hud->holder()->bounds()) + 66);
}

TEST_F(Huds, TheSmallIndicatorCoversItsSenderAndFollowsIt) {
    auto hud = HudAct::make(screenVC);
    auto button = UIView::make();
    button->setFrame({{40, 300}, {80, 30}});
    root()->addSubview(button);
    hud->show(button);
    EXPECT_TRUE(hud->shown());
    EXPECT_TRUE(hud->act()->isAnimating());
    EXPECT_EQ(hud->act()->frame(), button->frame());

    hud->show(std::shared_ptr<NSObject>{});
    EXPECT_EQ(hud->act()->frame(), button->frame()) << "a sender without a view keeps the frame";

    hud->show(button);
    button->setFrame({{200, 100}, {80, 30}});
    hud->scheduledLayout();
    advance(0.71);
    advance(0.31);
    EXPECT_EQ(hud->act()->frame(), button->frame());

    hud->showWithAutoHide(button, 1);
    advance(1.01);
    EXPECT_FALSE(hud->shown());
    EXPECT_FALSE(hud->act()->isAnimating());

    auto holder = hud->holder();
    hud.reset();
    EXPECT_EQ(holder->superview(), nullptr);
}

// The last point the arc reaches, or none for an empty path.
std::optional<CGPoint> arcEnd(const HudDetView& hud) {
    std::optional<CGPoint> last;
    if (hud.circle()->path())
        hud.circle()->path()->apply([&](const CGPathElement& e) {
            if (e.type == CGPathElementType::AddCurveToPoint) last = e.points[2];
        });
    return last;
}

struct Cancelled : HudDetViewDelegate {
    int taps = 0;
    void onHudDetViewCancel(HudDetView&) override { ++taps; }
};

TEST_F(Huds, TheDetailHudDrawsItsArcClockwiseFromTheTopAndReportsCancel) {
    auto hud = HudDetView::make(screenVC);
    hud->show();
    EXPECT_FALSE(arcEnd(*hud)) << "nothing at 0";
    hud->setProgress(0.25f);
    ASSERT_TRUE(arcEnd(*hud));
    EXPECT_NEAR(arcEnd(*hud)->x, 52, 1e-3) << "a quarter ends at three o'clock";
    EXPECT_NEAR(arcEnd(*hud)->y, 0, 1e-3);
    hud->setProgress(1);
    EXPECT_NEAR(arcEnd(*hud)->x, 0, 1e-3);
    EXPECT_NEAR(arcEnd(*hud)->y, -52, 1e-3) << "the full circle comes back to the top";
    EXPECT_EQ(hud->circle()->lineWidth(), 6);

    auto cancelled = std::make_shared<Cancelled>();
    hud->setDelegate(cancelled);
    hud->btnCancel()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(cancelled->taps, 1);
    hud->show();
    EXPECT_EQ(hud->progress(), 0) << "each showing starts from nothing";
}

// Each HUD, on its first show and with no layout pass since, takes the touches that follow: a
// button in the status bar's strip, a tap recogniser around it and the bar itself (which would
// take the list up) hear nothing, while the HUD's own cancel button still works.
TEST_F(Huds, AShownHudTakesEveryTouchFromItsFirstShow) {
    const std::vector<std::function<std::shared_ptr<HudTimed>()>> kinds = {
        [&] {
            auto h = HudView::make(screenVC);
            h->show();
            return h;
        },
        [&] {
            auto h = HudAct::make(screenVC);
            h->show(root());
            return h;
        },
        [&] {
            auto h = HudDetView::make(screenVC);
            h->show();
            return h;
        },
    };
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        SCOPED_TRACE("HUD " + std::to_string(k));
        window->setRootViewController(nullptr);
        screenVC = UIViewController::make();
        window->setRootViewController(screenVC);
        settle();
        auto list = UIScrollView::make(root()->bounds());
        list->setContentSize({root()->bounds().size.width, 5000});
        list->setContentOffset({0, 800});
        root()->addSubview(list);
        auto button = UIButton::make(CGRect{{10, 2}, {40, 16}});  // in the 20-point strip
        int buttonTaps = 0, rootTaps = 0;
        button->addAction([&](UIControl&) { ++buttonTaps; }, UIControlEventTouchUpInside);
        root()->addSubview(button);
        UIViewAddGestureRecognizer(*root(), UITapGestureRecognizer::make([&](UIGestureRecognizer&) { ++rootTaps; }));
        settle();

        auto hud = kinds[k]();
        auto touch = [&, id = 7000L](CGPoint at) mutable {
            ++id;
            auto* dispatcher = UITouchDispatcher::shared().get();
            dispatcher->touchEvent({Clock::now(), {{id, at, UITouchPhase::Began}}});
            return dispatcher->touchEvent({Clock::now() + 0.05, {{id, at, UITouchPhase::Ended}}});
        };
        EXPECT_FALSE(touch({30, 10})) << "a tap on the strip over the HUD is not the bar's";
        touch({200, 400});
        RunLoop::main().advance(1);
        EXPECT_EQ(buttonTaps, 0);
        EXPECT_EQ(rootTaps, 0);
        EXPECT_EQ(list->contentOffset().y, 800);
        if (auto det = std::dynamic_pointer_cast<HudDetView>(hud)) {
            auto cancelled = std::make_shared<Cancelled>();
            det->setDelegate(cancelled);
            settle();
            CGPoint middle = det->btnCancel()->convertPointToView(
                {CGRectGetMidX(det->btnCancel()->bounds()), CGRectGetMidY(det->btnCancel()->bounds())}, nullptr);
            touch(middle);
            EXPECT_EQ(cancelled->taps, 1) << "the HUD's own button is above its holder";
        }

        hud->hide();
        touch({30, 10});
        EXPECT_EQ(buttonTaps, 1) << "a hidden HUD takes nothing";
    }
}

}  // namespace
