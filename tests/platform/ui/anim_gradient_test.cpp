// Animated gradient colours and locations on screen (also through a mask), and two limits of the
// engine that the widgets lean on: a flat layer with a zero depth scale, and a transaction that
// lasts as long as a double can say.
#include <gtest/gtest.h>

#include <cfloat>

#include "anim_test_support.h"
#include "draw_test_support.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/layer_renderer.h"

namespace {

const CGColor kBlack = CGColor::rgb(0, 0, 0, 1);
const CGColor kClear = CGColor::rgb(0, 0, 0, 0);
const CGColor kRed = CGColor::rgb(1, 0, 0, 1);
const CGColor kBlue = CGColor::rgb(0, 0, 1, 1);

std::shared_ptr<CAKeyframeAnimation> colorsAnimation(std::vector<CGColor> from, std::vector<CGColor> to) {
    auto a = CAKeyframeAnimation::animationWithKeyPath("colors");
    a->setValues({from, to});
    a->setDuration(1.0);
    return a;
}

std::shared_ptr<CAGradientLayer> horizontalGradient(CGRect bounds, std::vector<CGColor> colors) {
    auto g = CAGradientLayer::make();
    g->setFrame(bounds);
    g->setStartPoint({0, 0.5});
    g->setEndPoint({1, 0.5});
    g->setColors(std::move(colors));
    return g;
}

}  // namespace

using AnimGradientTest = AnimClockTest;

TEST_F(AnimGradientTest, AnimatedColoursAndLocationsAreDrawn) {
    auto g = horizontalGradient(CGRectMake(0, 0, 100, 10), {kRed, kRed});
    CAAnimationEngine::addAnimation(g, colorsAnimation({kRed, kRed}, {kBlue, kBlue}), "colors");
    advance(0.5);
    auto image = LayerRenderer::snapshot(*g, 1);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(pixelAt(*image, 50, 5), {128, 0, 128, 255}, 3)) << pixelAt(*image, 50, 5);
    EXPECT_EQ(g->colors(), (std::vector<CGColor>{kRed, kRed}));  // the model keeps its colours

    // Locations move the boundary of a hard two-colour split.
    g->setColors({kRed, kRed, kBlue, kBlue});
    CAAnimationEngine::removeAllAnimations(*g);
    auto moveSplit = CABasicAnimation::animationWithKeyPath("locations");
    moveSplit->setFromValue(std::vector<CGFloat>{0, 0.2, 0.2, 1});
    moveSplit->setToValue(std::vector<CGFloat>{0, 0.8, 0.8, 1});
    moveSplit->setDuration(1.0);
    CAAnimationEngine::addAnimation(g, moveSplit, "locations");
    advance(0.5);  // the split is at 0.5
    image = LayerRenderer::snapshot(*g, 1);
    EXPECT_TRUE(near(pixelAt(*image, 30, 5), {255, 0, 0, 255})) << pixelAt(*image, 30, 5);
    EXPECT_TRUE(near(pixelAt(*image, 70, 5), {0, 0, 255, 255})) << pixelAt(*image, 70, 5);
}

TEST_F(AnimGradientTest, AnimatedMaskColoursCutTheMaskedLayer) {
    auto root = CALayer::make();
    root->setFrame(CGRectMake(0, 0, 100, 10));
    auto content = CALayer::make();
    content->setFrame(CGRectMake(0, 0, 100, 10));
    root->addSublayer(content);
    content->setBackgroundColor(kRed);
    auto mask = horizontalGradient(content->bounds(), {kBlack, kBlack, kBlack, kBlack});
    content->setMask(mask);
    // The right edge fades out over the animation.
    auto a = colorsAnimation({kBlack, kBlack, kBlack, kBlack}, {kBlack, kBlack, kBlack, kClear});
    a->setFillMode(CAFillMode::Forwards);
    a->setRemovedOnCompletion(false);
    CAAnimationEngine::addAnimation(mask, a, "gradient");
    EXPECT_EQ(pixelAt(*LayerRenderer::snapshot(*root, 1), 99, 5).a, 255);
    advance(2);
    auto image = LayerRenderer::snapshot(*root, 1);
    EXPECT_EQ(pixelAt(*image, 5, 5).a, 255);
    EXPECT_LT(pixelAt(*image, 99, 5).a, 10);
}

TEST_F(AnimGradientTest, ZeroDepthScaleDrawsAndIsNeverInverted) {
    auto root = CALayer::make();
    root->setFrame(CGRectMake(0, 0, 40, 40));
    auto dot = CALayer::make();
    dot->setFrame(CGRectMake(10, 10, 20, 20));
    dot->setBackgroundColor(kRed);
    dot->setTransform(CATransform3DMakeScale(1, 1, 0));
    root->addSublayer(dot);
    // The flat picture is untouched by the depth scale, and points still convert both ways.
    EXPECT_TRUE(near(pixelAt(*LayerRenderer::snapshot(*root, 1), 20, 20), {255, 0, 0, 255}));
    CGPoint inDot = dot->convertPointFromLayer({20, 20}, root.get());
    EXPECT_NEAR(inDot.x, 10, 1e-9);
    EXPECT_NEAR(inDot.y, 10, 1e-9);

    // An animation through S(0.5) to S(1) with zero depth shows the half-size square mid-way.
    auto pulse = CAKeyframeAnimation::animationWithKeyPath("transform");
    pulse->setValues({CATransform3DMakeScale(0, 0, 0), CATransform3DMakeScale(1, 1, 0)});
    pulse->setDuration(1.0);
    CAAnimationEngine::addAnimation(dot, pulse, "animation");
    advance(0.5);
    auto image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(pixelAt(*image, 20, 20), {255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 12, 12).a, 0);
}

TEST_F(AnimGradientTest, OneWayMoveInALongestTransactionMovesThenHolds) {
    constexpr double M = DBL_MAX;
    const double delay = 1, interval = 15, total = delay + interval;
    auto layer = CALayer::make();
    layer->setPosition({0, 0});
    auto move = CAKeyframeAnimation::animationWithKeyPath("position");
    move->setValues({CGPoint{0, 0}, CGPoint{0, 0}, CGPoint{-300, 0}, CGPoint{-300, 0}});
    // Key times of about 5.6e-309 are subnormal: they must survive as they are.
    move->setKeyTimes({0, delay / M, total / M, 1});
    ASSERT_GT(move->keyTimes()[1], 0);
    CATransaction::begin();
    CATransaction::setAnimationDuration(M);
    CAAnimationEngine::addAnimation(layer, move, "position");
    CATransaction::commit();
    auto x = [&] { return std::get<CGPoint>(CAAnimationEngine::presentedValue(*layer, "position")).x; };
    advance(0.5);
    EXPECT_EQ(x(), 0);
    advance(8);  // half-way through the move
    EXPECT_NEAR(x(), -150, 1);
    advance(10);
    EXPECT_NEAR(x(), -300, 1e-6);
    advance(1000);
    EXPECT_NEAR(x(), -300, 1e-6);
    EXPECT_TRUE(CAAnimationEngine::hasAnimations(*layer));
}
