// The depth style on a real side bar: setter bounds, the snapshot's geometry and movements on the
// virtual clock, taps and drags, a turn of the screen; and the box blur and snapshot it uses.
#include <gtest/gtest.h>

#include <cmath>

#include "app/sidebar/side_bar_depth_style.h"
#include "app/sidebar/side_bar_image.h"
#include "platform/image/cg_image.h"
#include "platform/runtime/log.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/layer/ca_layer.h"
#include "tests/app/side_bar_test_support.h"
#include "tests/platform/ui/draw_test_support.h"

namespace {

struct Depth : SideBarTest {
    std::shared_ptr<SideBarController> bar;
    std::shared_ptr<SideBarDepthStyle> style;
    std::shared_ptr<UIViewController> content = PlaceholderController::make();
    std::shared_ptr<StandInMenu> menu = make<StandInMenu>();
    void SetUp() override {
        SideBarTest::SetUp();
        bar = SideBarController::make();
        bar->setPanGestureEnabled(true);
        style = SideBarDepthStyle::make();
        style->setMenuWidth(220);
        bar->setMenuViewController(menu, SideBarDirection::Left);
        bar->setSideBarStyle(style, SideBarDirection::Left);
        bar->setContentViewController(content);
        content->view()->setBackgroundColor(UIColor::systemOrangeColor());
        show(bar);
    }
    double x(const std::shared_ptr<UIView>& v) const {
        return *CAValueNumber(CAAnimationEngine::presentedValue(*v->layer(), "position.x"));
    }
    double scale(const std::shared_ptr<UIView>& v) const {
        return *CAValueNumber(CAAnimationEngine::presentedValue(*v->layer(), "transform.scale"));
    }
    void step(double seconds) {
        advance(seconds);
        CAAnimationEngine::update();
    }
};

TEST_F(Depth, SettersKeepTheirBounds) {
    style->setMenuWidth(20);
    EXPECT_EQ(style->menuWidth(), 50);
    style->setMenuWidth(1000);
    EXPECT_EQ(style->menuWidth(), 375);
    style->setClosedScale(0.3);
    EXPECT_EQ(style->closedScale(), 0.5);
    style->setClosedScale(1.2);
    EXPECT_EQ(style->closedScale(), 1.0);
    style->setBlackMaskAlpha(1.0);
    EXPECT_EQ(style->blackMaskAlpha(), 0.9);
    style->setBlackMaskAlpha(-1);
    EXPECT_EQ(style->blackMaskAlpha(), 0.0);
    auto fresh = SideBarDepthStyle::make();
    EXPECT_DOUBLE_EQ(fresh->menuWidth(), 250);
    EXPECT_EQ(fresh->animationDuration(), 0.6);
}

TEST_F(Depth, TheSnapshotShrinksWithADipAndMovesAsideWithAnOvershoot) {
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);
    EXPECT_NEAR(style->animationBounceSize(), 37.5, 1e-9);
    auto snapshot = style->contentImageView();
    ASSERT_TRUE(snapshot);
    EXPECT_NEAR(snapshot->bounds().size.width, 375 * 1.4, 1e-9);
    EXPECT_NEAR(snapshot->bounds().size.height, 667 * 1.4, 1e-9);
    EXPECT_EQ(style->originContentCenter().x, 187.5);
    EXPECT_TRUE(content->view()->isHidden());
    EXPECT_EQ(style->desMenuCenter().x, -375 / 2.0 + 220);

    step(0.3);  // half way: the dip and the overshoot
    EXPECT_NEAR(scale(snapshot), 0.75, 1e-6);
    EXPECT_NEAR(x(snapshot), 187.5 + 75, 1e-6);
    EXPECT_NEAR(x(menu->view()), style->desMenuCenter().x + 37.5, 1e-6);
    EXPECT_EQ(bar->currentState(), SideBarState::WillShow);
    step(0.29);
    EXPECT_EQ(bar->currentState(), SideBarState::WillShow);
    step(0.02);
    EXPECT_EQ(bar->currentState(), SideBarState::Shown);
    EXPECT_NEAR(scale(snapshot), 0.8, 1e-6);
    EXPECT_NEAR(x(snapshot), 187.5 + 37.5, 1e-6);
    EXPECT_NEAR(x(menu->view()), style->desMenuCenter().x, 1e-6);

    bar->hideMenuViewController(true);
    step(0.7);
    EXPECT_EQ(bar->currentState(), SideBarState::Hidden);
    EXPECT_NEAR(x(menu->view()), -187.5, 1e-6);
    EXPECT_FALSE(content->view()->isHidden());
    EXPECT_EQ(style->contentWrapperView()->superview(), nullptr);
}

TEST_F(Depth, WithAClosedScaleOfOneOnlyTheMenuMoves) {
    style->setClosedScale(1.0);
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);
    EXPECT_TRUE(CAAnimationEngine::hasAnimations(*menu->view()->layer()));
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*style->contentImageView()->layer()));
    step(0.7);
    EXPECT_EQ(bar->currentState(), SideBarState::Shown);
    EXPECT_NEAR(scale(style->contentImageView()), 1.0, 1e-9);
}

TEST_F(Depth, ATapOnTheMenuKeepsItAndATapOnTheContentClosesIt) {
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);
    step(0.7);
    tap({100, 300});
    step(0.7);
    EXPECT_EQ(bar->currentState(), SideBarState::Shown);
    tap({300, 300});
    EXPECT_EQ(bar->currentState(), SideBarState::WillHide);
    step(0.7);
    EXPECT_EQ(bar->currentState(), SideBarState::Hidden);
}

TEST_F(Depth, ADragThatEndsMovingTowardsOpenReopensTheMenu) {
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);
    step(0.7);
    // Almost closed, then a flick back to the right.
    drag({330, 300}, {130, 300}, CGPoint{170, 300});
    EXPECT_EQ(bar->currentState(), SideBarState::WillShow);
    step(0.7);
    EXPECT_EQ(bar->currentState(), SideBarState::Shown);
    EXPECT_NEAR(x(menu->view()), style->desMenuCenter().x, 1e-6);
    // A drag that ends moving left closes it.
    drag({330, 300}, {250, 300});
    step(0.7);
    EXPECT_EQ(bar->currentState(), SideBarState::Hidden);
}

TEST_F(Depth, TurningTheScreenClosesTheMenuAtOnce) {
    bar->showMenuViewControllerInDirection(SideBarDirection::Left);
    step(0.7);
    screen->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    EXPECT_EQ(bar->currentState(), SideBarState::Hidden);
    EXPECT_EQ(menu->view()->frame(), CGRectMake(-667, 0, 667, 375));
    EXPECT_NEAR(x(menu->view()), style->originMenuCenter().x, 1e-6);
    screen->setOrientation(UIInterfaceOrientation::Portrait);
}

// ---- the pictures ----

std::shared_ptr<UIImage> imageOf(int w, int h, CGFloat scale, const std::function<std::uint8_t(int, int)>& grey,
                                 CGImagePixelLayout layout = CGImagePixelLayout::RGBA8Premultiplied) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w * h * 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto* p = &px[static_cast<std::size_t>((y * w + x) * 4)];
            p[0] = p[1] = p[2] = grey(x, y);
            p[3] = 255;
        }
    return UIImage::imageWithCGImage(
        CGImage::create(w, h, static_cast<std::size_t>(w) * 4, std::move(px), nullptr, layout), scale);
}

TEST(SideBarBlur, TheBoxIsOddAndFollowsTheImagesScale) {
    EXPECT_EQ(blurBoxSize(5, 1), 5u);
    EXPECT_EQ(blurBoxSize(4, 2), 9u);
    EXPECT_EQ(blurBoxSize(0, 1), 1u);
    EXPECT_EQ(blurBoxSize(-3, 1), 1u);
}

TEST(SideBarBlur, FlatPicturesStayFlatAndEdgesBecomeMonotoneRamps) {
    auto flat = blurredImage(imageOf(30, 20, 1, [](int, int) { return 90; }), 5, 5, nullptr);
    ASSERT_TRUE(flat);
    for (int y = 0; y < 20; y += 3)
        for (int x = 0; x < 30; x += 3) EXPECT_EQ(pixelAt(flat, x, y).r, 90);

    // The same step in either byte order: dark left half, light right half.
    for (auto layout : {CGImagePixelLayout::RGBA8Premultiplied, CGImagePixelLayout::BGRA8Premultiplied}) {
        auto step = blurredImage(imageOf(
                                     40, 6, 1, [](int x, int) { return x < 20 ? 0 : 255; }, layout),
                                 5, 5, nullptr);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->size(), (CGSize{40, 6}));
        int previous = -1;
        for (int x = 0; x < 40; ++x) {
            int v = pixelAt(step, x, 3).r;
            EXPECT_GE(v, previous) << "at " << x;
            previous = v;
        }
        EXPECT_LT(pixelAt(step, 0, 3).r, 10);
        EXPECT_GT(pixelAt(step, 39, 3).r, 245);
        EXPECT_GT(pixelAt(step, 20, 3).r, 60);
        EXPECT_LT(pixelAt(step, 19, 3).r, 200);
    }
    // A tint brightens everything a little.
    auto tinted = blurredImage(imageOf(8, 8, 1, [](int, int) { return 40; }), 1, 1, UIColor::whiteColor());
    EXPECT_GT(pixelAt(tinted, 4, 4).r, 80);
}

TEST(SideBarBlur, AnImageWithoutAreaComesBackAsItIs) {
    auto none = UIImage::imageWithCGImage(nullptr);
    EXPECT_EQ(blurredImage(none, 5, 5, nullptr), none);
    EXPECT_EQ(blurredImage(nullptr, 5, 5, nullptr), nullptr);
}

TEST_F(AppTest, ASnapshotDrawsTheViewCentredAndAZeroSizedViewGivesNone) {
    auto v = UIView::make(CGRectMake(0, 0, 40, 20));
    v->setBackgroundColor(UIColor::redColor());
    auto picture = imageFromView(*v, CGSize{40, 28});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->scale(), 1);
    EXPECT_EQ(pixelAt(picture, 20, 14).r, 255);
    EXPECT_EQ(pixelAt(picture, 20, 1).a, 0);  // the extra height lies above and below
    LogCapture log;
    auto empty = UIView::make(CGRectZero);
    EXPECT_EQ(imageFromView(*empty, empty->bounds().size), nullptr);
    EXPECT_TRUE(log.contains("without pixels"));
}

}  // namespace
