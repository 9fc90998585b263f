// Layout margins: a controller's view keeps the side margins over the safe area and tells its
// controller when they change (a turn moves the notch); the controller's orientation answers.
#include "controller_test_support.h"

namespace {

struct MarginWatcher : UIViewController {
    int changes = 0;
    void viewLayoutMarginsDidChange() override { ++changes; }
};

struct NotchedMargins : UIHarness {
    const char* deviceName() const override { return "notched"; }
};

TEST_F(NotchedMargins, TheRootViewsMarginsFollowTheSafeAreaAndTellTheController) {
    auto screenController = ::make<MarginWatcher>();
    window->setRootViewController(screenController);
    settle();
    auto view = screenController->view();
    UIEdgeInsets safe = view->safeAreaInsets();
    ASSERT_GT(safe.top, 0) << "the notched screen has a safe area";
    EXPECT_EQ(view->layoutMargins(), (UIEdgeInsets{safe.top, 16 + safe.left, safe.bottom, 16 + safe.right}));
    const int joined = screenController->changes;
    EXPECT_GE(joined, 1) << "joining the window moved the margins";

    // Turned, the notch is at a side: the margins move with it and the controller hears of it.
    screen->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    settle();
    safe = view->safeAreaInsets();
    ASSERT_GT(safe.left + safe.right, 0);
    EXPECT_EQ(view->layoutMargins().left, 16 + safe.left);
    EXPECT_GT(screenController->changes, joined);

    // Own margins set: told once; the same again: not told.
    const int before = screenController->changes;
    view->setLayoutMargins(UIEdgeInsets{0, 30, 0, 30});
    view->setLayoutMargins(UIEdgeInsets{0, 30, 0, 30});
    EXPECT_EQ(screenController->changes, before + 1);
    view->setInsetsLayoutMarginsFromSafeArea(false);
    EXPECT_EQ(view->layoutMargins(), (UIEdgeInsets{0, 30, 0, 30}));

    // A plain view keeps 8 points all round.
    EXPECT_EQ(UIView::make()->layoutMargins(), (UIEdgeInsets{8, 8, 8, 8}));
}

TEST_F(UIHarness, AControllerTurnsToTheOrientationsItSupports) {
    auto plain = ::make<MarginWatcher>();
    EXPECT_TRUE(plain->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::Portrait));
    EXPECT_TRUE(plain->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::LandscapeLeft));
    EXPECT_FALSE(plain->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::PortraitUpsideDown))
        << "a phone's controllers leave out upside down";
    EXPECT_FALSE(plain->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::Unknown));
}

}  // namespace
