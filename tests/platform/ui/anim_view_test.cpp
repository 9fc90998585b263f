// View block animations: model and presentation values, completions, interruption, delay,
// layout inside the block, the begin/commit form and springs.
#include <gtest/gtest.h>

#include <vector>

#include "anim_test_support.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"

namespace {

// Places its one subview at a stored x when laid out.
struct Shelf : UIView {
    using UIView::UIView;
    CGFloat x = 0;
    void layoutSubviews() override {
        UIView::layoutSubviews();
        if (!subviews().empty()) subviews()[0]->setFrame({{x, 0}, {10, 10}});
    }
};

struct AnimViewTest : AnimClockTest {
    void SetUp() override {
        AnimClockTest::SetUp();
        UIApplication::resetSharedApplication();
        UIViewAnimation::reset();
        window = UIWindow::make(CGRect{{0, 0}, {320, 480}});
        window->makeKeyAndVisible();
        view = UIView::make(CGRect{{0, 0}, {100, 100}});
        window->addSubview(view);
    }
    void TearDown() override {
        window.reset();
        view.reset();
        UIApplication::resetSharedApplication();
        AnimClockTest::TearDown();
    }
    static double presented(const std::shared_ptr<UIView>& v, const char* key) {
        return *CAValueNumber(CAAnimationEngine::presentedValue(*v->layer(), key));
    }
    static CGPoint presentedPosition(const std::shared_ptr<UIView>& v) {
        return std::get<CGPoint>(CAAnimationEngine::presentedValue(*v->layer(), "position"));
    }
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<UIView> view;
};

}  // namespace

TEST_F(AnimViewTest, ModelJumpsPresentationMovesCompletionOnceAtTheEnd) {
    std::vector<bool> done;
    UIViewAnimation::animate(
        1.0, 0, UIViewAnimationOptionCurveLinear,
        [&] {
            view->setAlpha(0);
            view->setCenter({150, 50});
        },
        [&](bool finished) { done.push_back(finished); });
    EXPECT_EQ(view->alpha(), 0);
    EXPECT_EQ(view->center(), (CGPoint{150, 50}));
    advance(0.5);
    EXPECT_NEAR(presented(view, "opacity"), 0.5, 1e-6);
    EXPECT_NEAR(presentedPosition(view).x, 100, 1e-6);
    EXPECT_TRUE(done.empty());
    advance(0.6);
    EXPECT_EQ(done, std::vector<bool>{true});
    EXPECT_EQ(view->layer()->presentation(), nullptr);
}

TEST_F(AnimViewTest, InterruptedBlockEndsWholeSnapsAndReportsUnfinishedOnce) {
    std::vector<std::string> log;
    UIViewAnimation::animate(
        1.0, 0, UIViewAnimationOptionCurveLinear,
        [&] {
            view->setAlpha(0);
            view->setTransform(CGAffineTransformMakeScale(0.01, 0.01));
        },
        [&](bool f) { log.push_back(f ? "first done" : "first cut"); });
    advance(0.4);
    // A newer animation of alpha takes over from the value on screen.
    UIViewAnimation::animate(
        1.0, 0, UIViewAnimationOptionCurveLinear, [&] { view->setAlpha(1); },
        [&](bool f) { log.push_back(f ? "second done" : "second cut"); });
    EXPECT_EQ(log, std::vector<std::string>{"first cut"});
    EXPECT_FALSE(CAAnimationEngine::isAnimatingKeyPath(*view->layer(), "transform"));  // snapped
    EXPECT_NEAR(presented(view, "opacity"), 0.6, 1e-6);
    advance(0.5);
    EXPECT_NEAR(presented(view, "opacity"), 0.8, 1e-6);
    advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"first cut", "second done"}));

    // Removing the animations of one layer of a block ends the block for its other layers too.
    auto other = UIView::make(CGRect{{0, 0}, {10, 10}});
    window->addSubview(other);
    int cuts = 0;
    UIViewAnimation::animate(
        1.0,
        [&] {
            view->setAlpha(0.5);
            other->setAlpha(0.5);
        },
        [&](bool f) { cuts += f ? 0 : 1; });
    advance(0.2);
    CAAnimationEngine::removeAllAnimations(*view->layer());
    EXPECT_EQ(cuts, 1);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*other->layer()));
    advance(2);
    EXPECT_EQ(cuts, 1);
}

TEST_F(AnimViewTest, LayoutInsideTheBlockAnimatesFramesAndDelayHoldsTheOldValue) {
    auto shelf = make<Shelf>(CGRect{{0, 0}, {300, 20}});
    auto box = UIView::make(CGRect{});
    shelf->addSubview(box);
    window->addSubview(shelf);
    shelf->layoutIfNeeded();
    ASSERT_EQ(box->frame().origin.x, 0);
    UIViewAnimation::animate(1.0, 0.5, UIViewAnimationOptionCurveLinear, [&] {
        shelf->x = 200;
        shelf->setNeedsLayout();
        shelf->layoutIfNeeded();
    });
    EXPECT_EQ(box->frame().origin.x, 200);
    advance(0.4);  // still in the delay: the old place shows
    EXPECT_NEAR(presentedPosition(box).x, 5, 1e-6);
    advance(0.6);  // half-way
    EXPECT_NEAR(presentedPosition(box).x, 105, 1e-6);
}

TEST_F(AnimViewTest, ConstraintConstantChangedInsideTheBlockAnimatesTheFrame) {
    using A = NSLayoutAttribute;
    auto holder = UIView::make(CGRect{{0, 0}, {300, 300}});
    window->addSubview(holder);
    auto box = UIView::make(CGRect{});
    box->setTranslatesAutoresizingMaskIntoConstraints(false);
    holder->addSubview(box);
    auto left = NSLayoutConstraint::constraintWithItem(box, A::Left, NSLayoutRelation::Equal, holder, A::Left, 1, 0);
    holder->addConstraint(left);
    holder->addConstraint(
        NSLayoutConstraint::constraintWithItem(box, A::Top, NSLayoutRelation::Equal, holder, A::Top, 1, 0));
    holder->addConstraint(NSLayoutConstraint::constraintWithItem(box, A::Width, NSLayoutRelation::Equal, nullptr,
                                                                 A::NotAnAttribute, 1, 20));
    holder->addConstraint(NSLayoutConstraint::constraintWithItem(box, A::Height, NSLayoutRelation::Equal, nullptr,
                                                                 A::NotAnAttribute, 1, 20));
    holder->layoutIfNeeded();
    ASSERT_EQ(box->frame(), (CGRect{{0, 0}, {20, 20}}));
    left->setConstant(100);
    UIViewAnimation::animate(0.4, 0, UIViewAnimationOptionCurveLinear, [&] {
        holder->setNeedsLayout();
        holder->layoutIfNeeded();
    });
    EXPECT_EQ(box->frame().origin.x, 100);
    advance(0.1);
    EXPECT_NEAR(presentedPosition(box).x, 10 + 25, 1e-6);
}

TEST_F(AnimViewTest, ZeroDurationDisabledAndNestedBlocks) {
    std::vector<bool> done;
    UIViewAnimation::animate(
        0, [&] { view->setAlpha(0.3); }, [&](bool f) { done.push_back(f); });
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*view->layer()));
    EXPECT_TRUE(done.empty());  // on the next turn
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(done, std::vector<bool>{true});

    // An inner block's changes keep the inner settings; performWithoutAnimation escapes both.
    auto other = UIView::make(CGRect{{0, 0}, {10, 10}});
    window->addSubview(other);
    UIViewAnimation::animate(1.0, 0, UIViewAnimationOptionCurveLinear, [&] {
        view->setAlpha(1);
        UIViewAnimation::animate(0.2, [&] { other->setAlpha(0); });
        UIViewAnimation::performWithoutAnimation([&] { other->setCenter({1, 1}); });
    });
    EXPECT_DOUBLE_EQ(CAAnimationEngine::animationForKey(*view->layer(), "opacity")->duration(), 1.0);
    EXPECT_DOUBLE_EQ(CAAnimationEngine::animationForKey(*other->layer(), "opacity")->duration(), 0.2);
    EXPECT_EQ(CAAnimationEngine::animationForKey(*other->layer(), "position"), nullptr);

    advance(1.1);
    UIViewAnimation::setAnimationsEnabled(false);
    UIViewAnimation::animate(1.0, [&] { view->setAlpha(0.2); });
    UIViewAnimation::setAnimationsEnabled(true);
    advance(0.01);
    EXPECT_NEAR(presented(view, "opacity"), 0.2, 1e-6);
}

TEST_F(AnimViewTest, BeginCommitFormAndSpring) {
    std::vector<std::string> log;
    UIViewAnimation::beginAnimations("message");
    UIViewAnimation::setAnimationCurve(UIViewAnimationCurve::Linear);
    UIViewAnimation::setAnimationDelay(1.0);
    UIViewAnimation::setAnimationDuration(0.7);
    UIViewAnimation::setAnimationDidStopHandler(
        [&](const std::string& n, bool f) { log.push_back(n + (f ? "+" : "-")); });
    view->setAlpha(0);
    UIViewAnimation::commitAnimations();
    UIViewAnimation::commitAnimations();  // unmatched: ignored
    advance(1.35);
    EXPECT_NEAR(presented(view, "opacity"), 0.5, 1e-6);
    advance(0.4);
    EXPECT_EQ(log, std::vector<std::string>{"message+"});

    // An under-damped spring overshoots and lands on the target at the end.
    double peak = 0;
    UIViewAnimation::animateSpring(1.0, 0, 0.3, 0, 0, [&] { view->setCenter({150, 50}); });
    for (int i = 0; i < 20; ++i) {
        advance(0.05);
        peak = std::max(peak, presentedPosition(view).x);
    }
    EXPECT_GT(peak, 150.5);
    advance(0.1);
    EXPECT_EQ(view->layer()->presentation(), nullptr);
    EXPECT_EQ(presentedPosition(view).x, 150);
}

TEST_F(AnimViewTest, KeyframesPassThroughEachValueAndRepeatReversing) {
    auto red = [](const std::shared_ptr<UIView>& v) {
        return std::get<CGColor>(CAAnimationEngine::presentedValue(*v->layer(), "backgroundColor")).red;
    };
    view->setBackgroundColor(UIColor::colorWithRed(0, 0, 0, 1));
    // Red rises to 0.5 over the first half, then to 1 over the second, then back, for ever.
    UIViewAnimation::animateKeyframes(1.0, 0, UIViewAnimationOptionRepeat | UIViewAnimationOptionAutoreverse, [&] {
        UIViewAnimation::addKeyframe(0, 0.5, [&] { view->setBackgroundColor(UIColor::colorWithRed(0.5, 0, 0, 1)); });
        UIViewAnimation::addKeyframe(0.5, 0.5, [&] { view->setBackgroundColor(UIColor::colorWithRed(1, 0, 0, 1)); });
    });
    EXPECT_EQ(view->backgroundColor()->cgColor().red, 1) << "the model takes the last value at once";
    advance(0.25);
    EXPECT_NEAR(red(view), 0.25, 1e-6);
    advance(0.5);
    EXPECT_NEAR(red(view), 0.75, 1e-6);
    advance(0.5);  // 0.25 s into the way back
    EXPECT_NEAR(red(view), 0.75, 1e-6);
    advance(10.5);  // still running: at 11.75 s three quarters of the way back
    EXPECT_NEAR(red(view), 0.25, 1e-6);

    // Two keyframes over the same stretch (replacing the endless one): the later one takes it over.
    std::vector<bool> done;
    view->setBackgroundColor(UIColor::colorWithRed(0, 0, 0, 1));
    UIViewAnimation::animateKeyframes(
        1.0, 0, 0,
        [&] {
            UIViewAnimation::addKeyframe(0, 0.5,
                                         [&] { view->setBackgroundColor(UIColor::colorWithRed(0.2, 0, 0, 1)); });
            UIViewAnimation::addKeyframe(0, 0.5,
                                         [&] { view->setBackgroundColor(UIColor::colorWithRed(0.8, 0, 0, 1)); });
        },
        [&](bool finished) { done.push_back(finished); });
    advance(0.25);
    EXPECT_NEAR(red(view), 0.4, 1e-6);
    advance(0.5);
    EXPECT_NEAR(red(view), 0.8, 1e-6) << "held after its keyframe ends";
    EXPECT_TRUE(done.empty());
    advance(0.5);
    EXPECT_EQ(done, std::vector<bool>{true});

    // Outside a key-frame block a keyframe's changes are made at once.
    UIViewAnimation::addKeyframe(0, 1, [&] { view->setAlpha(0.3); });
    EXPECT_NEAR(presented(view, "opacity"), 0.3, 1e-6);
}
