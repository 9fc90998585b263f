// Styling recipes: the layer properties each sets, and sublayer ordering.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/image/cg_image.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/view/ui_view.h"
#include "ui/layout/layer_custom.h"
#include "ui/layout/view_custom_style.h"
#include "widgets/flat/flat_palette.h"

namespace {

TEST(Styling, AShadowedWhiteIconKeepsAVisibleEdgeOnAWhitePicture) {
    auto picture = UIView::make(CGRectMake(0, 0, 60, 60));
    picture->setBackgroundColor(UIColor::whiteColor());
    auto icon = UIView::make(CGRectMake(20, 20, 20, 20));
    icon->setBackgroundColor(UIColor::whiteColor());
    picture->addSubview(icon);
    assignShadow(*icon);
    auto image = LayerRenderer::snapshot(*picture->layer(), 3);
    ASSERT_TRUE(image);
    // The darkest pixel of the shadow, just outside the icon's lower right edge.
    int darkest = 255;
    for (int y = 120; y < 130; ++y)
        for (int x = 60; x < 130; ++x)
            darkest = std::min<int>(darkest, image->data()[y * image->bytesPerRow() + x * 4 + 1]);
    // A shadow of opacity 0.2 darkens white by a fifth at most; blurred by the default radius it
    // reaches about a seventh just under the edge.
    EXPECT_GE(darkest, 204) << "a darker shadow than the standard one";
    EXPECT_LE(darkest, 221) << "the outline is fainter than the standard shadow draws";
}

TEST(Styling, RoundShadowAndBorderSetTheirLayerProperties) {
    auto view = UIView::make(CGRectMake(0, 0, 80, 40));
    assignBorder(*view, 3, UIColor::redColor());
    assignRound(*view, 0);
    EXPECT_TRUE(view->layer()->masksToBounds()) << "radius 0 still clips";
    EXPECT_EQ(view->layer()->borderWidth(), 0) << "and takes the border off";
    EXPECT_EQ(view->layer()->cornerRadius(), 0);

    view->layer()->setShadowRadius(9);
    assignShadow(*view);
    EXPECT_EQ(view->layer()->shadowColor(), CGColor::gray(0));
    EXPECT_FLOAT_EQ(view->layer()->shadowOpacity(), 0.2f);
    EXPECT_EQ(view->layer()->shadowOffset(), (CGSize{1, 1}));
    EXPECT_EQ(view->layer()->shadowRadius(), 9) << "the radius is left alone";
    // A bare layer takes the recipe directly, in the colour given.
    auto bare = CALayer::make();
    assignShadow(*bare, UIColor::whiteColor());
    EXPECT_EQ(bare->shadowColor(), UIColor::whiteColor()->cgColor());
    EXPECT_FLOAT_EQ(bare->shadowOpacity(), 0.2f);
    EXPECT_EQ(bare->shadowOffset(), (CGSize{1, 1}));

    assignBorder(*view, 2, UIColor::blueColor());
    EXPECT_EQ(view->layer()->borderWidth(), 2);
    EXPECT_EQ(view->layer()->borderColor(), UIColor::blueColor()->cgColor());
}

TEST(Styling, RoundEdgeIsHalfTheHeightWhateverTheWidth) {
    for (CGFloat width : {30.0, 200.0}) {
        auto view = UIView::make(CGRectMake(0, 0, width, 30));
        setRoundEdge(*view);
        EXPECT_EQ(view->layer()->cornerRadius(), 15);
        EXPECT_TRUE(view->clipsToBounds());
        EXPECT_EQ(view->layer()->borderWidth(), 1);
        EXPECT_EQ(view->layer()->borderColor(), flatGrayColor()->cgColor());
        EXPECT_TRUE(view->layer()->shouldRasterize());
    }
}

TEST(Styling, SublayersMoveToTopOrBottomFromAnyParent) {
    auto parent = CALayer::make();
    auto other = CALayer::make();
    auto a = CALayer::make(), b = CALayer::make(), moved = CALayer::make();
    parent->addSublayer(a);
    parent->addSublayer(b);
    other->addSublayer(moved);
    bringToFront(*parent, moved);
    EXPECT_TRUE(other->sublayers().empty());
    EXPECT_EQ(parent->sublayers().back(), moved);
    sendToBack(*parent, moved);
    ASSERT_EQ(parent->sublayers().size(), 3u);
    EXPECT_EQ(parent->sublayers().front(), moved);
    EXPECT_EQ(parent->sublayers()[1], a);
}

}  // namespace
