// The animated button's switch (instant without a callback, cross-faded with one), its badge, the
// numbered button's count text and the frame-stepping image view.
#include "ui/controls/anim_button.h"

#include <gtest/gtest.h>

#include "platform/dispatch/clock.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/controls/anim_image_view.h"
#include "ui/controls/anim_numbered_button.h"
#include "ui/theme/image_custom.h"

namespace {

struct AnimButtonTest : PopupTest {
    std::shared_ptr<UIImage> off = imageColor(UIColor::blackColor(), {40, 40});
    std::shared_ptr<UIImage> on = imageColor(UIColor::whiteColor(), {40, 40});
    std::shared_ptr<AnimButton> button = AnimButton::make();
    void SetUp() override {
        PopupTest::SetUp();
        button->setFrame({{100, 100}, {40, 40}});
        root()->addSubview(button);
    }
    bool fading() {
        return CAAnimationEngine::animationForKey(*button->imageView()->layer(), "animateContents") != nullptr;
    }
    std::shared_ptr<UIImage> shown() { return button->imageForState(UIControlStateNormal); }
};

TEST_F(AnimButtonTest, ACallbackAsksForTheCrossFadeAndNoneSwitchesAtOnce) {
    button->setImages(off, on);
    EXPECT_FALSE(button->on());
    EXPECT_EQ(shown(), off);
    EXPECT_TRUE(fading()) << "setImages cross-fades from the on image";
    advance(0.5);

    int calls = 0, completions = 0;
    button->setOn(true, nullptr);
    EXPECT_EQ(shown(), on);
    EXPECT_FALSE(fading()) << "the held end of the earlier fade must not hide the new image";
    button->set0(nullptr, [&] { ++completions; });
    advance(0.5);
    EXPECT_EQ(completions, 0) << "no callback: no animation and no completion";

    button->set1(
        [&](AnimButton& b) {
            ++calls;
            b.setAlpha(0.5);
        },
        [&] { ++completions; });
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(fading());
    advance(0.29);
    EXPECT_EQ(completions, 0);
    advance(0.02);
    EXPECT_EQ(completions, 1);
}

TEST_F(AnimButtonTest, ANewOffImageFadesInOnlyWhileOff) {
    button->setImages(off, on);
    advance(0.5);
    auto other = imageColor(UIColor::redColor(), {40, 40});
    button->setOffImage(other, [](AnimButton&) {});
    EXPECT_EQ(button->imageOff(), other);
    EXPECT_EQ(shown(), other);
    // While on, a new off image waits for the next switch and the on image stays in view.
    button->setOn(true, nullptr);
    button->setOffImage(off, nullptr);
    EXPECT_EQ(shown(), on) << "a switched-on button showed its off image";
    EXPECT_EQ(button->imageOff(), off);
    button->setOn(false, nullptr);
    EXPECT_EQ(shown(), off);
    button->setOnImage(other, nullptr);
    EXPECT_EQ(shown(), off);
    button->setOn(true, nullptr);
    EXPECT_EQ(shown(), other);
}

TEST_F(AnimButtonTest, BadgesAreCirclesForShortTextAndResizeInPlace) {
    button->setBadgeValue("3");
    advance(0.5);
    auto badge = button->lblBadge();
    ASSERT_TRUE(badge);
    EXPECT_EQ(badge->superview(), root());
    EXPECT_EQ(badge->frame().size.width, badge->frame().size.height) << "narrower than tall: a circle";
    EXPECT_EQ(badge->frame().origin.x, 120) << "left edge on the button's centre";
    EXPECT_EQ(badge->frame().origin.y + badge->frame().size.height, 120);

    button->setBadgeValue("12345");
    advance(0.5);
    EXPECT_EQ(button->lblBadge(), badge) << "not added again";
    EXPECT_GT(badge->frame().size.width, badge->frame().size.height);
    EXPECT_EQ(badge->text(), "12345");

    button->setBadgeValue(std::nullopt);
    EXPECT_FALSE(button->lblBadge());
    button->setBadgeValue("9");
    auto fresh = button->lblBadge();
    EXPECT_NE(fresh, badge);
    advance(0.5);
    EXPECT_EQ(badge->superview(), nullptr) << "the faded badge leaves";
    EXPECT_EQ(fresh->superview(), root()) << "the new one stays";

    auto loose = AnimButton::make();
    loose->setBadgeValue("");
    advance(0.5);
    EXPECT_FALSE(loose->lblBadge());
}

TEST_F(AnimButtonTest, CountsAbbreviateFromAThousand) {
    const std::pair<std::int64_t, const char*> cases[] = {{0, "0"},        {999, "999"},        {1000, "1.0k"},
                                                          {1500, "1.5k"},  {2'000'000, "2.0m"}, {3'500'000'000, "3.5g"},
                                                          {-5000, "-5000"}};
    for (const auto& [n, text] : cases) EXPECT_EQ(AnimNumberedButton::numberText(n), text) << n;
    auto numbered = AnimNumberedButton::make(off, on);
    numbered->setNumber(1500);
    EXPECT_EQ(numbered->label()->text(), "1.5k");
}

TEST_F(AnimButtonTest, TheImageViewStepsAndWrapsAndIgnoresAnEmptyList) {
    auto view = AnimImageView::make();
    view->startAnimating();
    advance(1);
    EXPECT_EQ(view->image(), nullptr);
    view->onTimer();

    view->setAnimationImages({off, on});
    view->setAnimationDuration(0.1);
    view->startAnimating();
    EXPECT_EQ(view->image(), off);
    advance(0.1);
    EXPECT_EQ(view->image(), on);
    advance(0.1);
    EXPECT_EQ(view->image(), off) << "after the last frame: the first";
    view->stopAnimating();
    advance(0.1);
    EXPECT_EQ(view->image(), off);
}

}  // namespace
