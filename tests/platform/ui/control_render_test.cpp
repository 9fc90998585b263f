// The controls draw themselves, and the renderer shows animations' presentation values.
#include <gtest/gtest.h>

#include <cstdlib>

#include "control_test_support.h"
#include "draw_test_support.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_page_control.h"
#include "platform/ui/control/ui_progress_view.h"
#include "platform/ui/control/ui_segmented_control.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/control/ui_stepper.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/ui_font.h"

using ControlRenderTest = GestureTouchTest;

TEST_F(ControlRenderTest, ControlsDrawTheirStateAndAnimationsShowMidFlight) {
    window->setBackgroundColor(UIColor::blackColor());
    auto sw = UISwitch::make(CGRect{{10, 10}, {0, 0}});
    sw->setOn(true);
    sw->setOnTintColor(UIColor::greenColor());
    auto bar = UIProgressView::make(CGRect{{10, 60}, {200, 4}});
    bar->setProgressTintColor(UIColor::blueColor());
    bar->setProgress(0.5f);
    auto slider = UISlider::make(CGRect{{10, 80}, {200, 34}});
    slider->setValue(0.5f);
    auto seg = UISegmentedControl::withItems({"One", "Two"});
    seg->setFrame({{10, 130}, {200, 32}});
    seg->setSelectedSegmentIndex(0);
    auto dots = UIPageControl::make(CGRect{{10, 170}, {200, 26}});
    dots->setNumberOfPages(4);
    auto stepper = UIStepper::make(CGRect{{10, 200}, {0, 0}});
    auto button = UIButton::buttonWithType(UIButtonType::System);
    button->setTitle("Press", UIControlStateNormal);
    button->setFrame({{10, 240}, {100, 40}});
    auto spinner = UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle::WhiteLarge);
    spinner->setCenter({200, 260});
    spinner->startAnimating();
    auto fader = UIView::make(CGRect{{250, 10}, {40, 40}});
    fader->setBackgroundColor(UIColor::redColor());
    for (const auto& v :
         std::vector<std::shared_ptr<UIView>>{sw, bar, slider, seg, dots, stepper, button, spinner, fader})
        window->addSubview(v);
    window->layoutIfNeeded();
    UIViewAnimation::animate(1.0, 0, UIViewAnimationOptionCurveLinear, [&] { fader->setAlpha(0); });
    advance(0.5);

    if (const char* out = std::getenv("KORVA_CONTROLS_PNG")) (void)LayerRenderer::writePNG(*window->layer(), 2, out);
    auto picture = LayerRenderer::snapshot(*window->layer(), 1);
    ASSERT_TRUE(picture);
    EXPECT_TRUE(near(pixelAt(*picture, 18, 25), {0, 255, 0, 255}, 8)) << pixelAt(*picture, 18, 25);  // switch track
    EXPECT_TRUE(near(pixelAt(*picture, 48, 25), {255, 255, 255, 255}, 8));  // its thumb on the right
    EXPECT_TRUE(near(pixelAt(*picture, 40, 61), {0, 0, 255, 255}, 8)) << pixelAt(*picture, 40, 61);  // progress fill
    EXPECT_FALSE(near(pixelAt(*picture, 190, 61), {0, 0, 255, 255}, 8));                             // beyond the fill
    Rgba8 half = pixelAt(*picture, 270, 30);  // red at half alpha over black
    EXPECT_NEAR(half.r, 128, 10);
    EXPECT_EQ(half.g, 0);
}

TEST_F(ControlRenderTest, SegmentTitlesTakeTheirStatesTextAttributes) {
    auto seg = UISegmentedControl::withItems({"Mm", "Mm"});
    const CGFloat plainWidth = seg->sizeThatFits({0, 0}).width;
    seg->setTitleTextAttributes({{NSFontAttributeName, Value(UIFont::boldSystemFontOfSize(26))}}, UIControlStateNormal);
    EXPECT_GT(seg->sizeThatFits({0, 0}).width, plainWidth) << "the normal font sizes the segments";
    // The selected state has none of its own: it takes the normal state's.
    EXPECT_TRUE(seg->titleTextAttributesForState(UIControlStateSelected).contains(NSFontAttributeName));
    seg->setTitleTextAttributes({{NSForegroundColorAttributeName, Value(UIColor::redColor())},
                                 {NSFontAttributeName, Value(UIFont::boldSystemFontOfSize(26))}},
                                UIControlStateSelected);
    seg->setFrame({{0, 0}, {200, 40}});
    seg->setSelectedSegmentIndex(0);
    window->setBackgroundColor(UIColor::whiteColor());
    window->addSubview(seg);
    window->layoutIfNeeded();
    auto picture = LayerRenderer::snapshot(*window->layer(), 1);
    ASSERT_TRUE(picture);
    auto redIn = [&](int x0, int x1) {
        int red = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = x0; x < x1; ++x) {
                Rgba8 p = pixelAt(*picture, x, y);
                if (p.r > 180 && p.g < 80 && p.b < 80) ++red;
            }
        return red;
    };
    EXPECT_GT(redIn(0, 100), 20) << "the selected title is drawn in its state's colour";
    EXPECT_EQ(redIn(100, 200), 0) << "the normal title keeps the default colour";
}
