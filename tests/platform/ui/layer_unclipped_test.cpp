// Two drawing behaviours the coordinate planes stand on: a shape layer with zero bounds placed by
// its position draws its path around that point, unclipped; and a subview that lies partly outside
// its superview (which does not clip) is drawn whole.
#include <gtest/gtest.h>

#include "draw_test_support.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/view/ui_view.h"

namespace {

const Rgba8 red{255, 0, 0, 255}, blue{0, 0, 255, 255}, clear{0, 0, 0, 0};

struct Unclipped : ::testing::Test {
    void SetUp() override {
        CATransaction::begin();
        CATransaction::setDisableActions(true);
    }
    void TearDown() override { CATransaction::commit(); }
};

TEST_F(Unclipped, AZeroBoundsShapeLayerDrawsItsPathAroundItsPosition) {
    auto root = CALayer::make();
    root->setFrame(CGRectMake(0, 0, 100, 100));
    auto shape = CAShapeLayer::make();
    CGPath path;
    // A square from (-30, -20) to (30, 20) about the layer's position.
    path.addRect(CGRectMake(-30, -20, 60, 40));
    shape->setPath(path);
    shape->setFillColor(CGColor::rgb(1, 0, 0, 1));
    shape->setPosition({50, 50});
    root->addSublayer(shape);
    ASSERT_EQ(shape->bounds().size.width, 0);

    auto image = LayerRenderer::snapshot(*root, 1);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(pixelAt(*image, 50, 50), red));
    EXPECT_TRUE(near(pixelAt(*image, 22, 33), red)) << "left of the position";
    EXPECT_TRUE(near(pixelAt(*image, 78, 67), red)) << "right of and below the position";
    EXPECT_TRUE(near(pixelAt(*image, 15, 50), clear));
    EXPECT_TRUE(near(pixelAt(*image, 50, 25), clear));
}

TEST_F(Unclipped, AHandleHangingOverItsSuperviewsEdgeIsDrawnWhole) {
    auto root = UIView::make(CGRectMake(0, 0, 100, 100));
    auto plane = UIView::make(CGRectMake(20, 20, 60, 60));
    plane->setBackgroundColor(UIColor::colorWithRed(0, 0, 1, 1));
    root->addSubview(plane);
    // Centred on the plane's top-left corner: three quarters lie outside it.
    auto handle = UIView::make(CGRectMake(-10, -10, 20, 20));
    handle->setBackgroundColor(UIColor::colorWithRed(1, 0, 0, 1));
    plane->addSubview(handle);

    auto image = LayerRenderer::snapshot(*root->layer(), 1);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(pixelAt(*image, 12, 12), red)) << "outside the plane, above and left";
    EXPECT_TRUE(near(pixelAt(*image, 27, 12), red)) << "above the plane";
    EXPECT_TRUE(near(pixelAt(*image, 12, 27), red)) << "left of the plane";
    EXPECT_TRUE(near(pixelAt(*image, 27, 27), red)) << "inside the plane";
    EXPECT_TRUE(near(pixelAt(*image, 50, 50), blue));
    EXPECT_TRUE(near(pixelAt(*image, 5, 5), clear));
}

}  // namespace
