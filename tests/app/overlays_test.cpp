// A screen's overlays: made only when asked for, hidden when the screen goes, told of appearance
// and layout changes only once they exist.
#include <gtest/gtest.h>

#include "platform/ui/text/attributed_string.h"
#include "tests/app/app_test_support.h"
#include "ui/popup/hud_view.h"
#include "ui/popup/pop_confirm_view.h"
#include "ui/popup/pop_message_view.h"
#include "ui/popup/pop_text_view.h"
#include "ui/theme/color.h"

namespace {

struct OverlayTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        screen = show(HookScreen::make());
        control = UIView::make(CGRectMake(100, 300, 60, 40));
        screen->view()->addSubview(control);
    }
    std::shared_ptr<HookScreen> screen;
    std::shared_ptr<UIView> control;
};

TEST_F(OverlayTest, HidingAScreenCreatesNoOverlays) {
    screen->disappear(false);
    screen->updateDarkMode();
    screen->didRotateOrResizeInterface();
    EXPECT_FALSE(screen->hasOverlays());
    // Only the screen's own content is in its view.
    for (const auto& subview : screen->view()->subviews()) EXPECT_EQ(subview, control);
}

TEST_F(OverlayTest, ShownPopupsHideWhenTheScreenGoesAndTheHudStaysWithTheScreen) {
    screen->message()->setAttributedText(NSAttributedString::make("Saved"));
    screen->message()->show(control, nullptr, nullptr);
    screen->tip()->setAttributedText(NSAttributedString::make("Tap to change"));
    screen->tip()->show(control, nullptr, nullptr);
    screen->hudView()->show();
    advance(0.5);
    ASSERT_FALSE(screen->message()->hidden());
    ASSERT_FALSE(screen->tip()->hidden());

    screen->disappear(false);
    advance(0.5);
    EXPECT_TRUE(screen->message()->hidden());
    EXPECT_TRUE(screen->tip()->hidden());
    EXPECT_TRUE(screen->hudView()->shown()) << "the blocking HUD is its user's to hide";
    auto first = screen->message();
    screen->appear(false);
    EXPECT_EQ(screen->message(), first) << "an overlay, once made, is kept";
}

TEST_F(OverlayTest, HideTipMakesTheTipInThePaletteColourAndHidesIt) {
    screen->hideTip();
    ASSERT_TRUE(screen->tip());
    EXPECT_EQ(screen->tip()->bgColor(), global()->color()->tip());
    advance(0.5);
    EXPECT_TRUE(screen->tip()->hidden());
    EXPECT_EQ(screen->tip()->vc(), screen);
}

TEST_F(OverlayTest, LayoutAndAppearanceChangesReachOnlyTheMadeOverlays) {
    auto confirm = screen->confirm();
    const auto views = screen->view()->subviews().size();
    screen->didRotateOrResizeInterface();
    EXPECT_TRUE(confirm->layoutPending());
    screen->updateDarkMode();
    EXPECT_EQ(screen->view()->subviews().size(), views) << "no other overlay was made";
}

TEST_F(OverlayTest, TheConfirmationAnswersOnceAndTheActivityHudFollowsItsSender) {
    std::vector<std::string> answers;
    screen->confirm()->show(
        control, 3, [&] { answers.push_back("yes"); }, [&] { answers.push_back("no"); });
    advance(6);
    EXPECT_EQ(answers, std::vector<std::string>{"no"});
    screen->disappear(false);
    advance(1);
    EXPECT_EQ(answers, std::vector<std::string>{"no"});

    screen->appear(false);
    screen->hudAct()->show(control);
    EXPECT_TRUE(screen->hudAct()->shown());
    const CGRect r = screen->hudAct()->rt();
    EXPECT_TRUE(CGRectContainsPoint(CGRectMake(100, 300, 60, 40), CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r))));
}

}  // namespace
