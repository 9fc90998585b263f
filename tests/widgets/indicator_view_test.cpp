// The indicator view: building, freezing and running, rebuilding on layout, tint, bad input; and
// the spin-fade loader's geometry, timing and picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "widget_test_support.h"
#include "widgets/indicator/busy_indicator_view.h"
#include "widgets/progress/ring_progress_view.h"
#include "widgets/scroll/scroll_label.h"

namespace {

std::shared_ptr<CALayer> layerOf(CGFloat w, CGFloat h) {
    auto layer = CALayer::make();
    layer->setBounds(CGRectMake(0, 0, w, h));
    return layer;
}

void expectFrame(const CALayer& layer, CGRect expected) {
    CGRect f = layer.frame();
    EXPECT_NEAR(f.origin.x, expected.origin.x, 1e-9);
    EXPECT_NEAR(f.origin.y, expected.origin.y, 1e-9);
    EXPECT_NEAR(f.size.width, expected.size.width, 1e-9);
    EXPECT_NEAR(f.size.height, expected.size.height, 1e-9);
}

double beginOf(const CALayer& layer) {
    auto a = CAAnimationEngine::animationForKey(layer, "animation");
    return a ? a->beginTime() : -1;
}

}  // namespace

using IndicatorTest = WidgetTest;

TEST_F(IndicatorTest, SpinFadeLoaderPlacesEightDiscsOnACircleCentredInTheLayer) {
    auto builder = BusyIndicatorView::activityIndicatorAnimationForAnimationType(32);
    ASSERT_TRUE(builder);
    auto box = layerOf(40, 40);
    builder->setupAnimationInLayer(box, {40, 40}, UIColor::whiteColor());
    const auto& discs = box->sublayers();
    ASSERT_EQ(discs.size(), 8u);
    expectFrame(*discs[0], CGRectMake(35.2, 15.2, 9.6, 9.6));
    expectFrame(*discs[2], CGRectMake(15.2, 35.2, 9.6, 9.6));  // clockwise on screen
    EXPECT_NEAR(beginOf(*discs[7]) - beginOf(*discs[0]), 0.84, 1e-9);
    auto group =
        std::dynamic_pointer_cast<CAAnimationGroup>(CAAnimationEngine::animationForKey(*discs[3], "animation"));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->repeatCount(), 3.4028235e38f);
    EXPECT_FALSE(group->isRemovedOnCompletion());

    // In a larger layer every frame moves by the centring offsets.
    auto large = layerOf(99, 60);
    builder->setupAnimationInLayer(large, {40, 40}, UIColor::whiteColor());
    expectFrame(*large->sublayers()[0], CGRectMake(35.2 + 29.5, 15.2 + 10, 9.6, 9.6));
}

TEST_F(IndicatorTest, SpinFadeLoaderFramesHalfASecondApartDifferWhereTheDiscsPulse) {
    auto root = layerOf(60, 60);
    BusyIndicatorView::activityIndicatorAnimationForAnimationType(32)->setupAnimationInLayer(root, {40, 40},
                                                                                             UIColor::whiteColor());
    // Disc 0 (centre (50, 30)) is at its smallest and faintest half a second in; disc 4 (centre
    // (10, 30)) begins only at 0.48 s and is still whole.
    auto before = LayerRenderer::snapshot(*root, 1);
    advance(0.5);
    auto after = LayerRenderer::snapshot(*root, 1);
    EXPECT_EQ(pixelOf(*before, 50, 30).a, 255);
    EXPECT_NEAR(pixelOf(*after, 50, 30).a, 0.3 * 255, 3);
    EXPECT_EQ(pixelOf(*before, 53, 30).a, 255);
    EXPECT_EQ(pixelOf(*after, 53, 30).a, 0);  // 0.4 of the disc no longer reaches here
    EXPECT_NEAR(pixelOf(*before, 10, 30).a, pixelOf(*after, 10, 30).a, 10);
}

TEST_F(IndicatorTest, StartAndStopSwitchVisibilitySpeedAndFlagWithoutRebuilding) {
    auto view = BusyIndicatorView::make(32);
    EXPECT_EQ(view->type(), 32u);
    EXPECT_EQ(view->size(), 40);
    EXPECT_TRUE(view->tintColor()->isEqual(*UIColor::whiteColor()));
    EXPECT_TRUE(view->isHidden());
    EXPECT_FALSE(view->animating());
    EXPECT_FALSE(view->isUserInteractionEnabled());
    EXPECT_EQ(view->intrinsicContentSize(), (CGSize{40, 40}));

    view->startAnimating();
    EXPECT_FALSE(view->isHidden());
    EXPECT_TRUE(view->animating());
    EXPECT_EQ(view->animationLayer()->speed(), 1);
    auto first = view->animationLayer()->sublayers().front();
    view->stopAnimating();
    EXPECT_TRUE(view->isHidden());
    EXPECT_FALSE(view->animating());
    EXPECT_EQ(view->animationLayer()->speed(), 0);
    view->startAnimating();
    EXPECT_EQ(view->animationLayer()->sublayers().front(), first);  // resumed, not rebuilt

    // A new type or size rebuilds frozen while the view stays shown and marked animating.
    view->setType(7);
    EXPECT_EQ(view->animationLayer()->speed(), 0);
    EXPECT_TRUE(view->animating());
    EXPECT_FALSE(view->isHidden());
    view->startAnimating();
    view->setSize(60);
    EXPECT_EQ(view->animationLayer()->speed(), 0);
    EXPECT_TRUE(view->animating());
    EXPECT_EQ(view->intrinsicContentSize(), (CGSize{60, 60}));
    // Equal values change nothing.
    view->startAnimating();
    view->setType(7);
    view->setSize(60);
    EXPECT_EQ(view->animationLayer()->speed(), 1);
}

TEST_F(IndicatorTest, StartBeforeTheFirstLayoutIsRecentredByIt) {
    auto view = BusyIndicatorView::make(32);
    view->setFrame(CGRectMake(0, 0, 99, 99));
    window->addSubview(view);
    view->startAnimating();  // built against a layer of no size: the box is centred on its origin
    expectFrame(*view->animationLayer()->sublayers()[0], CGRectMake(-20 + 35.2, -20 + 15.2, 9.6, 9.6));
    window->layoutIfNeeded();
    expectFrame(*view->animationLayer()->sublayers()[0], CGRectMake(29.5 + 35.2, 29.5 + 15.2, 9.6, 9.6));
    EXPECT_TRUE(view->animating());
    EXPECT_EQ(view->animationLayer()->speed(), 1);

    // A stopped view laid out again stays hidden and frozen.
    view->stopAnimating();
    view->setNeedsLayout();
    window->layoutIfNeeded();
    EXPECT_TRUE(view->isHidden());
    EXPECT_EQ(view->animationLayer()->speed(), 0);
}

TEST_F(IndicatorTest, TintReachesOnlyTheDirectSublayers) {
    auto view = BusyIndicatorView::make(32);
    view->startAnimating();
    auto disc = std::dynamic_pointer_cast<CAShapeLayer>(view->animationLayer()->sublayers()[0]);
    ASSERT_TRUE(disc);
    auto nested = CALayer::make();
    nested->setBackgroundColor(CGColor::rgb(0, 1, 0, 1));
    disc->addSublayer(nested);
    auto red = UIColor::redColor();
    view->setTintColor(red);
    EXPECT_EQ(disc->fillColor(), red->cgColor());
    EXPECT_EQ(disc->strokeColor(), red->cgColor());
    EXPECT_EQ(disc->backgroundColor(), red->cgColor());
    EXPECT_EQ(nested->backgroundColor(), CGColor::rgb(0, 1, 0, 1));
}

TEST_F(IndicatorTest, UnknownTypesAndEmptySizesBuildNothingAndNeverCrash) {
    EXPECT_EQ(BusyIndicatorView::activityIndicatorAnimationForAnimationType(33), nullptr);
    EXPECT_EQ(BusyIndicatorView::activityIndicatorAnimationForAnimationType(UINT64_MAX), nullptr);
    for (std::uint64_t type = 0; type < kBusyIndicatorTypeCount; ++type) {
        auto a = BusyIndicatorView::activityIndicatorAnimationForAnimationType(type);
        ASSERT_TRUE(a) << type;
        EXPECT_NE(a, BusyIndicatorView::activityIndicatorAnimationForAnimationType(type));  // a new one each time
    }
    // An unknown type is an empty indicator that still shows and counts as animating.
    auto view = BusyIndicatorView::make(40);
    view->startAnimating();
    EXPECT_TRUE(view->animationLayer()->sublayers().empty());
    EXPECT_TRUE(view->animating());
    EXPECT_FALSE(view->isHidden());
    for (CGFloat size : {0.0, -5.0, std::nan("")}) {
        auto empty = BusyIndicatorView::make(32, nullptr, size);
        empty->startAnimating();
        EXPECT_TRUE(empty->animationLayer()->sublayers().empty()) << size;
    }
}

TEST_F(IndicatorTest, WidgetsFromAnArchiveTakeTheirDefaults) {
    NSCoder coder;
    coder.encodeObject(Value::array({10, 20, 99, 99}), "UIFrame");
    coder.encodeInteger(32, "type");  // not read: the archive gives nine dots
    auto archived = makeWithCoder<BusyIndicatorView>(coder);
    EXPECT_EQ(archived->type(), 0u);
    EXPECT_EQ(archived->size(), 40);
    EXPECT_TRUE(archived->tintColor()->isEqual(*UIColor::whiteColor()));
    EXPECT_EQ(archived->frame(), CGRectMake(10, 20, 99, 99));
    EXPECT_TRUE(archived->isHidden());
    archived->startAnimating();
    EXPECT_EQ(archived->animationLayer()->sublayers().size(), 9u);

    auto label = makeWithCoder<ScrollLabel>(coder);
    EXPECT_DOUBLE_EQ(label->scrollDuration(), 7);
    EXPECT_EQ(label->subLabel()->tag(), 700);
    EXPECT_EQ(label->frame(), CGRectMake(10, 20, 99, 99));

    auto ring = makeWithCoder<RingProgressView>(coder);
    EXPECT_TRUE(ring->indeterminate());
    EXPECT_EQ(ring->backgroundView()->frame(), ring->bounds());
}
