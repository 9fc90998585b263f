// The web pop-up and the screen's openers: panel sizes, closing by a tap outside, reuse of the web
// screen, the light look in dark mode, the owner's bar left alone, the translation hook, and the
// full-screen road.
#include <gtest/gtest.h>

#include "app/base/my_navigation_controller.h"
#include "foundation/global.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/layer/layer_renderer.h"
#include "tests/app/web_test_support.h"
#include "tests/platform/ui/draw_test_support.h"
#include "ui/controller/view_controller_navigation.h"

namespace {

using Items = std::vector<std::shared_ptr<UIBarButtonItem>>;

struct WebOwner : MyViewController {
    KORVA_MAKE(WebOwner)
    std::vector<std::string> log;
    std::shared_ptr<UIButton> button;
    void viewDidLoad() override {
        MyViewController::viewDidLoad();
        view()->setBackgroundColor(UIColor::systemBackgroundColor());
        button = UIButton::buttonWithType(UIButtonType::System);
        button->setFrame(CGRectMake(20, 90, 80, 30));
        view()->addSubview(button);
    }
    void onPopWebViewWillHide(PopWebView& pop) override {
        log.push_back(std::string("willHide ") + (pop.hidden() ? "hidden" : "shown"));
        MyViewController::onPopWebViewWillHide(pop);
    }
    void onGoogleTranslateWillHide() override { log.push_back("translation hook"); }

protected:
    WebOwner() = default;
};

struct WebPopupTest : WebTest {
    std::shared_ptr<WebOwner> owner;
    std::shared_ptr<MyNavigationController> nav;
    void SetUp() override {
        WebTest::SetUp();
        // Screens come from the storyboard, which then also makes their web screens.
        UIStoryboard::mainStoryboard()->registerController("WebOwner", [] { return WebOwner::make(); });
        owner = std::dynamic_pointer_cast<WebOwner>(
            UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("WebOwner"));
        nav = show(MyNavigationController::withRoot(owner));
    }
    void openAtButton(const std::string& address) {
        owner->openURL(address, owner->button);
        waitForPage(*owner->popWeb()->web());
        advance(0.5);
    }
    CGRect panelInWindow() const {
        auto container = owner->popWeb()->container();
        return container->convertRectToView(container->bounds(), window);
    }
};

TEST(WebPopupSize, HalfTheShorterSideWithinItsBoundsAndTheScreen) {
    EXPECT_EQ(PopWebView::panelSize({375, 667}), (CGSize{300, 360}));
    EXPECT_EQ(PopWebView::panelSize({1024, 768}), (CGSize{400, 480}));
    EXPECT_EQ(PopWebView::panelSize({1366, 1366}), (CGSize{600, 720}));
}

TEST_F(WebPopupTest, ATapOutsideThePanelHidesItAfterTellingTheOwnerAndATapInsideDoesNot) {
    openAtButton(url("/page"));
    auto pop = owner->popWeb();
    ASSERT_FALSE(pop->hidden());
    EXPECT_FALSE(pop->act()->isAnimating());
    CGRect panel = panelInWindow();
    EXPECT_EQ(panel.size, (CGSize{300, 360}));

    tap(CGPointMake(CGRectGetMidX(panel), CGRectGetMaxY(panel) - 20));
    advance(0.5);
    EXPECT_FALSE(pop->hidden());
    EXPECT_TRUE(owner->log.empty());

    tap(CGPointMake(CGRectGetMidX(panel), CGRectGetMaxY(panel) + 40));
    advance(0.5);
    EXPECT_TRUE(pop->hidden());
    EXPECT_EQ(owner->log, (std::vector<std::string>{"willHide shown"}));
    EXPECT_EQ(pop->web()->parentViewController(), nullptr);
}

TEST_F(WebPopupTest, ASecondAddressLoadsIntoTheSameWebScreen) {
    openAtButton(url("/page"));
    auto first = owner->popWeb()->web();
    owner->popWeb()->hide([] {});
    advance(0.5);
    openAtButton(url("/next"));
    EXPECT_EQ(owner->popWeb()->web(), first);
    EXPECT_EQ(first->webView()->title(), "Next");
    EXPECT_EQ(first->parentViewController(), owner->popWeb()->vc());
}

TEST_F(WebPopupTest, TheOwnersBarStaysAsItWasAndTheWebScreenShowsNoDone) {
    auto mine = UIBarButtonItem::withTitle("Mine", UIBarButtonItemStyle::Plain, nullptr);
    auto back = UIBarButtonItem::withTitle("Back", UIBarButtonItemStyle::Plain, nullptr);
    owner->navigationItem()->setRightBarButtonItems({mine});
    owner->navigationItem()->setLeftBarButtonItems({back});
    owner->openURL(url("/page"), owner->button);
    EXPECT_EQ(owner->navigationItem()->rightBarButtonItems(), (Items{mine}));
    waitForPage(*owner->popWeb()->web());
    advance(0.5);
    EXPECT_EQ(owner->navigationItem()->rightBarButtonItems(), (Items{mine}));
    EXPECT_EQ(owner->navigationItem()->leftBarButtonItems(), (Items{back}));
    owner->popWeb()->hide([] {});
    advance(0.5);
    EXPECT_EQ(owner->navigationItem()->rightBarButtonItems(), (Items{mine}));
    EXPECT_EQ(owner->navigationItem()->leftBarButtonItems(), (Items{back}));
    EXPECT_TRUE(global()->lastViewControllers().empty());
    EXPECT_EQ(owner->presentedViewController(), nullptr);
}

TEST_F(WebPopupTest, ThePanelLooksTheSameInDarkMode) {
    openAtButton(url("/next"));
    CGRect panel = panelInWindow();
    auto light = LayerRenderer::snapshot(*window->layer(), 1);
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    owner->updateDarkMode();
    settle();
    auto dark = LayerRenderer::snapshot(*window->layer(), 1);
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Light);
    ASSERT_TRUE(light && dark);
    for (int y = static_cast<int>(panel.origin.y) + 2; y < static_cast<int>(CGRectGetMaxY(panel)) - 2; y += 3) {
        for (int x = static_cast<int>(panel.origin.x) + 2; x < static_cast<int>(CGRectGetMaxX(panel)) - 2; x += 3) {
            ASSERT_TRUE(near(pixelAt(*light, x, y), pixelAt(*dark, x, y)))
                << "at " << x << "," << y << ": " << pixelAt(*light, x, y) << " against " << pixelAt(*dark, x, y)
                << " in the panel at " << panel.origin.x << "," << panel.origin.y;
        }
    }
}

TEST_F(WebPopupTest, OnlyATranslationCallsTheHookWhenThePopUpHides) {
    openAtButton(url("/page"));
    owner->hideGoogleTranslateIfShown();
    advance(0.5);
    EXPECT_EQ(owner->log, (std::vector<std::string>{"willHide shown"}));
    EXPECT_EQ(owner->webNavigationType(), MyViewController::WebNavigationType::Page);

    owner->log.clear();
    owner->googleTranslate("hyvää huomenta", owner->button);
    EXPECT_EQ(owner->webNavigationType(), MyViewController::WebNavigationType::Translation);
    EXPECT_EQ(owner->popWeb()->web()->url().rfind("https://", 0), 0u);
    advance(0.5);
    owner->hideGoogleTranslateIfShown();
    advance(0.5);
    EXPECT_EQ(owner->log, (std::vector<std::string>{"willHide shown", "translation hook"}));
    // Hidden already: nothing more.
    owner->hideGoogleTranslateIfShown();
    EXPECT_EQ(owner->log.size(), 2u);
}

TEST_F(WebPopupTest, HidingAScreenMakesNoPopUpButHidesOneThatIsShown) {
    owner->disappear(false);
    owner->updateDarkMode();
    owner->didRotateOrResizeInterface();
    EXPECT_FALSE(owner->hasPopWeb());
    owner->appear(false);
    openAtButton(url("/page"));
    owner->disappear(false);
    advance(0.5);
    EXPECT_TRUE(owner->popWeb()->hidden());
}

TEST_F(WebPopupTest, WithoutASenderTheWebScreenIsPresentedFullScreenAndDoneDismissesIt) {
    owner->openURL(url("/page"), nullptr);
    advance(1.0);
    auto presented = std::dynamic_pointer_cast<MyNavigationController>(owner->presentedViewController());
    ASSERT_TRUE(presented);
    auto web = std::dynamic_pointer_cast<MyWebController>(presented->topViewController());
    ASSERT_TRUE(web);
    EXPECT_EQ(web->url(), url("/page"));
    waitForPage(*web);
    EXPECT_EQ(web->navigationItem()->leftBarButtonItems(), (Items{web->btnDone()}));
    web->btnDone()->performAction();
    advance(1.0);
    EXPECT_EQ(owner->presentedViewController(), nullptr);
    EXPECT_TRUE(global()->lastViewControllers().empty());
}

}  // namespace
