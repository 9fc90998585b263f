// Containers: navigation push/pop with appearance order, refusals and the bar's back item; tab
// bar selection; child containment; the controller registry.
#include "controller_test_support.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/controller/ui_tab_bar_controller.h"

namespace {

using Log = std::vector<std::string>;

struct PortraitOnly : UIViewController {
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override {
        return UIInterfaceOrientationMaskPortrait;
    }
};

struct NavigationTest : UIHarness {
    Log log;
    std::shared_ptr<RecordingController> make(const std::string& name) {
        auto c = RecordingController::make(name, &log);
        c->setTitle(name);
        return c;
    }
};

TEST_F(NavigationTest, PushAndPopSendAppearanceInOrderAndSettleAfterTheSlide) {
    auto a = make("a"), b = make("b");
    auto nav = UINavigationController::withRoot(a);
    window->setRootViewController(nav);
    settle();
    EXPECT_EQ(log, (Log{"a didMoveIn", "a load", "a willAppear", "a didAppear"}));
    log.clear();

    ASSERT_TRUE(nav->pushViewController(b, true));
    EXPECT_EQ(log, (Log{"b load", "a willDisappear", "b willAppear"}));
    EXPECT_TRUE(nav->isTransitioning());
    EXPECT_EQ(nav->topViewController(), b);
    advance(0.4);
    EXPECT_EQ(log, (Log{"b load", "a willDisappear", "b willAppear", "a didDisappear", "b didAppear", "b didMoveIn"}));
    EXPECT_FALSE(nav->isTransitioning());
    EXPECT_EQ(a->view()->superview(), nullptr);
    EXPECT_EQ(b->navigationController(), nav);
    EXPECT_EQ(b->view()->frame().size, nav->contentFrame().size);
    EXPECT_GT(nav->contentFrame().origin.y, 0);

    log.clear();
    EXPECT_EQ(nav->popViewControllerAnimated(true), b);
    advance(0.4);
    EXPECT_EQ(log, (Log{"b willDisappear", "a willAppear", "b didDisappear", "a didAppear", "b didMoveOut"}));
    EXPECT_EQ(b->parentViewController(), nullptr);
    EXPECT_EQ(nav->viewControllers().size(), 1u);
    // The root cannot be popped.
    EXPECT_EQ(nav->popViewControllerAnimated(true), nullptr);
}

TEST_F(NavigationTest, AStackChangeDuringASlideFinishesTheSlideFirst) {
    auto a = make("a"), b = make("b"), c = make("c");
    auto nav = UINavigationController::withRoot(a);
    window->setRootViewController(nav);
    ASSERT_TRUE(nav->pushViewController(b, true));
    ASSERT_TRUE(nav->pushViewController(c, true));
    EXPECT_EQ(b->appearanceState(), UIAppearanceState::Disappearing);
    advance(1);
    EXPECT_EQ(b->appearanceState(), UIAppearanceState::Disappeared);
    EXPECT_EQ(c->appearanceState(), UIAppearanceState::Appeared);
    EXPECT_EQ(std::count(log.begin(), log.end(), "b didAppear"), 1);
}

TEST_F(NavigationTest, RefusesControllersAlreadyInAContainerAndPopsToARoot) {
    auto a = make("a"), b = make("b"), c = make("c");
    auto nav = UINavigationController::withRoot(a);
    window->setRootViewController(nav);
    EXPECT_FALSE(nav->pushViewController(a, false));
    EXPECT_FALSE(nav->pushViewController(nullptr, false));
    auto other = UINavigationController::withRoot(c);
    EXPECT_FALSE(nav->pushViewController(c, false));
    EXPECT_EQ(c->navigationController(), other);
    ASSERT_TRUE(nav->pushViewController(b, false));
    auto d = make("d");
    ASSERT_TRUE(nav->pushViewController(d, false));
    log.clear();
    auto popped = nav->popToRootViewControllerAnimated(false);
    EXPECT_EQ(popped, (std::vector<std::shared_ptr<UIViewController>>{b, d}));
    EXPECT_EQ(nav->topViewController(), a);
    // The middle controller was never on screen during the pop.
    EXPECT_EQ(std::count(log.begin(), log.end(), "b willAppear"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "d didDisappear"), 1);
    EXPECT_EQ(b->parentViewController(), nullptr);
    EXPECT_TRUE(nav->popToViewController(make("stranger"), false).empty());
}

TEST_F(NavigationTest, TheBarFollowsTheStackAndItsBackItemPops) {
    auto a = make("Settings"), b = make("Detail");
    auto nav = UINavigationController::withRoot(a);
    window->setRootViewController(nav);
    ASSERT_TRUE(nav->pushViewController(b, false));
    settle();
    auto bar = nav->navigationBar();
    ASSERT_EQ(bar->items().size(), 2u);
    EXPECT_EQ(bar->topItem()->title(), "Detail");
    ASSERT_NE(bar->backItemView(), nullptr);
    EXPECT_EQ(bar->backItemView()->item()->title(), "Settings");
    // A left item replaces the back item.
    int taps = 0;
    b->navigationItem()->setLeftBarButtonItem(
        UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::Done, [&](UIBarButtonItem&) { ++taps; }));
    EXPECT_EQ(bar->backItemView(), nullptr);
    ASSERT_EQ(bar->itemViews().size(), 1u);
    EXPECT_TRUE(bar->itemViews()[0]->tap());
    EXPECT_EQ(taps, 1);
    b->navigationItem()->setLeftBarButtonItem(nullptr);
    ASSERT_NE(bar->backItemView(), nullptr);
    EXPECT_TRUE(bar->backItemView()->tap());
    advance(0.5);
    EXPECT_EQ(nav->topViewController(), a);
    EXPECT_EQ(bar->items().size(), 1u);
    EXPECT_FALSE(bar->tapBack());
    // The toolbar shows the top controller's items.
    b->setToolbarItems({UIBarButtonItem::withTitle("Share", UIBarButtonItemStyle::Plain, nullptr)});
    a->setToolbarItems({});
    ASSERT_TRUE(nav->pushViewController(b, false));
    EXPECT_EQ(nav->toolbar()->items().size(), 1u);
    nav->popViewControllerAnimated(false);
    EXPECT_TRUE(nav->toolbar()->items().empty());
}

TEST_F(NavigationTest, StackSetBeforeTheViewLoadsShowsOnlyTheTop) {
    auto a = make("a"), b = make("b");
    auto nav = UINavigationController::make();
    nav->setViewControllers({a, b, a, nullptr}, false);
    EXPECT_EQ(nav->viewControllers().size(), 2u);
    window->setRootViewController(nav);
    EXPECT_EQ(b->appearanceState(), UIAppearanceState::Appeared);
    EXPECT_FALSE(a->isViewLoaded());
    // The container answers the orientation questions with its top controller.
    ASSERT_TRUE(nav->pushViewController(::make<PortraitOnly>(), false));
    EXPECT_EQ(nav->supportedInterfaceOrientations(), UIInterfaceOrientationMaskPortrait);
}

struct TabGate : UITabBarControllerDelegate {
    bool allow = true;
    std::vector<std::shared_ptr<UIViewController>> selected;
    bool shouldSelectViewController(UITabBarController&, const std::shared_ptr<UIViewController>&) override {
        return allow;
    }
    void didSelectViewController(UITabBarController&, const std::shared_ptr<UIViewController>& c) override {
        selected.push_back(c);
    }
};

TEST_F(NavigationTest, TabBarSwitchesChildrenWithAppearanceAndAsksItsDelegate) {
    auto a = make("a"), b = make("b");
    auto tabs = UITabBarController::make();
    tabs->setViewControllers({a, b});
    window->setRootViewController(tabs);
    EXPECT_EQ(a->appearanceState(), UIAppearanceState::Appeared);
    EXPECT_FALSE(b->isViewLoaded());
    auto gate = std::make_shared<TabGate>();
    tabs->setDelegate(gate);
    log.clear();
    ASSERT_TRUE(tabs->tabBar()->tapItemAtIndex(1));
    EXPECT_EQ(tabs->selectedIndex(), 1u);
    EXPECT_EQ(log, (Log{"b load", "a willDisappear", "b willAppear", "a didDisappear", "b didAppear"}));
    EXPECT_EQ(gate->selected, (std::vector<std::shared_ptr<UIViewController>>{b}));
    gate->allow = false;
    tabs->tabBar()->tapItemAtIndex(0);
    EXPECT_EQ(tabs->selectedIndex(), 1u);
    EXPECT_EQ(tabs->tabBar()->selectedItem(), b->tabBarItem());
    tabs->setSelectedIndex(7);
    EXPECT_EQ(tabs->selectedIndex(), 1u);
    // Removing the shown child moves the selection to the first tab.
    tabs->setViewControllers({a});
    EXPECT_EQ(tabs->selectedViewController(), a);
    EXPECT_EQ(b->parentViewController(), nullptr);
    EXPECT_EQ(b->appearanceState(), UIAppearanceState::Disappeared);
}

TEST_F(NavigationTest, ChildContainmentForwardsAppearanceAndTransitionsBetweenChildren) {
    auto parent = make("parent");
    window->setRootViewController(parent);
    auto a = make("a"), b = make("b");
    log.clear();
    // Adding a child's view to a parent on screen makes the child appear.
    parent->addChildViewController(a);
    parent->view()->addSubview(a->view());
    a->didMoveToParentViewController(parent);
    EXPECT_EQ(log, (Log{"a load", "a willAppear", "a didAppear", "a didMoveIn"}));
    parent->addChildViewController(b);
    b->didMoveToParentViewController(parent);
    log.clear();
    parent->disappear(false);
    EXPECT_EQ(log, (Log{"parent willDisappear", "a willDisappear", "parent didDisappear", "a didDisappear"}));
    parent->appear(false);
    log.clear();
    bool done = false;
    parent->transitionFromViewController(a, b, 0.25, nullptr, [&](bool finished) { done = finished; });
    EXPECT_EQ(log, (Log{"a willDisappear", "b load", "b willAppear"}));
    advance(0.3);
    EXPECT_TRUE(done);
    EXPECT_EQ(a->view()->superview(), nullptr);
    EXPECT_EQ(b->view()->superview(), parent->view());
    // A child that belongs elsewhere is refused at once.
    bool refused = false;
    parent->transitionFromViewController(b, make("stranger"), 0, nullptr, [&](bool f) { refused = !f; });
    EXPECT_TRUE(refused);
    // Moving a child to another parent detaches it first.
    auto other = make("other");
    other->addChildViewController(b);
    EXPECT_EQ(b->parentViewController(), other);
    EXPECT_EQ(parent->childViewControllers().size(), 1u);
}

TEST_F(NavigationTest, RegistryMakesControllersByIdentifier) {
    auto board = UIStoryboard::make();
    int made = 0;
    EXPECT_TRUE(board->registerController("Main", [&] {
        ++made;
        return std::static_pointer_cast<UIViewController>(make("main"));
    }));
    EXPECT_FALSE(board->registerController("", [&] { return make("x"); }));
    EXPECT_TRUE(board->registerController("Broken", [] { return std::shared_ptr<UIViewController>(); }));
    auto first = board->instantiateViewControllerWithIdentifier("Main");
    auto second = board->instantiateViewControllerWithIdentifier("Main");
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(first->storyboard(), board);
    EXPECT_EQ(board->instantiateViewControllerWithIdentifier("Missing"), nullptr);
    EXPECT_EQ(board->instantiateViewControllerWithIdentifier("Broken"), nullptr);
    EXPECT_EQ(board->instantiateInitialViewController(), nullptr);
    board->setInitialIdentifier("Main");
    EXPECT_NE(board->instantiateInitialViewController(), nullptr);
}

}  // namespace
