// Flip transitions (the exchange in the model, the turn on screen over the clock, the completion)
// and the keyboard's own animation curve.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "anim_test_support.h"
#include "platform/ui/animation/ui_view_transition.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"

namespace {

struct TransitionTest : AnimClockTest {
    void SetUp() override {
        AnimClockTest::SetUp();
        UIApplication::resetSharedApplication();
        window = UIWindow::make(CGRect{{0, 0}, {320, 480}});
        window->makeKeyAndVisible();
        holder = UIView::make(CGRectMake(10, 10, 32, 32));
        window->addSubview(holder);
        before = UIView::make(CGRectMake(0, 0, 32, 32));
        after = UIView::make(CGRectMake(0, 0, 32, 32));
        sibling = UIView::make(CGRectMake(0, 0, 4, 4));
        holder->addSubview(before);
        holder->addSubview(sibling);
    }
    void TearDown() override {
        window.reset();
        UIApplication::resetSharedApplication();
        AnimClockTest::TearDown();
    }
    // The turn about the vertical axis the holder shows now, in degrees (0 when flat).
    double presentedTurn() const {
        auto value = CAAnimationEngine::presentedValue(*holder->layer(), "transform");
        const auto& t = std::get<CATransform3D>(value);
        return std::atan2(-t.m13, t.m11) * 180 / M_PI;
    }
    double presentedOpacity(const std::shared_ptr<CALayer>& layer) const {
        return *CAValueNumber(CAAnimationEngine::presentedValue(*layer, "opacity"));
    }
    std::shared_ptr<CALayer> picture() const {
        auto layers = holder->layer()->sublayers();
        return layers.empty() ? nullptr : layers.back();
    }
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<UIView> holder, before, after, sibling;
};

}  // namespace

TEST_F(TransitionTest, TheArrivingViewTakesTheLeavingViewsPlaceAtOnce) {
    UIViewTransition::transitionFromView(before, after, 0.4, UIViewAnimationOptionTransitionFlipFromLeft);
    EXPECT_EQ(before->superview(), nullptr);
    ASSERT_EQ(holder->subviews().size(), 2u);
    EXPECT_EQ(holder->subviews()[0], after) << "same index as the view it replaces";
    EXPECT_EQ(holder->subviews()[1], sibling);
}

TEST_F(TransitionTest, ThePairTurnsAwayThenInOverTheDurationAndCompletesOnce) {
    std::vector<bool> done;
    UIViewTransition::transitionFromView(before, after, 0.4, UIViewAnimationOptionTransitionFlipFromLeft,
                                         [&](bool finished) { done.push_back(finished); });
    auto leaving = picture();
    ASSERT_NE(leaving, nullptr) << "a picture of the leaving view stands in for it in the first half";
    advance(0.1);
    double firstQuarter = presentedTurn();
    EXPECT_NEAR(firstQuarter, 45, 3);
    EXPECT_DOUBLE_EQ(presentedOpacity(leaving), 1);
    EXPECT_DOUBLE_EQ(presentedOpacity(after->layer()), 0);
    advance(0.2);
    EXPECT_NEAR(presentedTurn(), -45, 3) << "the arriving view turns in from the other side";
    EXPECT_DOUBLE_EQ(presentedOpacity(leaving), 0);
    EXPECT_DOUBLE_EQ(presentedOpacity(after->layer()), 1);
    auto t = std::get<CATransform3D>(CAAnimationEngine::presentedValue(*holder->layer(), "transform"));
    EXPECT_NE(t.m34, 0) << "with perspective";
    EXPECT_TRUE(done.empty());
    advance(0.15);
    EXPECT_EQ(done, std::vector<bool>{true});
    EXPECT_NEAR(presentedTurn(), 0, 1e-9);
    EXPECT_EQ(leaving->superlayer(), nullptr) << "the picture goes when the turn ends";
}

TEST_F(TransitionTest, FromTheRightTurnsTheOtherWay) {
    UIViewTransition::transitionFromView(before, after, 0.4, UIViewAnimationOptionTransitionFlipFromRight);
    advance(0.1);
    EXPECT_NEAR(presentedTurn(), -45, 3);
}

TEST_F(TransitionTest, WithoutAFlipOrASuperviewNothingTurns) {
    std::vector<bool> done;
    UIViewTransition::transitionFromView(before, after, 0.4, UIViewAnimationOptionTransitionNone,
                                         [&](bool finished) { done.push_back(finished); });
    EXPECT_EQ(after->superview(), holder);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*holder->layer()));
    auto loose = UIView::make(CGRectZero);
    UIViewTransition::transitionFromView(loose, before, 0.4, UIViewAnimationOptionTransitionFlipFromLeft,
                                         [&](bool finished) { done.push_back(finished); });
    EXPECT_EQ(before->superview(), nullptr);
    // Out of any window there is nothing to watch: the exchange is at once, with no picture left.
    holder->removeFromSuperview();
    UIViewTransition::transitionFromView(after, before, 0.4, UIViewAnimationOptionTransitionFlipFromLeft,
                                         [&](bool finished) { done.push_back(finished); });
    EXPECT_EQ(before->superview(), holder);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*holder->layer()));
    EXPECT_EQ(holder->layer()->sublayers().size(), 2u);
    advance(0);
    EXPECT_EQ(done, (std::vector<bool>{true, false, true}));
}

TEST_F(TransitionTest, TheKeyboardCurveEasesInsteadOfRunningLinearly) {
    auto view = UIView::make(CGRectMake(0, 0, 10, 10));
    window->addSubview(view);
    auto halfWay = [&](UIViewAnimationOptions curve) {
        view->setCenter({0, 0});
        UIViewAnimation::animate(1.0, 0, curve, [&] { view->setCenter({100, 0}); });
        advance(0.5);
        double x = std::get<CGPoint>(CAAnimationEngine::presentedValue(*view->layer(), "position")).x;
        advance(1);
        return x;
    };
    EXPECT_NEAR(halfWay(UIViewAnimationOptionCurveLinear), 50, 0.5);
    double keyboard = halfWay(UIViewAnimationOptionCurveKeyboard);
    EXPECT_GT(keyboard, 80) << "the keyboard's curve covers most of the way by half time";
    UIViewAnimation::beginAnimations();
    UIViewAnimation::setAnimationDuration(1);
    UIViewAnimation::setAnimationCurve(UIViewAnimationCurve::Keyboard);
    view->setCenter({0, 0});
    UIViewAnimation::commitAnimations();
    advance(0.5);
    EXPECT_LT(std::get<CGPoint>(CAAnimationEngine::presentedValue(*view->layer(), "position")).x, 20);
}
