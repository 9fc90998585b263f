// The root, the content switcher, the delegate and a headless start through the entry.
#include <gtest/gtest.h>

#include "app/app_delegate.h"
#include "app/shell/placeholder_controller.h"
#include "app/shell/root_controller.h"
#include "foundation/global.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "tests/app/app_test_support.h"

namespace {

// A switcher that counts the promotion questions instead of asking the pop-up.
struct CountingSwitcher : MainController {
    KORVA_MAKE(CountingSwitcher)
    int asked = 0;

protected:
    CountingSwitcher() = default;
    void testNewApp() override { ++asked; }
};

struct ShellTest : AppTest {
    std::shared_ptr<CountingSwitcher> showSwitcher() {
        auto switcher = show(CountingSwitcher::make());
        switcher->setStoryboard(UIStoryboard::mainStoryboard());
        return switcher;
    }
};

TEST_F(ShellTest, SetNameMakesEachScreenOnceAndIgnoresUnknownNames) {
    auto switcher = showSwitcher();
    int made = 0;
    UIStoryboard::mainStoryboard()->registerController("Other", [&] {
        ++made;
        return PlaceholderController::make();
    });
    auto first = switcher->setName("ViewController");
    ASSERT_TRUE(first);
    EXPECT_EQ(switcher->vc(), first);
    EXPECT_EQ(first->view()->superview(), switcher->view());

    EXPECT_EQ(switcher->setName("Nowhere"), nullptr);
    EXPECT_EQ(switcher->vc(), first);
    EXPECT_EQ(switcher->dict().size(), 1u);

    auto other = switcher->setName("Other");
    advance(1);
    EXPECT_EQ(switcher->vc(), other);
    EXPECT_EQ(switcher->childViewControllers(), std::vector<std::shared_ptr<UIViewController>>{other});
    EXPECT_EQ(switcher->setName("ViewController"), first);
    advance(1);
    EXPECT_EQ(switcher->setName("Other"), other);
    advance(1);
    EXPECT_EQ(made, 1);

    // The screen already shown: nothing moves.
    EXPECT_EQ(switcher->setName("Other"), other);
    EXPECT_EQ(switcher->childViewControllers().size(), 1u);
}

TEST_F(ShellTest, AShownNavigationStackIsPoppedToItsRoot) {
    auto switcher = showSwitcher();
    auto rootScreen = PlaceholderController::make();
    auto nav = UINavigationController::withRoot(rootScreen);
    nav->setViewControllers({rootScreen, PlaceholderController::make(), PlaceholderController::make()}, false);
    switcher->setVC(nav);
    settle();
    ASSERT_EQ(nav->viewControllers().size(), 1u);
    EXPECT_EQ(nav->viewControllers()[0], rootScreen);
}

TEST_F(ShellTest, ThePromotionIsAskedFiveSecondsAfterLoadingAndAfterTheLastActivation) {
    auto switcher = showSwitcher();
    advance(4.9);
    EXPECT_EQ(switcher->asked, 0);
    advance(0.2);
    EXPECT_EQ(switcher->asked, 1);

    auto app = UIApplication::sharedApplication();
    auto center = NSNotificationCenter::defaultCenter();
    center->post(UIApplicationDidBecomeActiveNotification, app);
    advance(3);
    center->post(UIApplicationDidBecomeActiveNotification, app);
    advance(4.9);
    EXPECT_EQ(switcher->asked, 1);
    advance(0.2);
    EXPECT_EQ(switcher->asked, 2);

    // Observers exist only while shown, and never twice.
    switcher->addObserverApp();
    switcher->disappear(false);
    EXPECT_FALSE(switcher->observingApp());
    center->post(UIApplicationDidBecomeActiveNotification, app);
    advance(6);
    EXPECT_EQ(switcher->asked, 2);
}

TEST_F(ShellTest, RotationQuestionsGoToTheShownScreen) {
    auto switcher = CountingSwitcher::make();
    EXPECT_TRUE(switcher->shouldAutorotate());
    struct Fixed : PlaceholderController {
        bool shouldAutorotate() const override { return false; }
        UIInterfaceOrientationMask supportedInterfaceOrientations() const override {
            return UIInterfaceOrientationMaskPortrait;
        }
    };
    auto screen = make<Fixed>();
    switcher->setVC(screen);
    EXPECT_FALSE(switcher->shouldAutorotate());
    EXPECT_EQ(switcher->supportedInterfaceOrientations(), UIInterfaceOrientationMaskPortrait);
}

TEST_F(ShellTest, TheRootShowsTheCameraScreenLeftToRight) {
    auto root = show(std::dynamic_pointer_cast<RootController>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("RootController")));
    ASSERT_TRUE(root && root->main());
    EXPECT_EQ(root->main()->parentViewController(), root);
    EXPECT_TRUE(std::dynamic_pointer_cast<PlaceholderController>(root->main()->vc()));
    auto any = UIView::make();
    EXPECT_EQ(UIAppearance::semanticContentAttributeForView(*any), UISemanticContentAttribute::ForceLeftToRight);

    std::shared_ptr<NSObject> received;
    auto event = UIView::make();
    auto token = NSNotificationCenter::defaultCenter()->addObserver(
        kRemoteControlReceivedNotification, nullptr, nullptr,
        [&](const std::shared_ptr<NSNotification>& n) { received = n->object(); });
    EXPECT_TRUE(sendRemoteControlEvent(root->main()->vc()->view(), event));  // up the responder chain
    EXPECT_EQ(received, event);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(ShellTest, TheDelegateKeepsTheLatestSessionHandlerAndRefusesURLs) {
    auto delegate = AppDelegate::make();
    auto app = UIApplication::sharedApplication();
    app->setDelegate(delegate);
    int first = 0, second = 0;
    app->handleEventsForBackgroundURLSession("a", [&] { ++first; });
    app->handleEventsForBackgroundURLSession("b", [&] { ++second; });
    auto handler = delegate->takeBackgroundSessionCompletionHandler();
    ASSERT_TRUE(handler);
    handler();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_FALSE(delegate->backgroundSessionCompletionHandler());

    EXPECT_FALSE(app->openURLFromSource("korva://x", "other"));
    EXPECT_TRUE(app->continueUserActivity(Value(), nullptr));

    // A memory warning drops the shared services: the next access makes new ones.
    auto lang = global()->lang();
    auto font = global()->font();
    app->receiveMemoryWarning();
    EXPECT_NE(global()->lang(), lang);
    EXPECT_NE(global()->font(), font);
}

TEST_F(ShellTest, TheTopControllerIsTheNewestPresentedOneOrTheRootsLastChild) {
    auto delegate = AppDelegate::make();
    delegate->setWindow(window);
    auto screen = PlaceholderController::make();
    auto nav = UINavigationController::withRoot(PlaceholderController::make());
    nav->pushViewController(screen, false);
    show(nav);
    EXPECT_EQ(delegate->getTopVC(), screen);

    auto presented = PlaceholderController::make();
    global()->lastViewControllers().push_back(presented);
    EXPECT_EQ(delegate->vcOpener(), presented);
    auto presentedNav = UINavigationController::withRoot(PlaceholderController::make());
    auto last = PlaceholderController::make();
    presentedNav->pushViewController(last, false);
    global()->lastViewControllers().push_back(presentedNav);
    EXPECT_EQ(delegate->getTopVC(), last);
    global()->lastViewControllers().clear();
}

TEST_F(ShellTest, AHeadlessStartThroughTheEntryShowsTheCameraScreen) {
    // The data and the library in the test's own folder: nothing else of the environment is read.
    const std::string data = (tempRoot / "data").string(), library = (tempRoot / "library").string();
    HostOptions options = HostOptions::parse([&](const char* name) -> const char* {
        std::string n = name;
        if (n == "KORVA_HOST") return "headless";
        if (n == "KORVA_TIME") return "virtual";
        if (n == "KORVA_DATA_DIR") return data.c_str();
        if (n == "KORVA_LIBRARY_DIR") return library.c_str();
        return nullptr;
    });
    EXPECT_FALSE(UIApplicationLaunchWithOptions(options, "NoSuchDelegate").ok());
    auto launched = UIApplicationLaunchWithOptions(options, "AppDelegate");
    ASSERT_TRUE(launched.ok()) << launched.error();
    auto& launch = launched.value();
    EXPECT_TRUE(std::dynamic_pointer_cast<AppDelegate>(UIApplication::sharedApplication()->delegate()));
    EXPECT_EQ(launch.delegate->window(), launch.window);
    EXPECT_EQ(UIApplication::sharedApplication()->keyWindow(), launch.window);
    auto root = std::dynamic_pointer_cast<RootController>(launch.window->rootViewController());
    ASSERT_TRUE(root);
    EXPECT_EQ(launch.host->run(), 0);
    ASSERT_TRUE(root->main());
    EXPECT_TRUE(std::dynamic_pointer_cast<PlaceholderController>(root->main()->vc()));
    EXPECT_TRUE(UIApplication::sharedApplication()->isLaunched());
    launch.window->setRootViewController(nullptr);
}

}  // namespace
