// Rendered pixels of the layer features, checked at chosen points.
#include <gtest/gtest.h>

#include <cmath>

#include "draw_test_support.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/ca_replicator_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layer/layer_renderer.h"

namespace {

const CGColor kRed = CGColor::rgb(1, 0, 0, 1);
const CGColor kGreen = CGColor::rgb(0, 1, 0, 1);
const CGColor kBlue = CGColor::rgb(0, 0, 1, 1);
const CGColor kWhite = CGColor::rgb(1, 1, 1, 1);
const Rgba8 red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, white{255, 255, 255, 255},
    black{0, 0, 0, 255}, clear{0, 0, 0, 0};

std::shared_ptr<CALayer> canvas(CGFloat w = 100, CGFloat h = 100) {
    auto layer = CALayer::make();
    layer->setFrame(CGRectMake(0, 0, w, h));
    return layer;
}

template <class T = CALayer>
std::shared_ptr<T> box(const std::shared_ptr<CALayer>& parent, CGRect frame, std::optional<CGColor> color) {
    auto layer = T::make();
    layer->setFrame(frame);
    layer->setBackgroundColor(color);
    parent->addSublayer(layer);
    return layer;
}

Rgba8 at(const std::shared_ptr<CGImage>& image, int x, int y) {
    return pixelAt(*image, x, y);
}

// These trees are drawn as the screen shows them, so their changes are made without implicit
// animations: each picture shows the values just set.
struct LayerRender : ::testing::Test {
    void SetUp() override {
        CATransaction::begin();
        CATransaction::setDisableActions(true);
    }
    void TearDown() override { CATransaction::commit(); }
};

}  // namespace

TEST_F(LayerRender, CornerRadiusBorderAndClippingOfSublayers) {
    auto root = canvas();
    auto card = box(root, CGRectMake(0, 0, 100, 100), kRed);
    card->setCornerRadius(20);
    card->setBorderWidth(4);
    card->setBorderColor(kBlue);
    auto image = LayerRenderer::snapshot(*root, 1);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(at(image, 1, 1), clear)) << at(image, 1, 1);  // outside the rounded corner
    EXPECT_TRUE(near(at(image, 50, 50), red));
    EXPECT_TRUE(near(at(image, 50, 1), blue)) << at(image, 50, 1);
    EXPECT_TRUE(near(at(image, 98, 50), blue));
    EXPECT_TRUE(near(at(image, 50, 6), red));

    // Without masksToBounds a sublayer spills over the corners; with it, it is cut to the curve.
    auto fill = box(card, CGRectMake(0, 0, 100, 100), kGreen);
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 1, 1), green));
    card->setMasksToBounds(true);
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 1, 1), clear));
    EXPECT_TRUE(near(at(image, 50, 50), green));
    EXPECT_TRUE(near(at(image, 50, 1), blue)) << "the border is drawn above the clipped sublayers";
}

TEST_F(LayerRender, ShadowFallsAtItsOffsetAndSoftensWithItsRadius) {
    auto root = canvas();
    auto card = box(root, CGRectMake(30, 30, 40, 40), kWhite);
    card->setShadowOpacity(1);
    card->setShadowOffset({0, 10});
    card->setShadowRadius(0);
    auto image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 50), white));
    EXPECT_TRUE(near(at(image, 50, 75), black)) << at(image, 50, 75);
    EXPECT_TRUE(near(at(image, 50, 85), clear));
    EXPECT_TRUE(near(at(image, 50, 25), clear));

    card->setShadowRadius(6);
    image = LayerRenderer::snapshot(*root, 1);
    // A radius of 6 blurs with a deviation of 3: six points past the shadow's edge, a trace is left.
    Rgba8 edge = at(image, 50, 80), beyond = at(image, 50, 86);
    EXPECT_GT(edge.a, 40);
    EXPECT_LT(edge.a, 220);
    EXPECT_GT(beyond.a, 0);
    EXPECT_LT(beyond.a, edge.a);

    // A shadow at zero opacity is not drawn.
    card->setShadowOpacity(0);
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 75), clear));
}

// A shadowed layer is drawn into a group kept to what it can draw; whatever it draws outside its
// own bounds must still be in that group: sublayers, strokes past the path, centred contents
// larger than the layer, and a sublayer's own shadow. Each on a card of its own, so that one
// feature's reach cannot cover for another's.
TEST_F(LayerRender, AShadowedLayerStillDrawsEverythingOutsideItsBounds) {
    auto shadowedCard = [](const std::shared_ptr<CALayer>& root) {
        auto card = box(root, CGRectMake(40, 40, 20, 20), kWhite);
        card->setShadowOpacity(1);
        card->setShadowRadius(2);
        card->setShadowOffset({0, 0});
        return card;
    };
    auto root = canvas(120, 120);
    box(shadowedCard(root), CGRectMake(-35, -35, 10, 10), kRed);  // up and left of the card
    auto image = LayerRenderer::snapshot(*root, 1);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(at(image, 10, 10), red)) << at(image, 10, 10);

    root = canvas(120, 120);
    auto shape = box<CAShapeLayer>(shadowedCard(root), CGRectMake(0, 0, 20, 20), std::nullopt);
    CGPath line;
    line.moveToPoint({64, -30});
    line.addLineToPoint({76, -30});
    shape->setPath(line);
    shape->setStrokeColor(kBlue);
    shape->setLineWidth(12);  // the path is a line; its stroke covers (64…76, -36…-24) of the card
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 110, 6), blue)) << at(image, 110, 6);

    root = canvas(120, 120);
    auto picture = box(shadowedCard(root), CGRectMake(0, 0, 20, 20), std::nullopt);
    picture->setContents(CGImage::create(1, 1, 8, {0, 255, 0, 255}));
    picture->setContentsGravity(CAContentsGravity::Center);
    picture->setContentsScale(1.0 / 30);  // a 30 x 30 point picture centred on a 20 x 20 layer
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 36, 50), green)) << at(image, 36, 50);

    root = canvas(120, 120);
    auto inner = box(shadowedCard(root), CGRectMake(0, 50, 10, 10), kWhite);
    inner->setShadowOpacity(1);
    inner->setShadowRadius(0);
    inner->setShadowOffset({0, 12});
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 45, 95), white)) << at(image, 45, 95);
    EXPECT_TRUE(near(at(image, 45, 110), black)) << at(image, 45, 110);
}

TEST_F(LayerRender, MaskLayerCutsTheLayerAndItsSublayers) {
    auto root = canvas();
    auto content = box(root, CGRectMake(0, 0, 100, 100), kRed);
    box(content, CGRectMake(50, 0, 50, 100), kGreen);
    auto mask = CAShapeLayer::make();
    CGPath circle;
    circle.addEllipseInRect(CGRectMake(20, 20, 60, 60));
    mask->setPath(circle);
    mask->setFrame(CGRectMake(0, 0, 100, 100));
    content->setMask(mask);
    auto image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 40, 50), red));
    EXPECT_TRUE(near(at(image, 60, 50), green));
    EXPECT_TRUE(near(at(image, 5, 5), clear));
    EXPECT_TRUE(near(at(image, 95, 50), clear));
    // A layer cannot be its own mask.
    content->setMask(content);
    EXPECT_EQ(content->mask(), mask);
}

TEST_F(LayerRender, GradientRunsFromStartToEndThroughItsLocations) {
    auto root = canvas();
    auto g = box<CAGradientLayer>(root, CGRectMake(0, 0, 100, 100), std::nullopt);
    g->setColors({kRed, kBlue});
    auto image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 0), red, 4)) << at(image, 50, 0);
    EXPECT_TRUE(near(at(image, 50, 99), blue, 4)) << at(image, 50, 99);
    Rgba8 mid = at(image, 50, 50);
    EXPECT_NEAR(mid.r, 127, 6);
    EXPECT_NEAR(mid.b, 127, 6);
    g->setLocations({0, 0.2});
    g->setStartPoint({0, 0.5});
    g->setEndPoint({1, 0.5});
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 0, 50), red, 10)) << at(image, 0, 50);
    EXPECT_TRUE(near(at(image, 50, 50), blue));
    // Locations that do not match the colours count as none.
    g->setLocations({0.5});
    EXPECT_EQ(g->stops()[1].first, 1);
}

TEST_F(LayerRender, ShapeFillsStrokesAndTrimsItsStroke) {
    auto root = canvas();
    auto shape = CAShapeLayer::make();
    shape->setFrame(CGRectMake(0, 0, 100, 100));
    root->addSublayer(shape);
    CGPath path;
    path.addRect(CGRectMake(10, 10, 80, 80));
    shape->setPath(path);
    shape->setFillColor(kGreen);
    shape->setStrokeColor(kRed);
    shape->setLineWidth(4);
    auto image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 50), green));
    EXPECT_TRUE(near(at(image, 50, 10), red));
    EXPECT_TRUE(near(at(image, 50, 90), red));
    EXPECT_TRUE(near(at(image, 5, 5), clear));

    // The rectangle runs top, right, bottom, left: half of it is the top and right edges.
    shape->setStrokeEnd(0.5);
    shape->setFillColor(std::nullopt);
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 10), red));
    EXPECT_TRUE(near(at(image, 90, 50), red));
    EXPECT_TRUE(near(at(image, 50, 90), clear));
    EXPECT_TRUE(near(at(image, 10, 50), clear));
    shape->setStrokeStart(0.5);
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 10), clear)) << "an empty stroke range draws nothing";

    // Dashes leave gaps along the stroke.
    shape->setStrokeStart(0);
    shape->setStrokeEnd(1);
    shape->setLineDashPattern({10, 10});
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 15, 10), red));
    EXPECT_TRUE(near(at(image, 25, 10), clear));
}

TEST_F(LayerRender, ReplicatorDrawsEachCopyThroughOneMoreInstanceTransform) {
    auto root = canvas(100, 20);
    auto rep = box<CAReplicatorLayer>(root, CGRectMake(0, 0, 100, 20), std::nullopt);
    box(rep, CGRectMake(0, 5, 10, 10), kRed);
    rep->setInstanceCount(4);
    rep->setInstanceTransform(CATransform3DMakeTranslation(20, 0, 0));
    auto image = LayerRenderer::snapshot(*root, 1);
    for (int x : {5, 25, 45, 65}) EXPECT_TRUE(near(at(image, x, 10), red)) << x;
    for (int x : {15, 85}) EXPECT_TRUE(near(at(image, x, 10), clear)) << x;

    // Copies about the anchor: a half turn puts the second copy on the far side of the centre.
    rep->setInstanceCount(2);
    rep->setInstanceTransform(CATransform3DMakeRotation(M_PI, 0, 0, 1));
    rep->setInstanceAlphaOffset(-0.5);
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 5, 10), red));
    Rgba8 copy = at(image, 95, 10);
    EXPECT_EQ(copy.r, 255);
    EXPECT_NEAR(copy.a, 128, 2);
}

TEST_F(LayerRender, TransformsOpacityAndThreeDimensionalRotationAsProjection) {
    auto root = canvas();
    auto square = box(root, CGRectMake(25, 25, 50, 50), kRed);
    square->setTransform(CATransform3DMakeRotation(M_PI / 4, 0, 0, 1));
    auto image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 17), red)) << "a corner of the turned square points up";
    EXPECT_TRUE(near(at(image, 27, 27), clear));

    // Turned 60 degrees about the vertical axis, the square shows half its width.
    square->setTransform(CATransform3DMakeRotation(M_PI / 3, 0, 1, 0));
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 40, 50), red));
    EXPECT_TRUE(near(at(image, 30, 50), clear));
    EXPECT_NEAR(square->frame().size.width, 25, 1e-9);

    // Perspective keeps the picture inside the square's untransformed span.
    CATransform3D perspective = CATransform3DIdentity;
    perspective.m34 = -1.0 / 500;
    square->setTransform(CATransform3DRotate(perspective, M_PI / 3, 0, 1, 0));
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 50), red));

    // The all-zero scale hides a layer (and its frame collapses to its position).
    square->setTransform(CATransform3DMakeScale(0, 0, 0));
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 50), clear));
    EXPECT_EQ(square->frame(), CGRectMake(50, 50, 0, 0));

    square->setTransform(CATransform3DIdentity);
    square->setOpacity(0.5);
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_NEAR(at(image, 50, 50).a, 128, 2);
    square->setHidden(true);
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 50, 50), clear));
}

TEST_F(LayerRender, DrawnContentComesFromTheDelegateAndRenderInContextUsesTheCurrentContext) {
    struct Painter : CALayerDelegate {
        int calls = 0;
        bool drawLayerInContext(CALayer&, CGContext& context) override {
            ++calls;
            context.setFillColorWithColor(kBlue);
            context.fillRect(CGRectMake(0, 0, 10, 10));
            return true;
        }
    };
    auto painter = std::make_shared<Painter>();
    auto root = canvas(20, 20);
    auto drawn = box(root, CGRectMake(5, 5, 10, 10), std::nullopt);
    drawn->setDelegate(painter);
    drawn->setNeedsDisplay();
    UIGraphicsBeginImageContextWithOptions({20, 20}, false, 2);
    root->renderInContext(*UIGraphicsGetCurrentContext());
    auto picture = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(picture);
    EXPECT_TRUE(near(pixelAt(picture, 20, 20), blue));  // point (10, 10) at scale 2
    EXPECT_TRUE(near(pixelAt(picture, 4, 4), clear));
    EXPECT_EQ(painter->calls, 1);
    EXPECT_EQ(drawn->contentsScale(), 2);
    // Drawing again without a change does not call the delegate again.
    auto again = LayerRenderer::snapshot(*root, 2);
    EXPECT_EQ(painter->calls, 1);
    drawn->setNeedsDisplay();
    again = LayerRenderer::snapshot(*root, 2);
    EXPECT_EQ(painter->calls, 2);
}

TEST_F(LayerRender, OversizedOrEmptyLayersDrawNothingInsteadOfFailing) {
    auto huge = canvas(1e9, 1e9);
    EXPECT_EQ(LayerRenderer::snapshot(*huge, 1), nullptr);
    auto empty = canvas(0, 0);
    EXPECT_EQ(LayerRenderer::snapshot(*empty, 1), nullptr);
    EXPECT_FALSE(LayerRenderer::writePNG(*empty, 1, "/tmp/never.png").ok());
    auto root = canvas(10, 10);
    auto inner = box(root, CGRectMake(0, 0, 1e7, 1e7), kRed);
    inner->setNeedsDisplay();
    inner->setShadowOpacity(1);
    auto image = LayerRenderer::snapshot(*root, 1);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(at(image, 5, 5), red));
}

TEST_F(LayerRender, ContentsBitmapFollowsItsGravityAndScale) {
    // A 2 x 1 bitmap: red then blue (premultiplied RGBA).
    auto bitmap = CGImage::create(2, 1, 8, {255, 0, 0, 255, 0, 0, 255, 255});
    ASSERT_TRUE(bitmap);
    auto root = canvas(40, 20);
    auto layer = box(root, CGRectMake(0, 0, 40, 20), std::nullopt);
    layer->setContents(bitmap);
    auto image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 5, 10), red));  // stretched over the whole bounds
    EXPECT_TRUE(near(at(image, 35, 10), blue));
    layer->setContentsGravity(CAContentsGravity::ResizeAspect);  // 40 x 20 fits exactly: same
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 5, 10), red));
    layer->setContentsGravity(CAContentsGravity::TopLeft);
    layer->setContentsScale(0.1);  // 2 x 1 pixels at 0.1 pixels per point: 20 x 10 points
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_EQ(layer->contentsScale(), 0.1) << "drawing keeps the scale given for a bitmap";
    EXPECT_TRUE(near(at(image, 2, 5), red));
    EXPECT_TRUE(near(at(image, 18, 5), blue));
    EXPECT_TRUE(near(at(image, 5, 15), clear));
    EXPECT_TRUE(near(at(image, 30, 5), clear));
}

TEST(LayerGeometry, ConversionAndHitTestingFollowAnchorPointsAndTransforms) {
    auto root = canvas(200, 200);
    auto a = box(root, CGRectMake(50, 50, 100, 100), kRed);
    a->setAnchorPoint({0, 0});
    EXPECT_EQ(a->position(), CGPointMake(100, 100)) << "moving the anchor keeps the position";
    EXPECT_EQ(a->frame(), CGRectMake(100, 100, 100, 100));
    a->setTransform(CATransform3DMakeScale(0.5, 0.5, 1));  // about the top-left anchor
    EXPECT_EQ(a->frame(), CGRectMake(100, 100, 50, 50));
    auto b = box(a, CGRectMake(10, 10, 20, 20), kBlue);
    CGPoint p = b->convertPointToLayer({0, 0}, root.get());
    EXPECT_NEAR(p.x, 105, 1e-9);
    EXPECT_NEAR(p.y, 105, 1e-9);
    EXPECT_EQ(b->convertPointFromLayer({105, 105}, root.get()), CGPointMake(0, 0));
    EXPECT_EQ(root->hitTest({106, 106}), b);
    EXPECT_EQ(root->hitTest({130, 130}), a);
    EXPECT_EQ(root->hitTest({160, 160}), root);
    b->setHidden(true);
    EXPECT_EQ(root->hitTest({106, 106}), a);
}

TEST_F(LayerRender, PresentationValuesAreDrawnWhileTheModelStaysPut) {
    auto root = canvas();
    auto square = box(root, CGRectMake(0, 0, 20, 20), kRed);
    auto ring = CAShapeLayer::make();
    ring->setFrame(CGRectMake(0, 0, 100, 100));
    CGPath line;
    line.moveToPoint({0, 90});
    line.addLineToPoint({100, 90});
    ring->setPath(line);
    ring->setStrokeColor(kBlue);
    ring->setLineWidth(4);
    ring->setStrokeEnd(0);
    root->addSublayer(ring);

    CALayerPresentation moved;
    moved.position = CGPointMake(60, 60);
    moved.opacity = 0.5f;
    square->setPresentation(moved);
    CALayerPresentation half;
    half.strokeEnd = 0.5;
    ring->setPresentation(half);
    auto image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 10, 10), clear)) << "the model position is not drawn";
    EXPECT_NEAR(at(image, 60, 60).a, 128, 2);
    EXPECT_TRUE(near(at(image, 25, 90), blue));
    EXPECT_TRUE(near(at(image, 75, 90), clear));
    EXPECT_EQ(square->position(), CGPointMake(10, 10));
    EXPECT_EQ(square->hitTest({10, 10}), square) << "hit testing uses the model";
    EXPECT_EQ(square->hitTest({60, 60}), nullptr);

    // Rendering into a context draws the model tree, whatever is running on screen.
    UIGraphicsBeginImageContextWithOptions({100, 100}, false, 1);
    root->renderInContext(*UIGraphicsGetCurrentContext());
    auto model = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(model);
    EXPECT_TRUE(near(pixelAt(model, 10, 10), red));
    EXPECT_TRUE(near(pixelAt(model, 60, 60), clear));
    EXPECT_TRUE(near(pixelAt(model, 25, 90), clear));

    square->clearPresentation();
    ring->clearPresentation();
    image = LayerRenderer::snapshot(*root, 1);
    EXPECT_TRUE(near(at(image, 10, 10), red));
    EXPECT_TRUE(near(at(image, 25, 90), clear));
}
