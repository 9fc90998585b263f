// Blur effect views blur what lies beneath them when composited; vibrancy blends its content in.
#include <gtest/gtest.h>

#include "draw_test_support.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/view/ui_visual_effect_view.h"

namespace {

std::shared_ptr<UIView> stripes() {
    // Ten-point black and white stripes under the effect.
    auto base = UIView::make(CGRectMake(0, 0, 100, 40));
    base->setBackgroundColor(UIColor::whiteColor());
    for (int x = 0; x < 100; x += 20) {
        auto stripe = UIView::make(CGRectMake(x, 0, 10, 40));
        stripe->setBackgroundColor(UIColor::blackColor());
        base->addSubview(stripe);
    }
    return base;
}

}  // namespace

TEST(VisualEffect, BlurSoftensWhatLiesBeneathOnlyInsideTheView) {
    auto base = stripes();
    auto blur =
        UIVisualEffectView::make(UIBlurEffect::effectWithStyle(UIBlurEffectStyle::Dark), CGRectMake(50, 0, 50, 40));
    base->addSubview(blur);
    auto image = LayerRenderer::snapshot(*base->layer(), 1);
    ASSERT_TRUE(image);
    // Outside: crisp stripes.
    EXPECT_EQ(pixelAt(*image, 5, 20).r, 0);
    EXPECT_EQ(pixelAt(*image, 15, 20).r, 255);
    // Inside: the stripes run together into a darkened grey.
    int black = pixelAt(*image, 65, 20).r, white = pixelAt(*image, 75, 20).r;
    EXPECT_LT(std::abs(black - white), 30);
    EXPECT_GT(black, 5);
    EXPECT_LT(white, 150);
    EXPECT_EQ(blur->contentView()->frame(), CGRectMake(0, 0, 50, 40));
}

TEST(VisualEffect, VibrantContentIsBlendedIntoTheBlur) {
    auto base = stripes();
    auto blur =
        UIVisualEffectView::make(UIBlurEffect::effectWithStyle(UIBlurEffectStyle::Light), CGRectMake(0, 0, 100, 40));
    base->addSubview(blur);
    auto vibrancy = UIVisualEffectView::make(
        UIVibrancyEffect::effectForBlurEffect(std::dynamic_pointer_cast<UIBlurEffect>(blur->effect())), blur->bounds());
    blur->contentView()->addSubview(vibrancy);
    auto grey = UIView::make(CGRectMake(40, 10, 20, 20));
    grey->setBackgroundColor(UIColor::colorWithWhite(0.7, 1));
    vibrancy->contentView()->addSubview(grey);
    auto image = LayerRenderer::snapshot(*base->layer(), 1);
    // Laid over, the grey would read 178; multiplied into the light blur it is darker still, and
    // follows the backdrop beneath it.
    int shown = pixelAt(*image, 50, 20).r;
    grey->setHidden(true);
    int without = pixelAt(*LayerRenderer::snapshot(*base->layer(), 1), 50, 20).r;
    EXPECT_NEAR(shown, without * 0.7, 3);
}
