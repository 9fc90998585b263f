// The preview overlays: the marker's geometry, captions and timed hide; the level guide's grid
// and level tick; the time bar's colours and its 15-second mark.
#include <gtest/gtest.h>

#include <cmath>

#include "camera/overlays/focus_view.h"
#include "camera/overlays/guide_view.h"
#include "camera/overlays/time_progress_view.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layout/layout_constraint.h"
#include "tests/camera/camera_test_support.h"
#include "widgets/flat/flat_palette.h"

namespace {

struct Overlays : CameraTest {
    std::shared_ptr<FocusView> focus = FocusView::make(UIColor::redColor(), std::string("FOCUS"), std::nullopt);
    std::shared_ptr<FocusView> exposure =
        FocusView::make(UIColor::blueColor(), std::string("EXPOSURE"), std::string("EXPOSURE"));
    void SetUp() override {
        CameraTest::SetUp();
        GuideView::resetLevelMemory();
        for (const auto& m : {focus, exposure}) {
            m->setFrame({{0, 0}, {300, 400}});
            root()->addSubview(m);
        }
        settle();
    }
};

}  // namespace

TEST_F(Overlays, TheMarkerFramesThePointWithItsCaptionBelow) {
    EXPECT_TRUE(focus->isHidden());
    EXPECT_FALSE(focus->isUserInteractionEnabled());
    focus->focusByUser({0.5, 0.5});
    EXPECT_FALSE(focus->isHidden());
    const auto& c = focus->corners();
    EXPECT_EQ(c[0]->center(), (CGPoint{125, 175}));
    EXPECT_EQ(c[1]->center(), (CGPoint{175, 175}));
    EXPECT_EQ(c[2]->center(), (CGPoint{125, 225}));
    EXPECT_EQ(c[3]->center(), (CGPoint{175, 225}));
    EXPECT_EQ(focus->label()->frame().origin.y, 228);
    EXPECT_EQ(focus->label()->text(), "FOCUS");
    EXPECT_NEAR(focus->label()->frame().origin.x + focus->label()->frame().size.width / 2, 150, 1e-9);
    for (const auto& b : focus->brackets()) {
        EXPECT_EQ(b->lineWidth(), 3);
        EXPECT_EQ(b->lineJoin(), CGLineJoin::Bevel);
        EXPECT_NE(CAAnimationEngine::animationForKey(*b, "strokeColor"), nullptr) << "a placed marker blinks";
    }
    // y is measured from the bottom in the screen's convention.
    focus->focusByDevice({0.2, 0.25});
    EXPECT_EQ(focus->corners()[0]->center(), (CGPoint{60 - 25, 300 - 25}));
}

TEST_F(Overlays, ShotCaptionsFlyInAndTheShotStopsTheBlink) {
    focus->take_at({0.5, 0.5});
    EXPECT_TRUE(focus->label()->isHidden()) << "the focus marker has no shot caption";
    exposure->take_at({0.5, 0.5});
    EXPECT_FALSE(exposure->label()->isHidden());
    EXPECT_EQ(exposure->label()->text(), "EXPOSURE");
    const auto& b = exposure->brackets();
    EXPECT_NE(CAAnimationEngine::animationForKey(*b[0], "position"), nullptr);
    EXPECT_EQ(CAAnimationEngine::animationForKey(*b[0], "strokeColor"), nullptr) << "the blink waits for the fly-in";
    step(0.1);
    const CGPoint mid = std::get<CGPoint>(CAAnimationEngine::presentedValue(*b[0], "position"));
    EXPECT_LT(mid.x, 0);
    EXPECT_GT(mid.x, -100);
    step(0.25);
    EXPECT_NE(CAAnimationEngine::animationForKey(*b[0], "strokeColor"), nullptr);
    exposure->take_0();
    EXPECT_EQ(CAAnimationEngine::animationForKey(*b[0], "strokeColor"), nullptr);
    EXPECT_FALSE(exposure->isHidden());
    exposure->take_1();
    step(0.51);
    EXPECT_TRUE(exposure->isHidden());
}

TEST_F(Overlays, HidingCountsFromTheLastPlacement) {
    focus->initialize({0.5, 0.5});  // hides 1.1 s after placing
    step(0.3);
    focus->hide(1.1);
    step(0.79);
    EXPECT_FALSE(focus->isHidden());
    step(0.02);
    EXPECT_TRUE(focus->isHidden());
    EXPECT_EQ(focus->showedAt(), 0);

    focus->take_at({0.5, 0.5});
    step(2);
    focus->hide(1.1);
    EXPECT_TRUE(focus->isHidden()) << "long enough since the placement: at once";

    // A second timer run finds nothing to hide; a placement does not cancel a scheduled hide.
    focus->onTimerHide();
    EXPECT_EQ(focus->showedAt(), 0);
    focus->focusByDevice({0.5, 0.5});
    step(0.5);
    focus->take_at({0.3, 0.3});
    step(0.65);
    EXPECT_TRUE(focus->isHidden());
}

TEST_F(Overlays, TheGuideDrawsItsGridForTheSize) {
    auto guide = GuideView::make();
    guide->setFrame({{0, 0}, {390, 844}});
    root()->addSubview(guide);
    guide->layoutIfNeeded();
    EXPECT_FLOAT_EQ(guide->d(), 390.0f / 7);
    EXPECT_EQ(guide->horizontalPairs(), 7);
    EXPECT_FALSE(guide->isUserInteractionEnabled());
    EXPECT_EQ(guide->sl0()->lineDashPattern(), (std::vector<CGFloat>{5, 2}));
    EXPECT_EQ(guide->sl0()->lineWidth(), 0.5);
    EXPECT_EQ(guide->sl1()->lineWidth(), 1.0);
    EXPECT_NEAR(guide->shape()->alpha(), 0.65, 1e-6);
    EXPECT_NEAR(guide->pitch()->alpha(), 0.3, 1e-6);
    // Major lines: the verticals at k = 2 and horizontals at k = 2 and 5, both sides.
    const CGRect major = guide->sl1()->path()->boundingBox();
    EXPECT_NEAR(major.size.width, 390, 1e-9);
    EXPECT_NEAR(major.size.height, 844, 1e-9);

    // Layout replaces every layer.
    auto old = guide->sl0();
    guide->setFrame({{0, 0}, {300, 300}});
    guide->layoutIfNeeded();
    EXPECT_NE(guide->sl0(), old);
    EXPECT_EQ(old->superlayer(), nullptr);
    EXPECT_GE(guide->horizontalPairs(), 2);
    EXPECT_LE(guide->horizontalPairs(), 3);
}

TEST_F(Overlays, TheGuideTicksOnComingLevelAtMostEveryTwoSeconds) {
    auto guide = GuideView::make();
    guide->setFrame({{0, 0}, {390, 844}});
    root()->addSubview(guide);
    guide->layoutIfNeeded();
    guide->updateGravity(0.3, 0, 0);
    guide->updateGravity(1, 0, 0);
    EXPECT_EQ(impacts(), 0) << "the phone on its other side is never level";
    guide->updateGravity(0.01, 0, 0);
    EXPECT_EQ(impacts(), 1);
    step(0.2);
    guide->updateGravity(0.03, 0, 0);
    step(0.2);
    guide->updateGravity(0.0, 0, 0);
    EXPECT_EQ(impacts(), 1) << "re-entering within 2 s of the tick";
    step(2);
    guide->updateGravity(0.5, 0, 0);
    guide->updateGravity(-1.01, 0, 0);
    EXPECT_EQ(impacts(), 2) << "lying on one side counts as level";
    step(0.4);
    const CGAffineTransform t = guide->pitch()->transform();
    EXPECT_NEAR(std::atan2(t.b, t.a), 1.01 * M_PI / 2, 1e-9);
}

TEST_F(Overlays, TheTimeBarTurnsGreenAtFifteenSecondsAndMarksThem) {
    auto bar = TimeProgressView::make();
    bar->setFrame({{0, 0}, {300, 60}});
    root()->addSubview(bar);
    bar->setDuration(60);
    bar->layoutIfNeeded();
    EXPECT_NEAR(bar->lineMin()->center().x, 75, 1e-6) << "a quarter of the width for 60 s";
    bar->setCurrent(14.9);
    EXPECT_EQ(bar->barBody()->fillColor(), flatRedColor()->cgColor());
    EXPECT_FALSE(bar->lineMin()->isHidden());
    bar->setCurrent(15.0);
    EXPECT_EQ(bar->barBody()->fillColor(), flatGreenColor()->cgColor());
    EXPECT_EQ(bar->minAnim(), TimeProgressView::MinAnim::FadingOut);
    step(0.35);
    EXPECT_TRUE(bar->lineMin()->isHidden());
    EXPECT_TRUE(bar->labelMin()->isHidden());
    bar->setCurrent(90);
    EXPECT_EQ(bar->barBody()->path()->boundingBox().size.width, 300) << "beyond the duration: full width";

    bar->setDuration(15);
    bar->layoutIfNeeded();
    EXPECT_NEAR(bar->lineMin()->center().x, 300, 1e-6);
    // Without a positive duration the mark stays where it was and the bar's ratio clamps.
    for (double bad : {0.0, -5.0}) {
        bar->setDuration(bad);
        bar->layoutIfNeeded();
        EXPECT_NEAR(bar->lineMin()->center().x, 300, 1e-6);
        EXPECT_TRUE(std::isfinite(bar->cLineMin()->multiplier()));
        bar->setCurrent(5);
        EXPECT_EQ(bar->barBody()->path()->boundingBox().size.width, bad == 0 ? 300 : 0) << "the ratio clamps";
    }
}
