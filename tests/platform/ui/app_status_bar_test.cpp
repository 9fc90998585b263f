// The status bar on the application, the controllers' style hooks, the navigation bar's hairline
// and the buttons' title shadows.
#include <gtest/gtest.h>

#include "controller_test_support.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/controller/ui_navigation_controller.h"

namespace {
struct StatusBarHooks : UIHarness {
    const char* deviceName() const override { return "notched"; }
    void TearDown() override {
        UIViewController::setStatusBarStyleProvider(nullptr);
        UINavigationController::setNavigationStatusBarStyleProvider(nullptr);
        UINavigationController::setViewDidLoadHook(nullptr);
        UIHarness::TearDown();
    }
};

class LightController : public UIViewController {
public:
    KORVA_MAKE(LightController)
    UIStatusBarStyle preferredStatusBarStyle() const override { return UIStatusBarStyle::LightContent; }
};

class LoadingNavigation : public UINavigationController {
public:
    KORVA_MAKE(LoadingNavigation)
    // Does not call the base: the hook still runs after it.
    void viewDidLoad() override { loaded = true; }
    bool loaded = false;
};
}  // namespace

TEST_F(StatusBarHooks, TheStatusBarFrameFollowsTheModelAndHiding) {
    auto app = UIApplication::sharedApplication();
    EXPECT_EQ(app->statusBarFrame(), (CGRect{{0, 0}, {390, 47}}));
    app->setStatusBarHidden(true);
    EXPECT_EQ(app->statusBarFrame(), CGRectZero);
    app->setStatusBarHidden(false);
    UIScreen::setMainScreen(UIScreen::make(*DeviceModel::named("home-button")));
    EXPECT_EQ(app->statusBarFrame(), (CGRect{{0, 0}, {375, 20}}));
    EXPECT_EQ(DeviceModel::named("tablet")->statusBarHeight, 24);
    app->setStatusBarStyle(UIStatusBarStyle::LightContent);
    EXPECT_EQ(app->statusBarStyle(), UIStatusBarStyle::LightContent);
}

TEST_F(StatusBarHooks, HidingFadesOrSlidesOnTheClockAndTurnsBackFromWhereItIs) {
    auto app = UIApplication::sharedApplication();
    app->setStatusBarHidden(true, UIStatusBarAnimation::Fade);
    EXPECT_TRUE(app->isStatusBarHidden()) << "the flag changes at once";
    EXPECT_EQ(app->statusBarFrame(), CGRectZero);
    EXPECT_EQ(app->statusBarPresentation().alpha, 1);
    advance(StatusBarState::kDuration / 2);
    double half = app->statusBarPresentation().alpha;
    EXPECT_NEAR(half, 0.5, 0.01);
    // Shown again half-way: the fade turns back from where it is, not from nothing.
    app->setStatusBarHidden(false, UIStatusBarAnimation::Fade);
    EXPECT_NEAR(app->statusBarPresentation().alpha, half, 1e-9);
    advance(StatusBarState::kDuration / 2);
    double between = app->statusBarPresentation().alpha;
    EXPECT_GT(between, half);
    EXPECT_LT(between, 1);
    advance(StatusBarState::kDuration);
    EXPECT_EQ(app->statusBarPresentation().alpha, 1);

    app->setStatusBarHidden(true, UIStatusBarAnimation::Slide);
    advance(StatusBarState::kDuration / 2);
    auto sliding = app->statusBarPresentation();
    EXPECT_EQ(sliding.alpha, 1);
    EXPECT_NEAR(sliding.slide, 0.5, 0.01);
    advance(StatusBarState::kDuration);
    EXPECT_EQ(app->statusBarPresentation().alpha, 0) << "slid out of sight";

    app->setStatusBarHidden(false);
    EXPECT_EQ(app->statusBarPresentation().alpha, 1) << "without animation at once";
    EXPECT_EQ(app->statusBarPresentation().slide, 0);
}

TEST_F(StatusBarHooks, AnAnimatedStyleChangeCrossFades) {
    auto app = UIApplication::sharedApplication();
    app->setStatusBarStyle(UIStatusBarStyle::LightContent, true);
    EXPECT_EQ(app->statusBarStyle(), UIStatusBarStyle::LightContent);
    auto start = app->statusBarPresentation();
    EXPECT_EQ(start.fromStyle, UIStatusBarStyle::Default);
    EXPECT_EQ(start.styleMix, 0);
    advance(StatusBarState::kDuration / 2);
    EXPECT_NEAR(app->statusBarPresentation().styleMix, 0.5, 0.01);
    advance(StatusBarState::kDuration);
    auto done = app->statusBarPresentation();
    EXPECT_EQ(done.styleMix, 1);
    EXPECT_EQ(done.fromStyle, UIStatusBarStyle::LightContent);

    // The same style again, or a change without animation, does not animate.
    app->setStatusBarStyle(UIStatusBarStyle::LightContent, true);
    EXPECT_EQ(app->statusBarPresentation().styleMix, 1);
    app->setStatusBarStyle(UIStatusBarStyle::Default, false);
    EXPECT_EQ(app->statusBarPresentation().styleMix, 1);
    EXPECT_EQ(app->statusBarPresentation().style, UIStatusBarStyle::Default);
}

TEST_F(StatusBarHooks, ProvidersSeeThePlatformAnswerAndOverridesBypassThem) {
    auto plain = UIViewController::make();
    std::vector<UIStatusBarStyle> seen;
    UIViewController::setStatusBarStyleProvider([&](const UIViewController&, UIStatusBarStyle platform) {
        seen.push_back(platform);
        return UIStatusBarStyle::DarkContent;
    });
    EXPECT_EQ(plain->preferredStatusBarStyle(), UIStatusBarStyle::DarkContent);
    EXPECT_EQ(seen, std::vector<UIStatusBarStyle>{UIStatusBarStyle::Default});
    EXPECT_EQ(LightController::make()->preferredStatusBarStyle(), UIStatusBarStyle::LightContent);

    auto nav = UINavigationController::withRoot(LightController::make());
    EXPECT_EQ(nav->preferredStatusBarStyle(), UIStatusBarStyle::LightContent) << "the top controller's answer";
    UINavigationController::setNavigationStatusBarStyleProvider(
        [](const UINavigationController&) { return UIStatusBarStyle::Default; });
    EXPECT_EQ(nav->preferredStatusBarStyle(), UIStatusBarStyle::Default);

    int hooked = 0;
    UINavigationController::setViewDidLoadHook([&](UINavigationController& c) {
        ++hooked;
        EXPECT_TRUE(static_cast<LoadingNavigation&>(c).loaded) << "after viewDidLoad";
    });
    auto loading = LoadingNavigation::make();
    loading->loadViewIfNeeded();
    loading->loadViewIfNeeded();
    EXPECT_EQ(hooked, 1);
}

TEST_F(StatusBarHooks, TheNavigationBarHairlineIsAThinImageViewAlongTheBottom) {
    auto bar = UINavigationBar::make(CGRect{{0, 0}, {320, 44}});
    bar->layoutIfNeeded();
    ASSERT_FALSE(bar->subviews().empty());
    auto hairline = std::dynamic_pointer_cast<UIImageView>(bar->subviews().front());
    ASSERT_TRUE(hairline);
    EXPECT_FALSE(hairline->isHidden());
    EXPECT_LE(hairline->bounds().size.height, 1.0);
    EXPECT_EQ(CGRectGetMaxY(hairline->frame()), 44);
    EXPECT_EQ(hairline->frame().size.width, 320);
}

TEST_F(StatusBarHooks, ButtonTitleShadowsFollowTheState) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle("Go", UIControlStateNormal);
    EXPECT_EQ(button->titleLabel()->shadowColor(), nullptr);
    button->setTitleShadowColor(UIColor::blackColor(), UIControlStateNormal);
    button->setTitleShadowColor(UIColor::redColor(), UIControlStateHighlighted);
    EXPECT_TRUE(button->titleLabel()->shadowColor()->isEqual(*UIColor::blackColor()));
    button->setHighlighted(true);
    EXPECT_TRUE(button->titleLabel()->shadowColor()->isEqual(*UIColor::redColor()));
    button->setHighlighted(false);
    button->setEnabled(false);
    EXPECT_TRUE(button->titleShadowColorForState(UIControlStateDisabled)->isEqual(*UIColor::blackColor()))
        << "a state without its own shows the normal one";
}
