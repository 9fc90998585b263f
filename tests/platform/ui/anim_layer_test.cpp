// Layer animations on the virtual clock: timing, repeats, fill, speed, keys and completion order.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "anim_test_support.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_layer_actions.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/view/ui_view.h"

namespace {

struct Recorder : CAAnimationDelegate {
    std::vector<std::string>* log;
    std::string name;
    void animationDidStart(CAAnimation&) override { log->push_back(name + " start"); }
    void animationDidStop(CAAnimation&, bool finished) override {
        log->push_back(name + (finished ? " done" : " cut"));
    }
};

double opacityNow(const CALayer& l) {
    return *CAValueNumber(CAAnimationEngine::presentedValue(l, "opacity"));
}

std::shared_ptr<CABasicAnimation> fade(double from, double to, double duration) {
    auto a = CABasicAnimation::animationWithKeyPath("opacity");
    a->setFromValue(from);
    a->setToValue(to);
    a->setDuration(duration);
    return a;
}

}  // namespace

using AnimLayerTest = AnimClockTest;

TEST_F(AnimLayerTest, BasicAnimationShowsPresentationMidFlightAndModelAfterRemoval) {
    auto layer = CALayer::make();
    layer->setOpacity(1);
    CAAnimationEngine::addAnimation(layer, fade(0, 1, 1.0), "fade");
    advance(0.25);
    EXPECT_NEAR(opacityNow(*layer), 0.25, 1e-6);
    ASSERT_NE(layer->presentation(), nullptr);  // what the compositor draws
    EXPECT_NEAR(*layer->presentation()->opacity, 0.25, 1e-6);
    EXPECT_EQ(layer->opacity(), 1.0f);  // the model is untouched
    advance(1.0);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*layer));
    EXPECT_EQ(layer->presentation(), nullptr);
    EXPECT_NEAR(opacityNow(*layer), 1.0, 1e-9);
}

TEST_F(AnimLayerTest, RepeatAutoreverseAndFillForwards) {
    auto layer = CALayer::make();
    auto a = fade(0, 1, 1.0);
    a->setAutoreverses(true);
    a->setRepeatCount(2);  // 4 s in all
    a->setRemovedOnCompletion(false);
    a->setFillMode(CAFillMode::Forwards);
    CAAnimationEngine::addAnimation(layer, a, "pulse");
    advance(0.5);
    EXPECT_NEAR(opacityNow(*layer), 0.5, 1e-6);
    advance(1.0);  // 1.5 s: on the way back
    EXPECT_NEAR(opacityNow(*layer), 0.5, 1e-6);
    advance(0.75);  // 2.25 s: second cycle forward
    EXPECT_NEAR(opacityNow(*layer), 0.25, 1e-6);
    advance(10);
    // Autoreversed, it ends where it began and holds there.
    EXPECT_NEAR(opacityNow(*layer), 0.0, 1e-6);
    EXPECT_EQ(CAAnimationEngine::animationKeys(*layer), std::vector<std::string>{"pulse"});
}

TEST_F(AnimLayerTest, EndlessRepeatsNeverFinishAndCumulativeAccumulates) {
    auto layer = CALayer::make();
    auto spin = CABasicAnimation::animationWithKeyPath("transform.rotation");
    spin->setToValue(M_PI);
    spin->setDuration(0.5);
    spin->setCumulative(true);
    spin->setRepeatCount(3.4028235e38f);
    CAAnimationEngine::addAnimation(layer, spin, "");
    advance(0.75);  // one and a half half-turns
    auto t = std::get<CATransform3D>(CAAnimationEngine::presentedValue(*layer, "transform"));
    EXPECT_NEAR(std::atan2(t.m12, t.m11), -M_PI / 2, 1e-6);  // 1.5 pi, seen as -pi/2
    advance(1000);
    EXPECT_TRUE(CAAnimationEngine::hasAnimations(*layer));
    EXPECT_FALSE(RunLoop::main().nextTimerDate().has_value());  // nothing to wake up for
}

TEST_F(AnimLayerTest, LayerSpeedZeroPausesAndResumesFromTheSamePoint) {
    auto layer = CALayer::make();
    CAAnimationEngine::addAnimation(layer, fade(0, 1, 1.0), "fade");
    advance(0.3);
    // Pause the way the screens do: freeze local time at now.
    double paused = CAAnimationEngine::convertTime(CACurrentMediaTime(), nullptr, layer.get());
    layer->setSpeed(0);
    layer->setTimeOffset(paused);
    advance(5);
    EXPECT_NEAR(opacityNow(*layer), 0.3, 1e-6);
    EXPECT_TRUE(CAAnimationEngine::hasAnimations(*layer));
    // Resume.
    double offset = layer->timeOffset();
    layer->setSpeed(1);
    layer->setTimeOffset(0);
    layer->setBeginTime(0);
    layer->setBeginTime(CAAnimationEngine::convertTime(CACurrentMediaTime(), nullptr, layer.get()) - offset);
    advance(0.2);
    EXPECT_NEAR(opacityNow(*layer), 0.5, 1e-6);
    advance(0.6);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*layer));
}

TEST_F(AnimLayerTest, ReplacingByKeyCutsTheOldOneAndStopsComeInTimeOrder) {
    std::vector<std::string> log;
    auto make = [&](std::string name) {
        auto r = std::make_shared<Recorder>();
        r->log = &log;
        r->name = std::move(name);
        return r;
    };
    auto a = make("a"), b = make("b"), c = make("c");
    auto layer = CALayer::make();
    auto other = CALayer::make();
    auto first = fade(0, 1, 1.0);
    first->setDelegate(a);
    CAAnimationEngine::addAnimation(layer, first, "k");
    auto longer = fade(0, 1, 0.6);
    longer->setDelegate(c);
    CAAnimationEngine::addAnimation(other, longer, "k");
    advance(0.1);
    auto second = fade(1, 0, 0.2);
    second->setDelegate(b);
    CAAnimationEngine::addAnimation(layer, second, "k");
    advance(2);
    EXPECT_EQ(log, (std::vector<std::string>{"a start", "c start", "a cut", "b start", "b done", "c done"}));
}

TEST_F(AnimLayerTest, KeyframesWithKeyTimesAndSegmentCurvesAndBeginTime) {
    auto layer = CAShapeLayer::make();
    auto k = CAKeyframeAnimation::animationWithKeyPath("strokeEnd");
    k->setValues({0.0, 0.8, 1.0});
    k->setKeyTimes({0, 0.8, 1});
    k->setDuration(1);
    k->setBeginTime(CACurrentMediaTime() + 0.5);
    CAAnimationEngine::addAnimation(layer, k, "stroke");
    advance(0.25);  // not begun: the model shows (strokeEnd 1)
    EXPECT_NEAR(*CAValueNumber(CAAnimationEngine::presentedValue(*layer, "strokeEnd")), 1.0, 1e-9);
    advance(0.65);  // 0.4 into the run
    EXPECT_NEAR(*CAValueNumber(CAAnimationEngine::presentedValue(*layer, "strokeEnd")), 0.4, 1e-6);
    advance(0.5);  // 0.9: half-way through the last segment
    EXPECT_NEAR(*CAValueNumber(CAAnimationEngine::presentedValue(*layer, "strokeEnd")), 0.9, 1e-6);
}

TEST_F(AnimLayerTest, GroupChildrenShareTheGroupTimelineAndTimeOffsetShiftsIt) {
    auto layer = CALayer::make();
    auto scale = CABasicAnimation::animationWithKeyPath("transform.scale");
    scale->setFromValue(0.0);
    scale->setToValue(1.0);
    auto op = fade(0.8, 0.0, 0);
    auto g = CAAnimationGroup::animation();
    g->setAnimations({scale, op});
    g->setDuration(2);
    g->setTimeOffset(0.5);
    CAAnimationEngine::addAnimation(layer, g, "g");
    layer->setName("dot");
    EXPECT_NE(CAAnimationEngine::debugDescription().find(
                  "(dot) key \"g\" CAAnimationGroup [transform.scale,opacity] running"),
              std::string::npos);
    advance(0.5);  // group time 1.0
    EXPECT_NEAR(*CAValueNumber(CAAnimationEngine::presentedValue(*layer, "transform.scale")), 0.5, 1e-6);
    EXPECT_NEAR(opacityNow(*layer), 0.4, 1e-6);
    advance(1.6);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*layer));
}

TEST_F(AnimLayerTest, TransactionDurationAndCompletionAfterItsAnimations) {
    std::vector<std::string> log;
    auto layer = CALayer::make();
    CATransaction::begin();
    CATransaction::setAnimationDuration(2);
    CATransaction::setCompletionBlock([&] { log.push_back("done"); });
    auto k = CAKeyframeAnimation::animationWithKeyPath("position");
    k->setValues({CGPoint{0, 0}, CGPoint{100, 0}});
    CAAnimationEngine::addAnimation(layer, k, "position");
    CATransaction::commit();
    EXPECT_DOUBLE_EQ(CAAnimationEngine::animationForKey(*layer, "position")->duration(), 2.0);
    advance(1.0);
    EXPECT_NEAR(std::get<CGPoint>(CAAnimationEngine::presentedValue(*layer, "position")).x, 50, 1e-6);
    EXPECT_TRUE(log.empty());
    advance(1.5);
    EXPECT_EQ(log, std::vector<std::string>{"done"});

    // Without animations the completion still runs, on the next turn.
    CATransaction::begin();
    CATransaction::setCompletionBlock([&] { log.push_back("empty"); });
    CATransaction::commit();
    EXPECT_EQ(log.size(), 1u);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(log.back(), "empty");
}

TEST_F(AnimLayerTest, DeadLayersAndBadInputAreHandled) {
    std::vector<std::string> log;
    auto r = std::make_shared<Recorder>();
    r->log = &log;
    r->name = "x";
    {
        auto layer = CALayer::make();
        auto a = fade(0, 1, 1);
        a->setDelegate(r);
        CAAnimationEngine::addAnimation(layer, a, "k");
        CAAnimationEngine::addAnimation(layer, nullptr, "k2");
        CAAnimationEngine::addAnimation(nullptr, a, "k3");
        EXPECT_EQ(CAAnimationEngine::animationKeys(*layer), std::vector<std::string>{"k"});
    }
    advance(0.1);
    EXPECT_EQ(log.back(), "x cut");
    EXPECT_EQ(CAAnimationEngine::animatedLayerCount(), 0u);
    // A key frame with no values and a wrong-kind value change nothing.
    auto layer = CALayer::make();
    auto k = CAKeyframeAnimation::animationWithKeyPath("opacity");
    CAAnimationEngine::addAnimation(layer, k, "empty");
    auto wrong = CABasicAnimation::animationWithKeyPath("opacity");
    wrong->setToValue(CGPoint{1, 2});
    CAAnimationEngine::addAnimation(layer, wrong, "wrong");
    advance(0.1);
    EXPECT_NEAR(opacityNow(*layer), 1.0, 1e-9);
}

TEST_F(AnimLayerTest, ImplicitActionsFollowTransactionsAndActionTables) {
    auto host = CALayer::make();
    auto ring = CAShapeLayer::make();
    ring->setStrokeEnd(0);  // outside any tree: set at once
    host->addSublayer(ring);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*ring));
    ring->setStrokeEnd(1.0);
    advance(0.125);  // half of the default quarter second
    double mid = *CAValueNumber(CAAnimationEngine::presentedValue(*ring, "strokeEnd"));
    EXPECT_GT(mid, 0.2);
    EXPECT_LT(mid, 0.9);
    advance(0.2);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*ring));

    CATransaction::begin();
    CATransaction::setDisableActions(true);
    ring->setStrokeEnd(0.5);
    CATransaction::commit();
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*ring));

    CALayerActions::setActions(*ring, {{"strokeEnd", nullptr}});
    ring->setStrokeEnd(0.2);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*ring));

    // A view's own layer never animates implicitly, nor does a layer outside any tree.
    auto view = UIView::make(CGRect{{0, 0}, {10, 10}});
    host->addSublayer(view->layer());
    CALayerActions::layerWillChange(*view->layer(), "opacity");
    auto loose = CALayer::make();
    CALayerActions::layerWillChange(*loose, "opacity");
    CALayerActions::layerWillChange(*host, "noSuchKey");
    EXPECT_EQ(CAAnimationEngine::animatedLayerCount(), 0u);
}

TEST_F(AnimLayerTest, LayerSettersAnimateStandAloneSublayersButNotViewLayers) {
    auto host = CALayer::make();
    auto dot = CALayer::make();
    host->addSublayer(dot);
    auto view = UIView::make(CGRect{{0, 0}, {10, 10}});
    host->addSublayer(view->layer());
    auto fill = CAShapeLayer::make();
    host->addSublayer(fill);
    auto ramp = CAGradientLayer::make();
    host->addSublayer(ramp);

    CATransaction::begin();
    CATransaction::setAnimationDuration(1.0);
    CATransaction::setAnimationTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
    dot->setOpacity(0);
    view->layer()->setOpacity(0);
    fill->setFillColor(CGColor::rgb(1, 0, 0, 1));
    ramp->setColors({CGColor::rgb(0, 0, 0, 1), CGColor::rgb(1, 1, 1, 1)});
    CATransaction::commit();
    EXPECT_EQ(dot->opacity(), 0.0f);  // the model takes the new value at once
    advance(0.5);
    EXPECT_NEAR(opacityNow(*dot), 0.5, 1e-6);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*view->layer()));
    EXPECT_NEAR(opacityNow(*view->layer()), 0.0, 1e-9);
    EXPECT_TRUE(CAAnimationEngine::hasAnimations(*fill));
    EXPECT_TRUE(CAAnimationEngine::hasAnimations(*ramp));
    advance(0.6);
    EXPECT_EQ(CAAnimationEngine::animatedLayerCount(), 0u);

    // Setting the value a layer already has starts nothing.
    dot->setOpacity(0);
    fill->setFillColor(CGColor::rgb(1, 0, 0, 1));
    ramp->setColors({CGColor::rgb(0, 0, 0, 1), CGColor::rgb(1, 1, 1, 1)});
    EXPECT_EQ(CAAnimationEngine::animatedLayerCount(), 0u);
}

TEST_F(AnimLayerTest, AStopCallbackMayStartTheNextCycleOnTheSameKey) {
    // The way a repeating cycle restarts itself: each end adds the next one under the same key.
    struct Looper : CAAnimationDelegate {
        std::shared_ptr<CALayer> layer;
        std::vector<double> ends;
        void animationDidStop(CAAnimation&, bool finished) override {
            ends.push_back(CACurrentMediaTime());
            if (finished && ends.size() < 3) start();
        }
        void start() {
            auto a = fade(0, 1, 0.5);
            a->setDelegate(std::static_pointer_cast<CAAnimationDelegate>(self.lock()));
            CAAnimationEngine::addAnimation(layer, a, "cycle");
        }
        std::weak_ptr<Looper> self;
    };
    auto looper = std::make_shared<Looper>();
    looper->self = looper;
    looper->layer = CALayer::make();
    double t0 = CACurrentMediaTime();
    looper->start();
    advance(0.75);
    EXPECT_NEAR(opacityNow(*looper->layer), 0.5, 1e-6);  // a quarter of a second into the second cycle
    advance(5);
    ASSERT_EQ(looper->ends.size(), 3u);
    EXPECT_NEAR(looper->ends[0] - t0, 0.5, 1e-9);
    EXPECT_NEAR(looper->ends[2] - t0, 1.5, 1e-9);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*looper->layer));
}

TEST_F(AnimLayerTest, TransformsBlendAsTurnsScalesAndShifts) {
    auto layer = CALayer::make();
    auto turn = CABasicAnimation::animationWithKeyPath("transform");
    turn->setFromValue(CATransform3DMakeRotation(M_PI / 4, 0, 0, 1));
    turn->setToValue(CATransform3DMakeRotation(M_PI / 2, 0, 0, 1));
    turn->setDuration(1);
    CAAnimationEngine::addAnimation(layer, turn, "turn");
    advance(0.5);
    auto t = std::get<CATransform3D>(CAAnimationEngine::presentedValue(*layer, "transform"));
    EXPECT_NEAR(std::atan2(t.m12, t.m11), 3 * M_PI / 8, 1e-9);
    EXPECT_NEAR(std::hypot(t.m11, t.m12), 1, 1e-9);  // no shrinking half-way

    // From the all-zero scale to a shifted full size.
    auto grow = CAKeyframeAnimation::animationWithKeyPath("transform");
    grow->setValues(
        {CATransform3DMakeScale(0, 0, 0), CATransform3DScale(CATransform3DMakeTranslation(10, 20, 0), 1, 1, 0)});
    grow->setDuration(1);
    CAAnimationEngine::addAnimation(layer, grow, "turn");
    advance(0.5);
    t = std::get<CATransform3D>(CAAnimationEngine::presentedValue(*layer, "transform"));
    EXPECT_NEAR(t.m11, 0.5, 1e-9);
    EXPECT_NEAR(t.m22, 0.5, 1e-9);
    EXPECT_NEAR(t.m41, 5, 1e-9);
    EXPECT_NEAR(t.m42, 10, 1e-9);
}
