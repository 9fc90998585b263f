// The indicator types checked as data at a few telling points, and every type built, run and drawn.
#include "widgets/indicator/indicator_types.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/runtime/geometry_string.h"
#include "widget_test_support.h"
#include "widgets/indicator/busy_indicator_view.h"

namespace {

std::shared_ptr<CALayer> build(std::uint64_t type, CGFloat side = 99, CGFloat size = 40) {
    auto layer = CALayer::make();
    layer->setBounds(CGRectMake(0, 0, side, side));
    makeIndicatorAnimation(type)->setupAnimationInLayer(layer, {size, size}, UIColor::whiteColor());
    return layer;
}

CGRect frameOf(const CALayer& layer, std::size_t i) {
    return layer.sublayers().at(i)->frame();
}

}  // namespace

using IndicatorTypesTest = WidgetTest;

TEST_F(IndicatorTypesTest, RowsAndGridsSitWhereTheirTablesSay) {
    const CGFloat x0 = 29.5;
    auto beat = build(20);  // three discs of (40 - 4) / 3 = 12, two apart
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(frameOf(*beat, i).origin.x, x0 + 14 * i);
    EXPECT_DOUBLE_EQ(frameOf(*beat, 0).size.width, 12);
    for (std::uint64_t grid : {26u, 27u}) {
        auto layer = build(grid);
        ASSERT_EQ(layer->sublayers().size(), 9u);
        EXPECT_EQ(frameOf(*layer, 4).origin, (CGPoint{x0 + 14, x0 + 14})) << grid;
    }
    auto bars = build(16);  // five bars of 40/9 with gaps as wide
    const double xs[] = {29.5, 38.389, 47.278, 56.167, 65.056};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(frameOf(*bars, i).origin.x, xs[i], 1e-3);
    EXPECT_NEAR(frameOf(*bars, 0).size.width, 40.0 / 9, 1e-9);
    EXPECT_EQ(frameOf(*bars, 0).size.height, 40);
    EXPECT_EQ(frameOf(*bars, 0).origin.y, x0);
    // Type 3 rounds the square's side down: 7 at size 30, 10 at 40.
    EXPECT_EQ(frameOf(*build(3, 99, 30), 0).size.width, 7);
    EXPECT_EQ(frameOf(*build(3), 0).size.width, 10);
    EXPECT_EQ(build(1)->sublayers().size(), 4u);  // four discs, not three
}

TEST_F(IndicatorTypesTest, TrianglePathReadsItsMovesFromTemplates) {
    EXPECT_EQ(CGPointFromString(BusyIndicatorBallTrianglePathAnimation::translate("{-hx,fy}", 16, 16)),
              (CGPoint{-16, 32}));
    EXPECT_EQ(CGPointFromString(BusyIndicatorBallTrianglePathAnimation::translate("{FX,-Hy}", 16, 16)),
              (CGPoint{32, -16}));
    auto layer = build(14);
    ASSERT_EQ(layer->sublayers().size(), 3u);
    EXPECT_EQ(frameOf(*layer, 0), CGRectMake(29.5 + 16, 29.5, 8, 8));
    auto move = std::dynamic_pointer_cast<CAKeyframeAnimation>(
        CAAnimationEngine::animationForKey(*layer->sublayers()[0], "animation"));
    ASSERT_TRUE(move);
    ASSERT_EQ(move->values().size(), 4u);
    EXPECT_EQ(std::get<CATransform3D>(move->values()[2]), CATransform3DMakeTranslation(-16, 32, 0));
}

TEST_F(IndicatorTypesTest, CookieTerminatorsPelletsSlideIntoTheMouth) {
    auto layer = build(31);
    ASSERT_EQ(layer->sublayers().size(), 6u);  // cookie, two jaws, three pellets
    auto pellet = layer->sublayers()[3];
    EXPECT_EQ(pellet->frame().origin, (CGPoint{78.5, 46}));
    EXPECT_EQ(pellet->frame().size, (CGSize{7, 7}));
    auto slide = std::dynamic_pointer_cast<CABasicAnimation>(CAAnimationEngine::animationForKey(*pellet, "animation"));
    ASSERT_TRUE(slide);
    EXPECT_EQ(std::get<CATransform3D>(slide->toValue()).m41, -63);
    // The mouth's upper jaw: a half disc of radius 14.
    auto jaw = std::dynamic_pointer_cast<CAShapeLayer>(layer->sublayers()[1]);
    ASSERT_TRUE(jaw && jaw->path());
    EXPECT_NEAR(jaw->path()->pathBoundingBox().size.height, 28, 1e-6);
}

TEST_F(IndicatorTypesTest, ClipRotateIsThreeQuartersClockwiseFromTheTop) {
    auto layer = build(8, 40);
    auto arc = std::dynamic_pointer_cast<CAShapeLayer>(layer->sublayers().at(0));
    ASSERT_TRUE(arc && arc->path());
    // From the top round through the right and bottom to the left: the top-left quarter is open.
    CGRect box = arc->path()->pathBoundingBox();
    EXPECT_NEAR(box.size.width, 40, 1e-6);
    EXPECT_NEAR(box.size.height, 40, 1e-6);
    auto image = LayerRenderer::snapshot(*layer, 1);
    EXPECT_GT(pixelOf(*image, 39, 20).a, 100);  // right
    EXPECT_GT(pixelOf(*image, 20, 39).a, 100);  // bottom
    EXPECT_EQ(pixelOf(*image, 6, 6).a, 0);      // the open quarter
}

TEST_F(IndicatorTypesTest, EveryTypeBuildsRunsAndDrawsInAView) {
    for (std::uint64_t type = 0; type < kBusyIndicatorTypeCount; ++type) {
        auto view = BusyIndicatorView::make(type);
        view->setFrame(CGRectMake(0, 0, 60, 60));
        root->addSubview(view);
        view->startAnimating();
        window->layoutIfNeeded();
        EXPECT_FALSE(view->animationLayer()->sublayers().empty()) << type;
        advance(0.37);
        auto image = LayerRenderer::snapshot(*view->layer(), 1);
        ASSERT_TRUE(image) << type;
        int painted = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) painted += pixelOf(*image, x, y).a > 0;
        EXPECT_GT(painted, 0) << "type " << type << " shows nothing";
        view->removeFromSuperview();
    }
}
