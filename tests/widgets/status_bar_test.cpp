#include <gtest/gtest.h>

#include "platform/ui/control/ui_image_view.h"
#include "widgets/flat/flat_palette.h"
#include "widgets/flat/status_bar_flat_kit.h"
#include "widgets_test_support.h"

namespace {
// A controller that keeps the platform's answer: it never overrides the style.
class PlainController : public UIViewController {
public:
    KORVA_MAKE(PlainController)
};

// A controller whose override never asks the base: the rules cannot reach it.
class OwnStyleController : public UIViewController {
public:
    KORVA_MAKE(OwnStyleController)
    UIStatusBarStyle preferredStatusBarStyle() const override { return UIStatusBarStyle::DarkContent; }
};

class StatusBarTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        installFlatKitStatusBarBehaviour();
    }
    // A controller whose view shows one full-width strip of the colour under the status bar.
    std::shared_ptr<UIViewController> controllerOver(std::shared_ptr<UIColor> color) {
        auto c = PlainController::make();
        auto strip = UIView::make(CGRect{{0, 0}, {390, 100}});
        strip->setBackgroundColor(std::move(color));
        c->view()->addSubview(strip);
        return c;
    }
};
}  // namespace

TEST_F(StatusBarTest, FlagsChooseTheAnswerAndContrastOutlastsLaterStyles) {
    auto c = PlainController::make();
    EXPECT_EQ(c->preferredStatusBarStyle(), UIStatusBarStyle::Default) << "no flags: the platform's answer";
    EXPECT_EQ(OwnStyleController::make()->preferredStatusBarStyle(), UIStatusBarStyle::DarkContent);

    setStatusBarStyle(*c, 1);
    EXPECT_EQ(c->preferredStatusBarStyle(), UIStatusBarStyle::LightContent);
    int updates = c->statusBarUpdateCount();
    advance(0.005);
    EXPECT_EQ(c->statusBarUpdateCount(), updates);
    advance(0.01);
    EXPECT_EQ(c->statusBarUpdateCount(), updates + 1) << "the update comes 0.01 s later";
    setStatusBarStyle(*c, 0);
    EXPECT_EQ(c->preferredStatusBarStyle(), UIStatusBarStyle::Default);

    auto contrast = controllerOver(flatNavyBlueColor());
    setStatusBarStyle(*contrast, kStatusBarStyleContrast);
    setStatusBarStyle(*contrast, 0);
    EXPECT_TRUE(shouldContrast(*contrast));
    EXPECT_EQ(contrast->preferredStatusBarStyle(), UIStatusBarStyle::LightContent) << "contrast is tested first";
    setStatusBarStyle(*contrast, 1);
    EXPECT_TRUE(shouldUseLightContent(*contrast));
}

TEST_F(StatusBarTest, ContrastLooksAtTheFrontmostVisibleViewUnderTheStatusBar) {
    auto style = [&](std::shared_ptr<UIColor> color) {
        auto c = controllerOver(std::move(color));
        setShouldContrast(*c, true);
        return c->preferredStatusBarStyle();
    };
    EXPECT_EQ(style(UIColor::whiteColor()), UIStatusBarStyle::Default);
    EXPECT_EQ(style(flatNavyBlueColor()), UIStatusBarStyle::LightContent);
    EXPECT_EQ(style(nullptr), UIStatusBarStyle::Default);
    EXPECT_EQ(style(UIColor::clearColor()), UIStatusBarStyle::LightContent) << "black with alpha 0";
    EXPECT_EQ(style(UIColor::colorWithPatternImage(nullptr)), UIStatusBarStyle::Default);

    // A hidden or nearly transparent view on top is looked through.
    auto c = controllerOver(flatNavyBlueColor());
    for (bool hidden : {true, false}) {
        auto cover = UIView::make(CGRect{{0, 0}, {390, 50}});
        cover->setBackgroundColor(UIColor::whiteColor());
        if (hidden)
            cover->setHidden(true);
        else
            cover->setAlpha(0.01);
        c->view()->addSubview(cover);
    }
    setShouldContrast(*c, true);
    EXPECT_EQ(c->preferredStatusBarStyle(), UIStatusBarStyle::LightContent);
    UIApplication::sharedApplication()->setStatusBarHidden(true);
    auto root = c->view();
    EXPECT_EQ(findTopMostViewForPoint(root, {500, 500}), root) << "nothing there but the receiver";
    UIApplication::sharedApplication()->setStatusBarHidden(false);
}

TEST_F(StatusBarTest, NavigationControllersAnswerFromTheirOwnFlagsAndBar) {
    auto top = PlainController::make();
    setShouldUseLightContent(*top, true);
    auto nav = UINavigationController::withRoot(top);
    nav->navigationBar()->setBarTintColor(UIColor::blackColor());
    EXPECT_EQ(nav->preferredStatusBarStyle(), UIStatusBarStyle::Default)
        << "the top controller and a dark bar change nothing without flags";
    setStatusBarStyle(*nav, 1);
    EXPECT_EQ(nav->preferredStatusBarStyle(), UIStatusBarStyle::LightContent);
    EXPECT_EQ(nav->statusBarUpdateCount(), 0) << "a navigation controller schedules nothing";
    setStatusBarStyle(*nav, 7);
    EXPECT_FALSE(shouldUseLightContent(*nav));

    setStatusBarStyle(*nav, kStatusBarStyleContrast);
    EXPECT_EQ(nav->preferredStatusBarStyle(), UIStatusBarStyle::LightContent) << "black bar";
    nav->navigationBar()->setBarTintColor(UIColor::whiteColor());
    EXPECT_EQ(nav->preferredStatusBarStyle(), UIStatusBarStyle::Default);
    nav->navigationBar()->setBarTintColor(nullptr);
    EXPECT_EQ(nav->preferredStatusBarStyle(), UIStatusBarStyle::Default);
}

TEST_F(StatusBarTest, TheHairlineFlagSetBeforeTheViewLoadsIsAppliedWhenItLoads) {
    auto nav = UINavigationController::withRoot(PlainController::make());
    setHidesNavigationBarHairline(*nav, true);
    auto hairline = findHairlineImageViewUnder(nav->navigationBar());
    ASSERT_TRUE(hairline);
    EXPECT_FALSE(hairline->isHidden()) << "nothing applied before the view loads";
    nav->loadViewIfNeeded();
    EXPECT_TRUE(hairline->isHidden());
    setHidesNavigationBarHairline(*nav, false);
    EXPECT_FALSE(hairline->isHidden()) << "applied at once afterwards";

    auto plain = UINavigationController::withRoot(PlainController::make());
    plain->loadViewIfNeeded();
    EXPECT_FALSE(findHairlineImageViewUnder(plain->navigationBar())->isHidden()) << "visible by default";

    // Depth first, a view before its subviews; taller image views do not count.
    auto root = UIView::make(CGRect{{0, 0}, {100, 100}});
    auto tall = UIImageView::make(CGRect{{0, 0}, {100, 40}});
    auto deep = UIImageView::make(CGRect{{0, 0}, {100, 1}});
    auto later = UIImageView::make(CGRect{{0, 50}, {100, 0.5}});
    tall->addSubview(deep);
    root->addSubview(tall);
    root->addSubview(later);
    EXPECT_EQ(findHairlineImageViewUnder(root), deep);
    EXPECT_EQ(findHairlineImageViewUnder(nullptr), nullptr);
}

TEST_F(StatusBarTest, TopViewInWindowAtItsCentre) {
    auto below = UIView::make(CGRect{{10, 10}, {100, 100}});
    auto inner = UIView::make(CGRect{{0, 0}, {100, 100}});
    below->addSubview(inner);
    window->addSubview(below);
    EXPECT_TRUE(isTopViewInWindow(below)) << "a descendant at the centre counts";
    auto cover = UIView::make(CGRect{{50, 50}, {20, 20}});
    window->addSubview(cover);
    EXPECT_FALSE(isTopViewInWindow(below));
    EXPECT_TRUE(isTopViewInWindow(cover));
    EXPECT_FALSE(isTopViewInWindow(UIView::make(CGRect{{0, 0}, {10, 10}}))) << "no window";
}
