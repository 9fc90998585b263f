// Presentation through the presented-controller stack, navigation through containers, the
// navigation-bar setters with custom containers, and the modal question.
#include <gtest/gtest.h>

#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_split_view_controller.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "tests/ui/ui_test_support.h"
#include "ui/controller/custom_containers.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/controller/view_controller_presentation.h"

namespace {

struct Presentation : ToolkitTest {
    std::shared_ptr<UIViewController> rootVC = UIViewController::make();
    void SetUp() override {
        ToolkitTest::SetUp();
        window->setRootViewController(rootVC);
        settle();
    }
    std::vector<GlobalBase::Controller>& stack() { return global()->lastViewControllers(); }
    void finish() {
        settle();
        advance(1);
    }
};

TEST_F(Presentation, PresentThenDismissLeavesTheStackAsItWas) {
    auto before = UIViewController::make();
    stack().push_back(before);
    auto shown = UIViewController::make();
    bool completed = false;
    present(
        rootVC, shown, [&] { completed = true; }, false);
    ASSERT_EQ(stack().size(), 2u);
    EXPECT_EQ(stack().back(), shown) << "recorded at once";
    EXPECT_EQ(rootVC->presentedViewController(), nullptr) << "the platform hears of it after this turn";
    finish();
    EXPECT_EQ(rootVC->presentedViewController(), shown);
    EXPECT_TRUE(completed);

    dismiss(shown, nullptr, false);
    ASSERT_EQ(stack().size(), 1u);
    EXPECT_EQ(stack().back(), before);
    finish();
    EXPECT_EQ(rootVC->presentedViewController(), nullptr);
}

TEST_F(Presentation, NothingToPresentRecordsNothing) {
    bool completed = false;
    present(
        rootVC, nullptr, [&] { completed = true; }, false);
    present(nullptr, UIViewController::make(), nullptr, false);
    finish();
    EXPECT_TRUE(stack().empty());
    EXPECT_FALSE(completed);
    EXPECT_EQ(rootVC->presentedViewController(), nullptr);
}

TEST_F(Presentation, DismissOnAnEmptyStackStillAsksThePlatform) {
    auto direct = UIViewController::make();
    rootVC->presentViewController(direct, false);
    finish();
    ASSERT_EQ(rootVC->presentedViewController(), direct);
    dismiss(rootVC, nullptr, false);
    EXPECT_TRUE(stack().empty());
    finish();
    EXPECT_EQ(rootVC->presentedViewController(), nullptr);
}

TEST_F(Presentation, CallsOfOneTurnReachThePlatformInOrder) {
    auto first = UIViewController::make();
    present(rootVC, first, nullptr, false);
    dismiss(rootVC, nullptr, false);
    auto second = UIViewController::make();
    present(rootVC, second, nullptr, false);
    ASSERT_EQ(stack().size(), 1u);
    EXPECT_EQ(stack().back(), second);
    finish();
    EXPECT_EQ(rootVC->presentedViewController(), second);
    EXPECT_EQ(first->presentingViewController(), nullptr);
}

TEST_F(Presentation, InsideASplitViewTheSplitViewPresents) {
    auto split = UISplitViewController::make();
    auto pane = UIViewController::make();
    split->setViewControllers({pane});
    window->setRootViewController(split);
    settle();
    auto shown = UIViewController::make();
    present(pane, shown, nullptr, false);
    EXPECT_EQ(stack().size(), 1u);
    finish();
    EXPECT_EQ(split->presentedViewController(), shown);
    dismiss(pane, nullptr, false);
    EXPECT_TRUE(stack().empty());
    finish();
    EXPECT_EQ(split->presentedViewController(), nullptr);
}

TEST_F(Presentation, TheSharedWalkDismissesEveryRecordedController) {
    auto a = UIViewController::make();
    present(rootVC, a, nullptr, false);
    finish();
    auto b = UIViewController::make();
    present(a, b, nullptr, false);
    finish();
    bool done = false;
    global()->removeAllViewControllers([&] { done = true; });
    finish();
    EXPECT_TRUE(done);
    EXPECT_TRUE(stack().empty());
    EXPECT_EQ(rootVC->presentedViewController(), nullptr);
}

TEST_F(Presentation, ModalPresentationKeepsThePhonesOwnStyle) {
    auto shown = UIViewController::make();
    shown->setModalPresentationStyle(UIModalPresentationStyle::PageSheet);
    presentModal(rootVC, shown, nullptr, false);
    EXPECT_EQ(shown->modalPresentationStyle(), UIModalPresentationStyle::PageSheet);
    EXPECT_EQ(shown->preferredContentSize(), (CGSize{0, 0}));
    auto full = UIViewController::make();
    full->setModalPresentationStyle(UIModalPresentationStyle::PageSheet);
    presentFull(rootVC, full, nullptr, false);
    EXPECT_EQ(full->modalPresentationStyle(), UIModalPresentationStyle::FullScreen);
}

using TabletPresentation = TabletToolkitTest;

TEST_F(TabletPresentation, ModalPresentationIsAFormSheetOnATablet) {
    auto shown = UIViewController::make();
    presentModal(UIViewController::make(), shown, nullptr, false);
    EXPECT_EQ(shown->modalPresentationStyle(), UIModalPresentationStyle::FormSheet);
    EXPECT_EQ(shown->preferredContentSize(), (CGSize{520, 480}));
}

struct Segmented : SegmentedContainer {
    std::vector<std::string> texts;
    void setSegText(const UIViewController&, const std::string& text) override { texts.push_back(text); }
};

struct HostedScreen : UIViewController, CustomContainerHost {
    KORVA_MAKE(HostedScreen)
    std::shared_ptr<Segmented> segmented;
    std::shared_ptr<UIViewController> tab;
    std::shared_ptr<UIViewController> myTabBarCustomController() const override { return tab; }
    std::shared_ptr<SegmentedContainer> mySegmentedController() const override { return segmented; }
};

TEST_F(Presentation, PushAndBarItemsGoThroughContainers) {
    auto container = UIViewController::make();
    auto nav = UINavigationController::withRoot(container);
    window->setRootViewController(nav);
    auto screen = HostedScreen::make();
    addChild(container, screen, container->view());
    settle();
    EXPECT_EQ(screen->parentViewController(), container);

    auto next = UIViewController::make();
    push(screen, next, false);
    settle();
    EXPECT_EQ(nav->topViewController(), next) << "reached through the container";
    pop(screen, false);
    settle();
    EXPECT_EQ(nav->topViewController(), container);

    setNavTitle(screen, "Title");
    EXPECT_EQ(container->navigationItem()->title(), "Title") << "the container's item, not the screen's";
    EXPECT_EQ(screen->navigationItem()->title(), "");

    screen->segmented = std::make_shared<Segmented>();
    setNavTitle(screen, "Seg");
    EXPECT_EQ(screen->segmented->texts, std::vector<std::string>{"Seg"});
    EXPECT_EQ(container->navigationItem()->title(), "Title") << "no navigation item changes";

    screen->tab = UIViewController::make();
    setNavRight(screen, {UIBarButtonItem::withTitle("R", UIBarButtonItemStyle::Plain, nullptr)});
    EXPECT_EQ(screen->tab->navigationItem()->rightBarButtonItems().size(), 1u);
    EXPECT_TRUE(container->navigationItem()->rightBarButtonItems().empty());

    removeChild(screen);
    EXPECT_EQ(screen->parentViewController(), nullptr);
    EXPECT_EQ(screen->view()->superview(), nullptr);
}

TEST_F(Presentation, ModalOnlyForTheFirstControllerOfAPresentedNavigation) {
    auto first = UIViewController::make();
    auto nav = UINavigationController::withRoot(first);
    present(rootVC, nav, nullptr, false);
    finish();
    EXPECT_TRUE(isModal(*first));
    auto second = UIViewController::make();
    nav->pushViewController(second, false);
    settle();
    EXPECT_FALSE(isModal(*second));
    EXPECT_FALSE(isModal(*rootVC)) << "no navigation controller";
}

TEST_F(Presentation, IgnoreDarkModeFixesTheLightAppearance) {
    auto vc = UIViewController::make();
    ignoreDarkMode(*vc);
    EXPECT_EQ(vc->overrideUserInterfaceStyle(), UIUserInterfaceStyle::Light);
    SystemServices::shared()->setSystem("iOS", "12.4");
    global()->setDevice(nullptr);
    auto old = UIViewController::make();
    ignoreDarkMode(*old);
    EXPECT_EQ(old->overrideUserInterfaceStyle(), UIUserInterfaceStyle::Unspecified);
}

TEST_F(Presentation, RootIsTheKeyWindowsController) {
    EXPECT_EQ(root(), rootVC);
}

TEST_F(Presentation, StoryboardFromTheReceiverItsTopControllerOrTheRoot) {
    auto board = UIStoryboard::make("Test");
    board->registerController("LeftController", [] { return UIViewController::make(); });
    auto made = UIViewController::make();
    EXPECT_EQ(storyboard(made, "LeftController"), nullptr) << "no storyboard anywhere";
    rootVC->setStoryboard(board);
    auto fromRoot = storyboard(made, "LeftController");
    ASSERT_NE(fromRoot, nullptr);
    EXPECT_EQ(fromRoot->storyboard(), board);
    auto top = UIViewController::make();
    auto other = UIStoryboard::make("Other");
    other->registerController("LeftController", [] { return UIViewController::make(); });
    top->setStoryboard(other);
    auto nav = UINavigationController::withRoot(top);
    EXPECT_EQ(storyboard(nav, "LeftController")->storyboard(), other) << "the navigation controller's top controller";
    EXPECT_EQ(storyboard(made, "Unknown"), nullptr);
}

}  // namespace
