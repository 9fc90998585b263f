// A controller's interface orientation follows its window's screen, else the main screen.
#include <gtest/gtest.h>

#include "platform/ui/controller/ui_view_controller_orientation.h"
#include "tests/platform/ui/controller_test_support.h"

namespace {

using ControllerOrientation = UIHarness;

TEST_F(ControllerOrientation, FollowsTheScreenItIsShownOnOrTheMainScreen) {
    auto vc = UIViewController::make();
    EXPECT_EQ(interfaceOrientation(*vc), UIInterfaceOrientation::Portrait) << "no view yet: the main screen";
    window->setRootViewController(vc);
    screen->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    EXPECT_EQ(interfaceOrientation(*vc), UIInterfaceOrientation::LandscapeLeft);

    auto other = UIScreen::make(*DeviceModel::named("tablet"));
    auto elsewhere = UIWindow::make();
    elsewhere->setScreen(other);
    auto vc2 = UIViewController::make();
    elsewhere->setRootViewController(vc2);
    EXPECT_EQ(interfaceOrientation(*vc2), UIInterfaceOrientation::Portrait) << "its own window's screen";
    elsewhere->setRootViewController(nullptr);
}

}  // namespace
