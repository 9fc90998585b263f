// The controller chain's hooks, debounced on the virtual clock, and the deferred navigation items.
#include <gtest/gtest.h>

#include "foundation/global.h"
#include "platform/dispatch/queue.h"
#include "platform/sensors/av_audio_session.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "tests/app/app_test_support.h"

namespace {

void postTextSizeChange() {
    NSNotificationCenter::defaultCenter()->post(UIContentSizeCategoryDidChangeNotification);
}

TEST_F(AppTest, SizeTransitionsAndTextSizeChangesAreDebounced) {
    auto screen = show(HookScreen::make());
    screen->viewWillTransitionToSize({400, 300});
    advance(0.05);
    screen->viewWillTransitionToSize({300, 400});
    advance(0.05);
    screen->didRotateFromInterfaceOrientation(UIInterfaceOrientation::Portrait);
    advance(0.09);
    EXPECT_EQ(screen->count("rotate"), 0);
    advance(0.02);
    EXPECT_EQ(screen->count("rotate"), 1);

    // Each text-size change drops the font catalogue and tells the screen at once; the view
    // update comes a second after the last one.
    auto font = global()->font();
    postTextSizeChange();
    EXPECT_NE(global()->font(), font);
    advance(0.5);
    postTextSizeChange();
    EXPECT_EQ(screen->count("font"), 2);
    advance(0.9);
    EXPECT_EQ(screen->count("view"), 0);
    advance(0.2);
    EXPECT_EQ(screen->count("view"), 1);
}

TEST_F(AppTest, AHiddenScreenGetsNoTextSizeHooks) {
    auto screen = show(HookScreen::make());
    postTextSizeChange();
    screen->disappear(false);
    advance(2);
    EXPECT_EQ(screen->count("font"), 1);
    EXPECT_EQ(screen->count("view"), 0);
    postTextSizeChange();
    screen->appear(false);
    advance(2);
    EXPECT_EQ(screen->count("font"), 1);
}

TEST_F(AppTest, OnlyAChangedColourAppearanceCallsUpdateDarkMode) {
    auto screen = show(HookScreen::make());
    UITraitCollection previous = screen->traitCollection();
    UITraitCollection sizeOnly = previous;
    sizeOnly.preferredContentSizeCategory = UIContentSizeCategoryAccessibilityLarge;
    screen->setTraitCollection(sizeOnly);
    EXPECT_EQ(screen->count("dark"), 0);
    UITraitCollection dark = sizeOnly;
    dark.userInterfaceStyle = UIUserInterfaceStyle::Dark;
    screen->setTraitCollection(dark);
    EXPECT_EQ(screen->count("dark"), 1);
}

TEST_F(AppTest, TheVolumeIsWatchedOnlyWhenAScreenAsksForIt) {
    auto session = AVAudioSession::sharedInstance();
    ASSERT_TRUE(session->setActive(false).ok());
    auto plain = show(HookScreen::make());
    EXPECT_FALSE(plain->observingAudioSession());
    EXPECT_FALSE(session->isActive());
}

TEST_F(AppTest, NavigationItemsFromAMainQueueBlockWaitForTheScreenToAppear) {
    auto screen = HookScreen::make();
    auto nav = UINavigationController::withRoot(screen);
    auto first = UIBarButtonItem::withTitle("A", UIBarButtonItemStyle::Plain, nullptr);
    auto second = UIBarButtonItem::withTitle("B", UIBarButtonItemStyle::Plain, nullptr);
    dispatch_async(dispatch_get_main_queue(), [&] {
        EXPECT_TRUE(MyViewController::isCalledFromDispatch());
        screen->setNavRight({first});
        screen->setNavRight({second});
    });
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(screen->arrNavRight().size(), 1u);
    EXPECT_EQ(screen->arrNavRight()[0], second);
    EXPECT_TRUE(screen->navigationItem()->rightBarButtonItems().empty());

    show(nav);
    EXPECT_TRUE(screen->didAppeared());
    EXPECT_TRUE(screen->arrNavRight().empty());
    ASSERT_EQ(screen->navigationItem()->rightBarButtonItems().size(), 1u);
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItems()[0], second);
}

TEST_F(AppTest, DirectNavigationItemsApplyAtOnce) {
    auto screen = HookScreen::make();
    auto nav = UINavigationController::withRoot(screen);
    EXPECT_FALSE(MyViewController::isCalledFromDispatch());
    auto item = UIBarButtonItem::withTitle("A", UIBarButtonItemStyle::Plain, nullptr);
    screen->setNavRight({item});
    EXPECT_TRUE(screen->arrNavRight().empty());
    ASSERT_EQ(screen->navigationItem()->rightBarButtonItems().size(), 1u);
}

TEST_F(AppTest, TheFlyInNeedsANavigationControllerAndASenderView) {
    auto screen = show(HookScreen::make());
    auto button = UIView::make(CGRectMake(10, 10, 40, 40));
    screen->view()->addSubview(button);
    auto before = window->subviews().size();
    screen->anim_AddItem(button, nullptr);  // no navigation controller: nothing
    EXPECT_EQ(window->subviews().size(), before);

    auto inNav = HookScreen::make();
    auto nav = show(UINavigationController::withRoot(inNav));
    auto navSubviews = nav->view()->subviews().size();
    inNav->anim_AddItem(nullptr, nullptr);  // no sender view
    inNav->anim_AddItem(UIColor::redColor(), nullptr);
    EXPECT_EQ(nav->view()->subviews().size(), navSubviews);

    auto sender = UIView::make(CGRectMake(10, 100, 40, 40));
    inNav->view()->addSubview(sender);
    inNav->anim_AddItem(sender, nullptr);
    EXPECT_EQ(nav->view()->subviews().size(), navSubviews + 1);
    advance(1.3);
    EXPECT_EQ(nav->view()->subviews().size(), navSubviews);
}

}  // namespace
