// States that must show: the default navigation bar dark in the dark appearance (its title is
// drawn in the label colour), and a disabled switch faded.
#include <gtest/gtest.h>

#include "controller_test_support.h"
#include "draw_test_support.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/layer/layer_renderer.h"

using AppearanceStatesTest = UIHarness;

TEST_F(AppearanceStatesTest, TheDefaultBarFollowsTheAppearance) {
    auto bar = UINavigationBar::make(CGRectMake(0, 0, 320, 44));
    window->addSubview(bar);
    auto brightness = [&] {
        bar->setNeedsDisplay();
        window->layoutIfNeeded();
        auto picture = LayerRenderer::snapshot(*bar->layer(), 1);
        return picture ? pixelAt(*picture, 5, 5).r : -1;
    };
    EXPECT_GT(brightness(), 200);
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    EXPECT_LT(brightness(), 60);
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Light);
}

TEST_F(AppearanceStatesTest, ADisabledSwitchIsDrawnFaded) {
    window->setBackgroundColor(UIColor::whiteColor());
    auto sw = UISwitch::make(CGRectMake(10, 10, 51, 31));
    sw->setOnTintColor(UIColor::greenColor());
    sw->setOn(true);
    window->addSubview(sw);
    auto green = [&] {
        window->layoutIfNeeded();
        auto picture = LayerRenderer::snapshot(*window->layer(), 1);
        return picture ? pixelAt(*picture, 18, 25) : Rgba8{};
    };
    Rgba8 enabled = green();
    sw->setEnabled(false);
    Rgba8 disabled = green();
    EXPECT_LT(enabled.r, 30);
    EXPECT_GT(disabled.r, 100) << "half the green over white";
    EXPECT_GT(disabled.g, 200);
}
