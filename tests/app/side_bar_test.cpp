// The side-bar container as a state machine, with a style that reports when told; its gestures
// through real touches; the side-bar root's set-up and what it tells the menu and the screen.
#include <gtest/gtest.h>

#include "app/base/my_navigation_controller.h"
#include "app/sidebar/root_controller_base.h"
#include "app/sidebar/side_bar_depth_style.h"
#include "platform/runtime/log.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "tests/app/side_bar_test_support.h"

namespace {

// Moves only when the test says: show and hide report "will", the test reports "did".
struct StepStyle : SideBarStyle {
    std::vector<std::string> calls;
    void showMenuViewController() override {
        calls.push_back("show");
        delegate()->sideBarStyleWillShowMenuViewController();
    }
    void hideMenuViewController(bool animated) override {
        calls.push_back(animated ? "hide animated" : "hide");
        delegate()->sideBarStyleWillHideMenuViewController();
    }
    void handlePanGesture(UIPanGestureRecognizer& pan) override {
        calls.push_back("pan " + std::to_string(static_cast<int>(pan.state())));
    }
    void handleTapGesture(UIGestureRecognizer&) override { calls.push_back("tap"); }
};

struct Listener : SideBarControllerDelegate {
    std::vector<std::string> log;
    void sideBarControllerWillShowMenuViewController(SideBarController&, UIViewController&) override {
        log.push_back("willShow");
    }
    void sideBarControllerDidShowMenuViewController(SideBarController&, UIViewController&) override {
        log.push_back("didShow");
    }
    void sideBarControllerWillHideMenuViewController(SideBarController&, UIViewController&) override {
        log.push_back("willHide");
    }
    void sideBarControllerDidHideMenuViewController(SideBarController&, UIViewController&) override {
        log.push_back("didHide");
    }
};

struct Bar : SideBarTest {
    std::shared_ptr<SideBarController> bar;
    std::shared_ptr<StepStyle> style = make<StepStyle>();
    std::shared_ptr<UIViewController> content = PlaceholderController::make();
    std::shared_ptr<UIViewController> menu = make<StandInMenu>();
    void SetUp() override {
        SideBarTest::SetUp();
        bar = SideBarController::make();
        bar->setPanGestureEnabled(true);
        bar->setContentViewController(content);
        show(bar);
    }
    bool touchable(const std::shared_ptr<UIViewController>& c) const { return c->view()->isUserInteractionEnabled(); }
};

TEST_F(Bar, ShowsOnlyFromHiddenWithStyleAndMenuAndHidesOnlyFromShown) {
    auto listener = std::make_shared<Listener>();
    bar->setDelegate(listener);
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);  // neither style nor menu
    bar->setSideBarStyle(style, SideBarDirection::Left);
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);  // no menu
    EXPECT_TRUE(style->calls.empty());
    bar->setMenuViewController(menu, SideBarDirection::Left);
    EXPECT_TRUE(menu->view()->isHidden());
    EXPECT_EQ(menu->view()->frame(), CGRectMake(-375, 0, 375, 667));

    bar->hideMenuViewController(true);  // hidden: nothing to hide
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);
    EXPECT_EQ(bar->currentState(), SideBarState::WillShow);
    EXPECT_EQ(bar->currentStyle(), style);
    EXPECT_FALSE(touchable(content));
    EXPECT_FALSE(touchable(menu));
    EXPECT_FALSE(menu->view()->isHidden());
    bar->hideMenuViewController(true);  // while moving: nothing
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);

    bar->sideBarStyleDidShowMenuViewController();
    EXPECT_EQ(bar->currentState(), SideBarState::Shown);
    EXPECT_FALSE(touchable(content));
    EXPECT_TRUE(touchable(menu));
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);  // shown: nothing

    bar->hideMenuViewController(true);
    EXPECT_EQ(bar->currentState(), SideBarState::WillHide);
    EXPECT_FALSE(touchable(menu));
    bar->sideBarStyleDidHideMenuViewController();
    EXPECT_EQ(bar->currentState(), SideBarState::Hidden);
    EXPECT_EQ(bar->currentStyle(), nullptr);
    EXPECT_TRUE(touchable(content));
    EXPECT_TRUE(menu->view()->isHidden());
    EXPECT_EQ(style->calls, (std::vector<std::string>{"show", "hide animated"}));
    EXPECT_EQ(listener->log, (std::vector<std::string>{"willShow", "didShow", "willHide", "didHide"}));

    // A delegate that answers none of the events is simply not told.
    auto silent = std::make_shared<SideBarControllerDelegate>();
    bar->setDelegate(silent);
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);
    bar->sideBarStyleDidShowMenuViewController();
    EXPECT_EQ(bar->currentState(), SideBarState::Shown);
}

TEST_F(Bar, TheSameContentTwiceIsInstalledOnceAndANewOneReplacesIt) {
    bar->setContentViewController(content);
    bar->setContentViewController(nullptr);
    EXPECT_EQ(bar->childViewControllers().size(), 1u);
    EXPECT_EQ(bar->view()->subviews().size(), 1u);
    auto other = PlaceholderController::make();
    bar->setContentViewController(other);
    EXPECT_EQ(bar->childViewControllers(), (std::vector<std::shared_ptr<UIViewController>>{other}));
    EXPECT_EQ(content->parentViewController(), nullptr);
    EXPECT_EQ(other->view()->frame(), bar->view()->bounds());
    bar->setMenuViewController(menu, SideBarDirection::Right);
    EXPECT_EQ(menu->view()->frame(), CGRectMake(375, 0, 375, 667));
    EXPECT_EQ(bar->view()->subviews().back(), menu->view());  // menus above the content
}

TEST_F(Bar, AnEdgeDragIsTakenOnlyWhereItsSideHasAStyleAndAMenu) {
    drag({2, 300}, {150, 300});
    EXPECT_EQ(bar->currentDirection(), SideBarDirection::Left);
    EXPECT_EQ(bar->currentStyle(), nullptr);
    bar->setSideBarStyle(style, SideBarDirection::Left);
    drag({2, 300}, {150, 300});  // a style but no menu
    EXPECT_TRUE(style->calls.empty());
    bar->setMenuViewController(menu, SideBarDirection::Left);
    drag({2, 300}, {150, 300});
    ASSERT_FALSE(style->calls.empty());
    EXPECT_EQ(style->calls.front(), "pan 1");
    EXPECT_EQ(style->calls.back(), "pan 3");
    // The right edge has nothing: the current side stays the left one.
    style->calls.clear();
    drag({373, 300}, {200, 300});
    EXPECT_TRUE(style->calls.empty());
}

TEST_F(Bar, AnOpenMenuTakesOnlyHorizontalDragsTowardsClosingAndTapsWhileShown) {
    bar->setSideBarStyle(style, SideBarDirection::Left);
    bar->setMenuViewController(menu, SideBarDirection::Left);
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);
    tap({300, 300});  // while moving: no tap
    bar->sideBarStyleDidShowMenuViewController();
    style->calls.clear();
    drag({300, 200}, {300, 450});  // vertical
    drag({200, 300}, {330, 300});  // towards the menu's own side
    EXPECT_TRUE(style->calls.empty());
    drag({330, 300}, {200, 300});
    ASSERT_FALSE(style->calls.empty());
    EXPECT_EQ(style->calls.front(), "pan 1");
    style->calls.clear();
    tap({300, 300});
    EXPECT_EQ(style->calls, (std::vector<std::string>{"tap"}));
}

TEST_F(Bar, TheSideBarIsFoundThroughNestedParents) {
    auto screen = PlaceholderController::make();
    auto nav = MyNavigationController::withRoot(screen);
    bar->setContentViewController(nav);
    EXPECT_EQ(sideBarController(*screen), bar);
    EXPECT_EQ(sideBarController(*nav), bar);
    EXPECT_EQ(sideBarController(*bar), nullptr);
    EXPECT_EQ(sideBarController(*PlaceholderController::make()), nullptr);
}

TEST_F(SideBarTest, TheSideBarRootSetsUpItsMenuStyleAndContentInOrder) {
    auto root = std::dynamic_pointer_cast<RootControllerBase>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier(RootControllerBase::kStoryboardID));
    ASSERT_TRUE(root);
    EXPECT_TRUE(root->isViewLoaded());
    EXPECT_TRUE(root->panGestureEnabled());
    EXPECT_TRUE(root->leftEdgeGestureRecognizer()->isEnabled());
    EXPECT_EQ(root->menuViewControllerForDirection(SideBarDirection::Left), root->left());
    EXPECT_EQ(root->menuViewControllerForDirection(SideBarDirection::Right), nullptr);
    auto style = std::dynamic_pointer_cast<SideBarDepthStyle>(root->styleForDirection(SideBarDirection::Left));
    ASSERT_TRUE(style);
    EXPECT_EQ(style->menuWidth(), 220);
    EXPECT_EQ(style->sideBarController(), root);
    EXPECT_EQ(root->contentViewController(), root->main());
    EXPECT_EQ(root->delegate().get(), static_cast<SideBarControllerDelegate*>(root.get()));

    show(root);
    auto screen = std::dynamic_pointer_cast<ListeningScreen>(root->main()->setName("ListeningScreen"));
    ASSERT_TRUE(screen);
    auto menu = std::dynamic_pointer_cast<StandInMenu>(root->left());
    root->showMenuViewControllerInDirection(SideBarDirection::Left);
    EXPECT_TRUE(root->statusBarHidden());
    EXPECT_EQ(menu->calls, (std::vector<std::string>{"reload"}));
    advance(0.6);
    EXPECT_EQ(root->currentState(), SideBarState::Shown);
    EXPECT_EQ(menu->calls, (std::vector<std::string>{"reload", "onDidShow"}));
    root->hideMenuViewController(true);
    EXPECT_FALSE(root->statusBarHidden());
    advance(0.6);
    EXPECT_EQ(root->currentState(), SideBarState::Hidden);
    EXPECT_EQ(screen->events, (std::vector<std::string>{"willShow", "didHide"}));
}

TEST_F(AppTest, ASideBarRootWithoutAMenuSaysSoAndStillShowsItsContent) {
    LogCapture log;
    auto root = std::dynamic_pointer_cast<RootControllerBase>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier(RootControllerBase::kStoryboardID));
    ASSERT_TRUE(root);
    EXPECT_TRUE(log.contains("no side menu"));
    show(root);
    root->showMenuViewControllerInDirection(SideBarDirection::Left);
    EXPECT_EQ(root->currentState(), SideBarState::Hidden);
    EXPECT_FALSE(root->gestureRecognizerShouldBegin(*root->leftEdgeGestureRecognizer()));
    EXPECT_EQ(root->contentViewController()->view()->superview(), root->view());
}

}  // namespace
