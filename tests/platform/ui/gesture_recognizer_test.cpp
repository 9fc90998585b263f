// Gesture recognition from synthetic touch sequences: states, locations, arbitration, delegates
// and the rule that controls keep their touches from their ancestors' recognisers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gesture_test_support.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/gesture/ui_long_press_gesture_recognizer.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/gesture/ui_pinch_gesture_recognizer.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"

namespace {

using S = UIGestureRecognizerState;

// A view that handles touches itself and logs them; `control` makes it keep its touches.
struct Pad : UIView, UITouchReceiver {
    using UIView::UIView;
    std::vector<std::string> log;
    bool control = false;
    void touchesBegan(const UITouchSet&, const UIEvent&) override { log.push_back("began"); }
    void touchesMoved(const UITouchSet&, const UIEvent&) override { log.push_back("moved"); }
    void touchesEnded(const UITouchSet&, const UIEvent&) override { log.push_back("ended"); }
    void touchesCancelled(const UITouchSet&, const UIEvent&) override { log.push_back("cancelled"); }
    bool takesTouchesBeforeAncestorRecognizers() const override { return control; }
};

struct Gate : UIGestureRecognizerDelegate {
    bool begin = true, receive = true, together = false;
    bool gestureRecognizerShouldBegin(UIGestureRecognizer&) override { return begin; }
    bool shouldReceiveTouch(UIGestureRecognizer&, const UITouch&) override { return receive; }
    bool shouldRecognizeSimultaneously(UIGestureRecognizer&, UIGestureRecognizer&) override { return together; }
};

std::vector<S> states;
void record(UIGestureRecognizer& r) {
    states.push_back(r.state());
}

struct GestureRecognizerTest : GestureTouchTest {
    void SetUp() override {
        GestureTouchTest::SetUp();
        states.clear();
        view = UIView::make(CGRect{{0, 0}, {320, 480}});
        window->addSubview(view);
    }
    std::shared_ptr<UIView> view;
};

}  // namespace

TEST_F(GestureRecognizerTest, TapRecognisesOnLiftAndFailsWhenTheFingerWanders) {
    auto tapRec = UITapGestureRecognizer::make(record);
    UIViewAddGestureRecognizer(*view, tapRec);
    tap({100, 100});
    EXPECT_EQ(states, std::vector<S>{S::Ended});
    EXPECT_EQ(tapRec->locationInView(view), (CGPoint{100, 100}));
    EXPECT_EQ(tapRec->state(), S::Possible);  // ready for the next one
    drag({100, 100}, {100, 140});
    EXPECT_EQ(states.size(), 1u);
    advance(1);
    tap({50, 50});  // works again after a failure
    EXPECT_EQ(states.size(), 2u);
}

TEST_F(GestureRecognizerTest, DoubleTapNeedsTheSecondTapInTime) {
    auto doubleTap = UITapGestureRecognizer::make(record);
    doubleTap->setNumberOfTapsRequired(2);
    UIViewAddGestureRecognizer(*view, doubleTap);
    tap({100, 100});
    advance(0.1);
    tap({102, 101});
    EXPECT_EQ(states, std::vector<S>{S::Ended});
    advance(1);
    tap({100, 100});
    advance(0.5);  // too late: the first tap failed on its own
    EXPECT_EQ(doubleTap->state(), S::Possible);
    tap({100, 100});
    EXPECT_EQ(states.size(), 1u);
}

TEST_F(GestureRecognizerTest, LongPressBeginsAfterTheMinimumDurationChangesAndEnds) {
    auto press = UILongPressGestureRecognizer::make(record);
    UIViewAddGestureRecognizer(*view, press);
    send(1, {50, 50}, UITouchPhase::Began);
    advance(0.4);
    EXPECT_TRUE(states.empty());
    advance(0.2);
    EXPECT_EQ(states, std::vector<S>{S::Began});
    send(1, {80, 50}, UITouchPhase::Moved);  // once begun, movement is allowed
    send(1, {80, 50}, UITouchPhase::Ended);
    EXPECT_EQ(states, (std::vector<S>{S::Began, S::Changed, S::Ended}));
    EXPECT_EQ(press->state(), S::Possible);
    // Released early, or moved too far before the time: nothing.
    states.clear();
    tap({50, 50});
    advance(1);
    drag({50, 50}, {50, 90}, 0.2, 4, false);
    advance(1);
    send(1, {50, 90}, UITouchPhase::Ended);
    EXPECT_TRUE(states.empty());
}

TEST_F(GestureRecognizerTest, PanReportsTranslationAndVelocityAndEdgePanOnlyFromTheEdge) {
    std::vector<CGPoint> translations;
    CGPoint velocity;
    std::shared_ptr<UIPanGestureRecognizer> pan;
    pan = UIPanGestureRecognizer::make([&](UIGestureRecognizer& r) {
        states.push_back(r.state());
        translations.push_back(pan->translationInView(view));
        velocity = pan->velocityInView(view);
    });
    UIViewAddGestureRecognizer(*view, pan);
    drag({100, 100}, {200, 100}, 0.5, 10, false);
    EXPECT_EQ(states.front(), S::Began);
    EXPECT_NEAR(translations.back().x, 100, 1e-9);
    EXPECT_NEAR(velocity.x, 200, 1e-6);  // 10 points every 0.05 s
    send(1, {200, 100}, UITouchPhase::Ended);
    EXPECT_EQ(states.back(), S::Ended);
    EXPECT_NEAR(velocity.x, 200, 1e-6);

    UIViewRemoveGestureRecognizer(*view, pan);
    states.clear();
    auto edge = UIScreenEdgePanGestureRecognizer::make(record);
    edge->setEdges(UIRectEdgeLeft);
    UIViewAddGestureRecognizer(*view, edge);
    drag({160, 100}, {260, 100});
    EXPECT_TRUE(states.empty());
    drag({5, 100}, {105, 100});
    EXPECT_EQ(states.front(), S::Began);
    EXPECT_EQ(states.back(), S::Ended);
}

TEST_F(GestureRecognizerTest, PinchScalesWithTheDistanceBetweenTwoFingers) {
    std::shared_ptr<UIPinchGestureRecognizer> pinch;
    std::vector<CGFloat> scales;
    pinch = UIPinchGestureRecognizer::make([&](UIGestureRecognizer& r) {
        states.push_back(r.state());
        scales.push_back(pinch->scale());
    });
    UIViewAddGestureRecognizer(*view, pinch);
    send2({110, 200}, {210, 200}, UITouchPhase::Began);
    for (int i = 1; i <= 5; ++i) {
        advance(0.02);
        send2({110 - 10.0 * i, 200}, {210 + 10.0 * i, 200}, UITouchPhase::Moved);
    }
    send2({60, 200}, {260, 200}, UITouchPhase::Ended);
    EXPECT_EQ(states.front(), S::Began);
    EXPECT_EQ(states.back(), S::Ended);
    EXPECT_NEAR(scales.back(), 2.0, 1e-9);
}

TEST_F(GestureRecognizerTest, ControlsKeepTheirTouchesFromAncestorRecognisers) {
    int taps = 0;
    UIViewAddGestureRecognizer(*view, UITapGestureRecognizer::make([&](UIGestureRecognizer&) { ++taps; }));
    auto button = make<Pad>(CGRect{{10, 10}, {50, 50}});
    button->control = true;
    view->addSubview(button);
    tap({20, 20});
    EXPECT_EQ(taps, 0);
    EXPECT_EQ(button->log, (std::vector<std::string>{"began", "ended"}));
    advance(1);
    tap({200, 200});
    EXPECT_EQ(taps, 1);

    // A plain touch-handling view loses its touches when the recogniser above it recognises.
    auto pad = make<Pad>(CGRect{{100, 10}, {50, 50}});
    view->addSubview(pad);
    advance(1);
    tap({110, 20});
    EXPECT_EQ(taps, 2);
    EXPECT_EQ(pad->log, (std::vector<std::string>{"began", "cancelled"}));
}

TEST_F(GestureRecognizerTest, DelegatesGateBeginningReceivingAndRunningTogether) {
    auto gate = std::make_shared<Gate>();
    auto inner = UIView::make(CGRect{{0, 0}, {200, 200}});
    view->addSubview(inner);
    std::vector<std::string> log;
    auto a = UIPanGestureRecognizer::make([&](UIGestureRecognizer& r) {
        if (r.state() == S::Began) log.push_back("inner");
    });
    auto b = UIPanGestureRecognizer::make([&](UIGestureRecognizer& r) {
        if (r.state() == S::Began) log.push_back("outer");
    });
    UIViewAddGestureRecognizer(*inner, a);
    UIViewAddGestureRecognizer(*view, b);
    drag({50, 50}, {150, 50});
    EXPECT_EQ(log, std::vector<std::string>{"inner"});  // the first to begin wins
    a->setDelegate(gate);
    gate->together = true;
    log.clear();
    drag({50, 50}, {150, 50});
    EXPECT_EQ(log, (std::vector<std::string>{"inner", "outer"}));
    gate->begin = false;
    log.clear();
    drag({50, 50}, {150, 50});
    EXPECT_EQ(log, std::vector<std::string>{"outer"});
    gate->begin = true;
    gate->receive = false;
    log.clear();
    a->setEnabled(false);
    b->setEnabled(false);
    drag({50, 50}, {150, 50});
    EXPECT_TRUE(log.empty());
}

TEST_F(GestureRecognizerTest, StrayInputIsIgnored) {
    int taps = 0;
    UIViewAddGestureRecognizer(*view, UITapGestureRecognizer::make([&](UIGestureRecognizer&) { ++taps; }));
    send(7, {10, 10}, UITouchPhase::Moved);  // never began
    send(8, {10, 10}, UITouchPhase::Ended);
    send(9, {1000, 1000}, UITouchPhase::Began);  // outside every window
    send(9, {1000, 1000}, UITouchPhase::Ended);
    EXPECT_EQ(taps, 0);
    EXPECT_EQ(UITouchDispatcher::shared()->activeTouchCount(), 0u);
    // The view goes away in the middle of a touch.
    auto doomed = UIView::make(CGRect{{0, 0}, {50, 50}});
    view->addSubview(doomed);
    auto rec = UITapGestureRecognizer::make([&](UIGestureRecognizer&) { ++taps; });
    UIViewAddGestureRecognizer(*doomed, rec);
    send(1, {10, 10}, UITouchPhase::Began);
    doomed->removeFromSuperview();
    doomed.reset();
    send(1, {10, 10}, UITouchPhase::Ended);
    EXPECT_EQ(UITouchDispatcher::shared()->activeTouchCount(), 0u);
}

TEST_F(GestureRecognizerTest, ViewsInAnAnimationBlockTakeTouchesOnlyWhenAllowed) {
    std::vector<std::string> log;
    UIViewAddGestureRecognizer(*view,
                               UITapGestureRecognizer::make([&](UIGestureRecognizer&) { log.push_back("back"); }));
    auto toast = UIView::make(CGRect{{50, 50}, {100, 100}});
    UIViewAddGestureRecognizer(*toast,
                               UITapGestureRecognizer::make([&](UIGestureRecognizer&) { log.push_back("toast"); }));
    view->addSubview(toast);
    UIViewAnimation::animate(1.0, 0, 0, [&] { toast->setAlpha(0.5); });
    tap({100, 100});
    EXPECT_EQ(log, std::vector<std::string>{"back"});
    EXPECT_TRUE(toast->isUserInteractionEnabled());  // only passed by, not changed
    advance(0.5);
    UIViewAnimation::animate(1.0, 0, UIViewAnimationOptionAllowUserInteraction, [&] { toast->setAlpha(1); });
    advance(0.1);
    ASSERT_TRUE(CAAnimationEngine::hasAnimations(*toast->layer()));
    tap({100, 100});
    EXPECT_EQ(log, (std::vector<std::string>{"back", "toast"}));
    advance(2);  // finished: taps reach it again
    tap({100, 100});
    EXPECT_EQ(log.back(), "toast");
}

TEST_F(GestureRecognizerTest, IllegalStateMovesAreIgnored) {
    auto pan = UIPanGestureRecognizer::make(record);
    pan->setState(S::Changed);  // not begun
    pan->setState(S::Cancelled);
    EXPECT_EQ(pan->state(), S::Possible);
    pan->setState(S::Began);
    pan->setState(S::Failed);  // too late to fail
    EXPECT_EQ(pan->state(), S::Began);
    pan->setState(S::Changed);
    pan->setState(S::Ended);
    pan->setState(S::Changed);  // over
    EXPECT_EQ(states, (std::vector<S>{S::Began, S::Changed, S::Ended}));
    pan->resetIfIdle();
    EXPECT_EQ(pan->state(), S::Possible);
}

TEST_F(GestureRecognizerTest, ExclusiveTouchViewsKeepTheWindowToThemselves) {
    auto left = make<Pad>(CGRect{{0, 0}, {100, 100}});
    auto right = make<Pad>(CGRect{{200, 0}, {100, 100}});
    view->addSubview(left);
    view->addSubview(right);
    left->setExclusiveTouch(true);
    // A second finger elsewhere is ignored while the exclusive view is touched.
    send(1, {50, 50}, UITouchPhase::Began);
    send(2, {250, 50}, UITouchPhase::Began);
    send(2, {250, 50}, UITouchPhase::Ended);
    send(1, {50, 50}, UITouchPhase::Ended);
    EXPECT_EQ(left->log, (std::vector<std::string>{"began", "ended"}));
    EXPECT_TRUE(right->log.empty());
    // The exclusive view is not joined while another view is touched.
    left->log.clear();
    send(2, {250, 50}, UITouchPhase::Began);
    send(1, {50, 50}, UITouchPhase::Began);
    send(1, {50, 50}, UITouchPhase::Ended);
    send(2, {250, 50}, UITouchPhase::Ended);
    EXPECT_TRUE(left->log.empty());
    EXPECT_EQ(right->log, (std::vector<std::string>{"began", "ended"}));
    // Without the flag both are touched together.
    left->setExclusiveTouch(false);
    right->log.clear();
    send(1, {50, 50}, UITouchPhase::Began);
    send(2, {250, 50}, UITouchPhase::Began);
    EXPECT_EQ(left->log, std::vector<std::string>{"began"});
    EXPECT_EQ(right->log, std::vector<std::string>{"began"});
}

TEST_F(GestureRecognizerTest, AViewWithoutMultipleTouchKeepsToItsFirstTouch) {
    auto pad = make<Pad>(CGRect{{0, 0}, {200, 100}});
    auto inner = make<Pad>(CGRect{{100, 0}, {100, 100}});
    auto other = make<Pad>(CGRect{{0, 200}, {100, 100}});
    view->addSubview(pad);
    pad->addSubview(inner);
    view->addSubview(other);
    pad->setMultipleTouchEnabled(false);
    // A second finger on the view, or on a subview of it, is dropped for its whole life.
    send(1, {50, 50}, UITouchPhase::Began);
    send(2, {150, 50}, UITouchPhase::Began);
    send(2, {160, 50}, UITouchPhase::Moved);
    send(2, {160, 50}, UITouchPhase::Ended);
    // A finger on another view still lands.
    send(3, {50, 250}, UITouchPhase::Began);
    send(3, {50, 250}, UITouchPhase::Ended);
    send(1, {50, 50}, UITouchPhase::Ended);
    EXPECT_EQ(pad->log, (std::vector<std::string>{"began", "ended"}));
    EXPECT_TRUE(inner->log.empty());
    EXPECT_EQ(other->log, (std::vector<std::string>{"began", "ended"}));
    // Once free, the view takes a touch again; with the flag on it takes two at once.
    pad->log.clear();
    send(2, {150, 50}, UITouchPhase::Began);
    send(2, {150, 50}, UITouchPhase::Ended);
    EXPECT_EQ(inner->log, (std::vector<std::string>{"began", "ended"}));
    pad->setMultipleTouchEnabled(true);
    send(1, {50, 50}, UITouchPhase::Began);
    send(2, {150, 50}, UITouchPhase::Began);
    EXPECT_EQ(pad->log, std::vector<std::string>{"began"});
    EXPECT_EQ(inner->log, (std::vector<std::string>{"began", "ended", "began"}));
}
