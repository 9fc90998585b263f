// Touches that a view handling touches passes on to the next handler up the tree: the view around
// it hears every phase, a moving scroll view stops under a finger that lands on a child, and a
// recogniser that takes the touch cancels it for the child and, passed on, for the ancestor.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gesture_test_support.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"

namespace {

using Log = std::vector<std::string>;

// A child that logs every phase and then passes the touch on, as a tile in a strip does.
struct Passing : UIView, UITouchReceiver {
    using UIView::UIView;
    Log log;
    void touchesBegan(const UITouchSet& t, const UIEvent& e) override { note(UITouchPhase::Began, "began", t, e); }
    void touchesMoved(const UITouchSet& t, const UIEvent& e) override { note(UITouchPhase::Moved, "moved", t, e); }
    void touchesEnded(const UITouchSet& t, const UIEvent& e) override { note(UITouchPhase::Ended, "ended", t, e); }
    void touchesCancelled(const UITouchSet& t, const UIEvent& e) override {
        note(UITouchPhase::Cancelled, "cancelled", t, e);
    }
    void note(UITouchPhase phase, const char* what, const UITouchSet& t, const UIEvent& e) {
        log.push_back(what);
        UITouchPassToNextResponder(*this, phase, t, e);
    }
};

// A scroll view that logs what reaches it and keeps its own handling.
struct LoggingScroll : UIScrollView {
    using UIScrollView::UIScrollView;
    Log log;
    void touchesBegan(const UITouchSet& t, const UIEvent& e) override {
        log.push_back("began");
        UIScrollView::touchesBegan(t, e);
    }
    void touchesMoved(const UITouchSet&, const UIEvent&) override { log.push_back("moved"); }
    void touchesEnded(const UITouchSet&, const UIEvent&) override { log.push_back("ended"); }
    void touchesCancelled(const UITouchSet&, const UIEvent&) override { log.push_back("cancelled"); }
};

struct ForwardingTest : GestureTouchTest {
    void SetUp() override {
        GestureTouchTest::SetUp();
        scroll = make<LoggingScroll>(CGRect{{0, 100}, {320, 100}});
        scroll->setContentSize({2000, 100});
        window->addSubview(scroll);
        for (int i = 0; i < 20; ++i) {
            auto tile = make<Passing>(CGRect{{i * 100.0, 0}, {90, 100}});
            scroll->addSubview(tile);
            tiles.push_back(tile);
        }
    }
    std::shared_ptr<LoggingScroll> scroll;
    std::vector<std::shared_ptr<Passing>> tiles;
};

}  // namespace

TEST_F(ForwardingTest, APassedTouchReachesTheAncestorInEveryPhase) {
    send(1, {45, 150}, UITouchPhase::Began);
    send(1, {46, 150}, UITouchPhase::Moved);
    send(1, {46, 150}, UITouchPhase::Ended);
    EXPECT_EQ(tiles[0]->log, (Log{"began", "moved", "ended"}));
    EXPECT_EQ(scroll->log, (Log{"began", "moved", "ended"}));
    EXPECT_TRUE(tiles[1]->log.empty());
}

TEST_F(ForwardingTest, AFingerLandingOnAChildStopsAMovingStrip) {
    drag({300, 150}, {100, 150}, 0.1, 5);
    advance(0.1);
    ASSERT_TRUE(scroll->isDecelerating());
    CGPoint x = scroll->contentOffset();
    send(2, {150, 150}, UITouchPhase::Began);
    EXPECT_FALSE(scroll->isDecelerating());
    EXPECT_EQ(scroll->contentOffset(), x);
    advance(1);
    EXPECT_EQ(scroll->contentOffset(), x);
    send(2, {150, 150}, UITouchPhase::Ended);
}

TEST_F(ForwardingTest, ARecogniserThatTakesTheTouchCancelsItForBoth) {
    // The child's own tap recogniser: the child and the strip hear the cancel before the action.
    Log order;
    auto tapRec = UITapGestureRecognizer::make(
        [&](UIGestureRecognizer&) { order.push_back("tap after " + tiles[0]->log.back() + "/" + scroll->log.back()); });
    UIViewAddGestureRecognizer(*tiles[0], tapRec);
    tap({45, 150});
    EXPECT_EQ(tiles[0]->log, (Log{"began", "cancelled"}));
    EXPECT_EQ(scroll->log, (Log{"began", "cancelled"}));
    EXPECT_EQ(order, (Log{"tap after cancelled/cancelled"}));

    // The strip's pan: a drag that starts on a child scrolls, and the child and the strip hear
    // the cancel once; nothing after it, not even the lift.
    tiles[0]->log.clear();
    scroll->log.clear();
    advance(1);
    drag({45, 150}, {5, 150}, 0.3, 10);
    EXPECT_GT(scroll->contentOffset().x, 0);
    EXPECT_EQ(tiles[0]->log.front(), "began");
    EXPECT_EQ(tiles[0]->log.back(), "cancelled");
    EXPECT_EQ(std::count(tiles[0]->log.begin(), tiles[0]->log.end(), "cancelled"), 1);
    EXPECT_EQ(tiles[0]->log, scroll->log);
    EXPECT_EQ(order.size(), 1u);  // no tap
}
