// The progress ring: spinning, filling, the label, clamping, the reveal at 100 % and its picture,
// and the blur and vibrancy roads.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "widget_test_support.h"
#include "widgets/progress/ring_progress_view.h"

namespace {

struct RingTest : WidgetTest {
    std::shared_ptr<RingProgressView> ring() {
        auto r = RingProgressView::make(CGRectMake(0, 0, 100, 100));
        r->setShowsText(true);
        r->setAnimationDidStopBlock([this] { ++completions; });
        root->addSubview(r);
        window->layoutIfNeeded();
        return r;
    }
    int completions = 0;
};

}  // namespace

TEST_F(RingTest, ANewRingSpinsWithATenthMissingAndNoLabel) {
    auto r = ring();
    EXPECT_TRUE(r->indeterminate());
    EXPECT_FALSE(r->isHidden());
    EXPECT_TRUE(CAAnimationEngine::isAnimatingKeyPath(*r->backgroundLayer(), "transform.rotation"));
    EXPECT_DOUBLE_EQ(r->progressLayer()->strokeStart(), 0.1);
    EXPECT_DOUBLE_EQ(r->progressLayer()->strokeEnd(), 1.0);
    EXPECT_TRUE(r->textLabel()->isHidden());
    EXPECT_DOUBLE_EQ(r->radius(), 20);
    EXPECT_DOUBLE_EQ(r->lineWidth(), 3);
    EXPECT_EQ(r->tintColor()->cgColor(), CGColor::rgb(181 / 255.0, 182 / 255.0, 183 / 255.0, 1));
    // Half a turn every half second, without end.
    advance(0.25);
    auto angle = *CAValueNumber(CAAnimationEngine::presentedValue(*r->backgroundLayer(), "transform.rotation.z"));
    EXPECT_NEAR(angle, M_PI / 2, 1e-6);
    // Switching it on again adds no second spin.
    r->setIndeterminate(true);
    advance(0.25);
    angle = *CAValueNumber(CAAnimationEngine::presentedValue(*r->backgroundLayer(), "transform.rotation.z"));
    EXPECT_NEAR(std::abs(angle), M_PI, 1e-6);
}

TEST_F(RingTest, ProgressStopsTheSpinFillsTheRingAndLabelsIt) {
    auto r = ring();
    r->setProgress(0.5);
    EXPECT_FALSE(r->indeterminate());
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*r->backgroundLayer()));
    EXPECT_DOUBLE_EQ(r->progressLayer()->strokeStart(), 0);
    EXPECT_DOUBLE_EQ(r->progressLayer()->strokeEnd(), 0.5);
    EXPECT_EQ(r->textLabel()->text(), "50%");
    EXPECT_FALSE(r->textLabel()->isHidden());
    EXPECT_DOUBLE_EQ(r->progress(), 0.5);
    r->setProgress(0.999, false);
    EXPECT_EQ(r->textLabel()->text(), "99%");
}

TEST_F(RingTest, OutOfRangeProgressIsClampedAndNaNCountsAsNothing) {
    auto r = ring();
    r->setProgress(0.2);
    r->setHidden(true);
    r->setProgress(-0.3);
    EXPECT_DOUBLE_EQ(r->progress(), 0);
    EXPECT_TRUE(r->isHidden());
    EXPECT_DOUBLE_EQ(r->progressLayer()->strokeEnd(), 0);
    r->setProgress(std::nan(""));
    EXPECT_DOUBLE_EQ(r->progress(), 0);
    r->setProgress(-std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(r->progress(), 0);
    r->setProgress(0.25);
    EXPECT_FALSE(r->isHidden());
}

TEST_F(RingTest, CompletionRevealsOnceAndHidesTheView) {
    auto r = ring();
    r->setProgress(1.7);
    EXPECT_DOUBLE_EQ(r->progress(), 1);
    EXPECT_EQ(r->textLabel()->text(), "100%");
    auto mask = std::dynamic_pointer_cast<CAShapeLayer>(r->backgroundView()->layer()->mask());
    ASSERT_TRUE(mask);
    auto open = std::dynamic_pointer_cast<CABasicAnimation>(CAAnimationEngine::animationForKey(*mask, "path"));
    ASSERT_TRUE(open);
    // The final outer circle reaches 1.5 times the larger half-side: the corners are uncovered.
    auto target = std::get<CGPath>(open->toValue());
    CGRect box = target.pathBoundingBox();
    EXPECT_NEAR(box.size.width, 150, 1e-6);
    EXPECT_NEAR(CGRectGetMidX(box), 50, 1e-6);
    EXPECT_FALSE(r->isHidden());
    advance(0.79);
    EXPECT_FALSE(r->isHidden());
    EXPECT_EQ(completions, 0);
    advance(0.02);
    EXPECT_TRUE(r->isHidden());
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(r->backgroundView()->layer()->mask(), nullptr);
    // A second 1 (or infinity) after completion only stores 1.
    r->setProgress(1);
    r->setProgress(std::numeric_limits<double>::infinity());
    advance(2);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(r->isHidden());
    // A discarded thumbnail: progress 0, spinning again, shown again.
    r->setProgress(0, false);
    r->setIndeterminate(true);
    EXPECT_FALSE(r->isHidden());
    EXPECT_TRUE(CAAnimationEngine::hasAnimations(*r->backgroundLayer()));
}

TEST_F(RingTest, TheRevealCutsTheBackgroundFromTheRingOutwards) {
    root->setBackgroundColor(UIColor::redColor());  // what lies beneath
    auto r = ring();
    r->setShowsText(false);
    r->setProgress(1, false);
    auto layer = window->layer();
    auto at = [&](int x, int y) {
        auto image = LayerRenderer::snapshot(*layer, 1);
        return pixelOf(*image, x, y);
    };
    // On the band of the ring the white background is cut through; elsewhere it still covers.
    EXPECT_EQ(at(50, 28).g, 0);
    EXPECT_EQ(at(50, 36).g, 255);
    EXPECT_EQ(at(5, 5).g, 255);
    advance(0.5);  // a quarter into the reveal: the band has widened both ways
    EXPECT_EQ(at(50, 36).g, 0);
    EXPECT_EQ(at(50, 10).g, 0);
    EXPECT_EQ(at(5, 5).g, 255);  // the corner is reached last
    advance(0.4);
    EXPECT_TRUE(r->isHidden());
}

TEST_F(RingTest, BlurAndVibrancyHoldTheRingInTheEffectViews) {
    auto r = ring();
    // Without a blur vibrancy changes nothing.
    r->setUsesVibrancyEffect(false);
    r->setUsesVibrancyEffect(true);
    EXPECT_EQ(r->backgroundLayer()->superlayer(), r->backgroundView()->layer());

    r->setBlurEffect(UIBlurEffect::effectWithStyle(UIBlurEffectStyle::Light));
    auto blurView = std::dynamic_pointer_cast<UIVisualEffectView>(r->backgroundView());
    ASSERT_TRUE(blurView);
    ASSERT_EQ(blurView->contentView()->subviews().size(), 1u);
    auto vibrancy = std::dynamic_pointer_cast<UIVisualEffectView>(blurView->contentView()->subviews()[0]);
    ASSERT_TRUE(vibrancy);
    EXPECT_TRUE(std::dynamic_pointer_cast<UIVibrancyEffect>(vibrancy->effect()));
    EXPECT_EQ(r->backgroundLayer()->superlayer(), vibrancy->contentView()->layer());
    EXPECT_EQ(r->textLabel()->superview(), vibrancy->contentView());
    // The reveal runs the same on the blur.
    r->setProgress(1, false);
    advance(0.5);
    EXPECT_FALSE(r->isHidden());
    EXPECT_TRUE(blurView->layer()->mask());
    advance(0.4);
    EXPECT_TRUE(r->isHidden());
    EXPECT_EQ(completions, 1);
    r->setUsesVibrancyEffect(false);
    EXPECT_EQ(r->backgroundLayer()->superlayer(), blurView->layer());
    r->setBlurEffect(nullptr);
    EXPECT_FALSE(std::dynamic_pointer_cast<UIVisualEffectView>(r->backgroundView()));
}
