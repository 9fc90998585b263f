// Swipe and rotation recognisers: direction, distance and time for a swipe; the turn of two
// fingers in radians, re-based when set to 0, with its velocity.
#include <numbers>

#include "gesture_test_support.h"
#include "platform/ui/gesture/ui_rotation_gesture_recognizer.h"
#include "platform/ui/gesture/ui_swipe_gesture_recognizer.h"

namespace {

struct SwipeCase {
    const char* name;
    std::uint32_t allowed;
    CGPoint to;
    double duration;
    bool recognised;
};

}  // namespace

TEST_F(GestureTouchTest, SwipeNeedsItsDirectionDistanceAndSpeed) {
    for (const SwipeCase& c : {SwipeCase{"down", UISwipeGestureRecognizerDirectionDown, {160, 300}, 0.2, true},
                               SwipeCase{"down or up, going up",
                                         UISwipeGestureRecognizerDirectionDown | UISwipeGestureRecognizerDirectionUp,
                                         {160, 100},
                                         0.2,
                                         true},
                               SwipeCase{"wrong way", UISwipeGestureRecognizerDirectionDown, {160, 100}, 0.2, false},
                               SwipeCase{"sideways", UISwipeGestureRecognizerDirectionDown, {280, 210}, 0.2, false},
                               SwipeCase{"too short", UISwipeGestureRecognizerDirectionDown, {160, 230}, 0.2, false},
                               SwipeCase{"too slow", UISwipeGestureRecognizerDirectionDown, {160, 300}, 1.5, false}}) {
        SCOPED_TRACE(c.name);
        auto view = UIView::make(CGRectMake(0, 0, 320, 480));
        window->addSubview(view);
        int ended = 0;
        auto swipe = UISwipeGestureRecognizer::make([&](UIGestureRecognizer& r) {
            if (r.state() == UIGestureRecognizerState::Ended) ++ended;
        });
        swipe->setDirection(c.allowed);
        UIViewAddGestureRecognizer(*view, swipe);
        drag({160, 200}, c.to, c.duration);
        advance(0.1);
        EXPECT_EQ(ended, c.recognised ? 1 : 0);
        view->removeFromSuperview();
    }
}

TEST_F(GestureTouchTest, RotationFollowsTheLineBetweenTwoFingers) {
    auto view = UIView::make(CGRectMake(0, 0, 320, 480));
    window->addSubview(view);
    std::vector<std::pair<UIGestureRecognizerState, CGFloat>> seen;
    std::shared_ptr<UIRotationGestureRecognizer> rotation;
    bool resetEachTime = false;
    rotation = UIRotationGestureRecognizer::make([&](UIGestureRecognizer& r) {
        seen.emplace_back(r.state(), rotation->rotation());
        if (resetEachTime) rotation->setRotation(0);
    });
    UIViewAddGestureRecognizer(*view, rotation);

    // Fingers 100 points apart about (160, 240), turned a quarter turn clockwise in ten steps.
    auto at = [](double angle, int which) {
        double s = which == 0 ? -1 : 1;
        return CGPoint{160 + s * 50 * std::cos(angle), 240 + s * 50 * std::sin(angle)};
    };
    send2(at(0, 0), at(0, 1), UITouchPhase::Began);
    for (int i = 1; i <= 10; ++i) {
        advance(0.02);
        double a = std::numbers::pi / 2 * i / 10;
        send2(at(a, 0), at(a, 1), UITouchPhase::Moved);
    }
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().first, UIGestureRecognizerState::Began);
    EXPECT_NEAR(seen.back().second, std::numbers::pi / 2, 1e-6);
    EXPECT_GT(rotation->velocity(), 0);

    // Reset to 0 by the handler: each report is the turn since the last one.
    resetEachTime = true;
    seen.clear();
    for (int i = 11; i <= 12; ++i) {
        advance(0.02);
        double a = std::numbers::pi / 2 * i / 10;
        send2(at(a, 0), at(a, 1), UITouchPhase::Moved);
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NEAR(seen[1].second, std::numbers::pi / 20, 1e-6);
    send2(at(0.6 * std::numbers::pi, 0), at(0.6 * std::numbers::pi, 1), UITouchPhase::Ended);
    EXPECT_EQ(seen.back().first, UIGestureRecognizerState::Ended);
}
