// The ruler: offsets and values at and past both ends, drag reports and settling, haptic ticks,
// the scale and its fading, and the highlighted span.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "camera/controls/manual_slider_view.h"
#include "foundation/numeric.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "tests/camera/camera_test_support.h"

namespace {

struct Listener : ManualSliderViewDelegate {
    std::vector<double> values;
    std::vector<double> labelsAsked;
    double playback = 0;
    std::string prefix = "L";
    void onManualSliderViewDidChange(ManualSliderView&, double value) override { values.push_back(value); }
    double onManualSliderViewGetCurrentPlayback(ManualSliderView&) override { return playback; }
    std::optional<std::string> onManualSliderViewGetLabelText(ManualSliderView&, double value) override {
        labelsAsked.push_back(value);
        if (value == 50) return std::nullopt;
        return prefix + std::to_string(int(value));
    }
};

constexpr CGFloat kWidth = 290, kHeight = 60;

struct Ruler : CameraTest {
    std::shared_ptr<Listener> listener = std::make_shared<Listener>();
    std::shared_ptr<ManualSliderView> slider;

    void SetUp() override {
        CameraTest::SetUp();
        slider = ManualSliderView::make(std::weak_ptr<ManualSliderViewDelegate>(listener), std::string("ISO"),
                                        std::string(""), std::string("+"));
        slider->setFrame({{10, 100}, {kWidth, kHeight}});
        root()->addSubview(slider);
        settle();
        slider->updateData();
    }
    CGFloat offset() const { return slider->scroll()->contentOffset().x; }
    // A finger drag: each offset as one scroll event of the drag.
    void drag(std::initializer_list<double> values) {
        slider->scrollViewWillBeginDragging(*slider->scroll());
        for (double v : values) slider->scroll()->setContentOffset({slider->valueToScroll(v), 0});
        CGPoint target = slider->scroll()->contentOffset();
        slider->scrollViewWillEndDragging(*slider->scroll(), {0, 0}, &target);
    }
};

}  // namespace

TEST_F(Ruler, ValuesAndOffsetsAtBothEndsAndBeyond) {
    slider->setValue(0);
    EXPECT_EQ(offset(), -kWidth / 2);
    slider->setValue(100);
    EXPECT_EQ(offset(), 500 - kWidth / 2);
    slider->setValue(37.3);
    EXPECT_EQ(offset(), std::round(5 * 37.3 - kWidth / 2)) << "whole offsets, rounded half away from zero";
    EXPECT_TRUE(listener->values.empty()) << "placing the ruler does not report";

    // Bouncing past either end reports the end.
    drag({-8, 112});
    EXPECT_EQ(listener->values, (std::vector<double>{0, 100}));
    EXPECT_EQ(slider->calcValue(), 100);
}

TEST_F(Ruler, ADragReportsRoundedValuesThenSettlesOnAWholeOne) {
    drag({49.5, 49.49, 49.4});
    EXPECT_EQ(listener->values, (std::vector<double>{50, 49, 49}));
    step(0.19);
    EXPECT_EQ(listener->values.size(), 3u) << "no report until 0.2 s after the last movement";
    step(0.02);
    EXPECT_EQ(listener->values, (std::vector<double>{50, 49, 49, 49}));
    step(0.15);
    EXPECT_EQ(offset(), slider->valueToScroll(49));
    EXPECT_EQ(slider->calcValue(), 49);
    EXPECT_FALSE(slider->settlePending());

    // Every movement restarts the settle timer.
    drag({10});
    step(0.15);
    drag({12});
    step(0.15);
    EXPECT_EQ(listener->values.back(), 12);
    EXPECT_EQ(listener->values.size(), 6u);
    step(0.1);
    EXPECT_EQ(listener->values.size(), 7u);
}

TEST_F(Ruler, AFingerDragMovesTheScaleWhereverItStartsEvenOnTheCentreLine) {
    const CGRect line = slider->lineV()->convertRectToView(slider->lineV()->bounds(), window);
    const CGFloat y = CGRectGetMidY(line);
    static long id = 700;
    for (CGFloat x : {CGRectGetMidX(line), CGRectGetMidX(line) - 3, CGRectGetMidX(line) + 3}) {
        slider->setValue(50);
        listener->values.clear();
        ++id;
        auto dispatcher = UITouchDispatcher::shared();
        dispatcher->touchEvent({Clock::now(), {{id, {x, y}, UITouchPhase::Began}}});
        for (int i = 1; i <= 5; ++i) {
            advance(0.02);
            dispatcher->touchEvent({Clock::now(), {{id, {x - 10 * i, y}, UITouchPhase::Moved}}});
        }
        dispatcher->touchEvent({Clock::now(), {{id, {x - 50, y}, UITouchPhase::Ended}}});
        step(0.5);
        ASSERT_FALSE(listener->values.empty()) << "a drag from x = " << x << " was ignored";
        EXPECT_GT(listener->values.back(), 50) << "dragging left moves the scale towards higher values";
    }
}

TEST_F(Ruler, NotANumberIsIgnoredAndPlacingTicksTheHapticButNeverReports) {
    slider->setValue(20);
    const CGFloat before = offset();
    slider->setValue(std::nan(""));
    slider->setValue(INFINITY);
    EXPECT_EQ(offset(), before);
    EXPECT_TRUE(listener->values.empty());
    EXPECT_GE(impacts(), 1) << "the movement a placement causes ticks";
}

TEST_F(Ruler, HapticTicksNeedStrictlyMoreThanAFifthOfASecond) {
    SystemServices::shared()->clearRequests();
    step(1);
    drag({30});
    EXPECT_EQ(impacts(), 1);
    step(0.1);
    drag({31});
    EXPECT_EQ(impacts(), 1) << "0.1 s after the last tick";
    step(0.1);
    drag({32});
    EXPECT_EQ(impacts(), 1) << "exactly 0.2 s is not enough";
    step(0.01);
    drag({33});
    EXPECT_EQ(impacts(), 2);
}

TEST_F(Ruler, TheScaleIsBuiltOnceWithLabelsEveryTenTicksAndFadesAwayFromTheLine) {
    ASSERT_EQ(slider->guides().size(), 101u);
    EXPECT_EQ(listener->labelsAsked, (std::vector<double>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(slider->guides()[50].label, nullptr) << "no label where the delegate gives none";
    ASSERT_NE(slider->guides()[40].label, nullptr);
    EXPECT_EQ(slider->guides()[40].label->text(), "L40");

    // Asked only once: a later change of what the labels would say is not shown.
    listener->prefix = "M";
    slider->updateData();
    EXPECT_EQ(listener->labelsAsked.size(), 11u);
    EXPECT_EQ(slider->guides()[40].label->text(), "L40");

    // Tick heights and places; the fade is 1 under the line and 0.1 at half the width.
    slider->setValue(40);
    const auto& g = slider->guides();
    EXPECT_EQ(g[40].line->frame(), (CGRect{{200, (kHeight - 18) / 2}, {1, 18}}));
    EXPECT_EQ(g[45].line->frame().size.height, 12);
    EXPECT_EQ(g[41].line->frame().size.height, 6);
    EXPECT_EQ(g[40].line->backgroundColor()->cgColor().alpha, 1);
    EXPECT_NEAR(g[40 + 29].line->backgroundColor()->cgColor().alpha, 0.1, 1e-6);
    EXPECT_NEAR(g[10].line->backgroundColor()->cgColor().alpha, 0.1, 1e-6);
    EXPECT_NEAR(g[30].label->alpha(), lerpFloat(1.0f, 0.1f, 10.0f / 29.0f), 1e-6);
    EXPECT_EQ(g[30].label->textColor()->cgColor().alpha, 1) << "labels fade through their opacity";
    const CGRect label = g[30].label->frame();
    EXPECT_EQ(label.origin.y, kHeight - 20);
    EXPECT_EQ(label.origin.x + label.size.width / 2, 150);
}

TEST_F(Ruler, EmptyCaptionsAreNotMadeAndTheScaleTakesOneFingerAlone) {
    EXPECT_TRUE(slider->scroll()->isExclusiveTouch());
    EXPECT_FALSE(slider->scroll()->isMultipleTouchEnabled());
    ASSERT_NE(slider->lblCenter(), nullptr);
    EXPECT_EQ(slider->lblLeft(), nullptr);
    ASSERT_NE(slider->lblRight(), nullptr);
    EXPECT_EQ(slider->lblCenter()->text(), "ISO");
    EXPECT_EQ(slider->lblCenter()->frame().origin.y, 5);
    EXPECT_EQ(slider->lblRight()->frame().origin.x + slider->lblRight()->frame().size.width, kWidth - 12);
}

TEST_F(Ruler, TheHighlightedSpanFollowsTheValueWhileRunning) {
    listener->playback = 8;
    slider->setValue(20);
    slider->start();
    EXPECT_TRUE(slider->playbackRunning());
    EXPECT_TRUE(slider->playback()->isHidden());
    step(0.11);
    EXPECT_FALSE(slider->playback()->isHidden());
    EXPECT_EQ(slider->playback()->frame(), (CGRect{{100, 0}, {40, kHeight}}));
    EXPECT_EQ(slider->playbackHead()->frame(), (CGRect{{39, 0}, {1, kHeight}}));
    EXPECT_FALSE(CAAnimationEngine::animationKeys(*slider->playbackHead()->layer()).empty()) << "the head blinks";

    // A drag hides it and stops its timer; stop removes the blink.
    drag({30});
    EXPECT_TRUE(slider->playback()->isHidden());
    EXPECT_FALSE(slider->playbackRunning());
    slider->start();
    slider->stop();
    EXPECT_TRUE(CAAnimationEngine::animationKeys(*slider->playbackHead()->layer()).empty());
    EXPECT_TRUE(slider->playback()->isHidden());
}

TEST_F(Ruler, AStepDrawsNoLabelAgainAndFadesOnlyThoseWhoseFadeChanges) {
    slider->setValue(40);
    settle();
    const auto& g = slider->guides();
    // What the host does when it draws a frame.
    for (const auto& guide : g)
        if (guide.label) guide.label->layer()->displayIfNeeded();
    ASSERT_FALSE(g[90].label->layer()->needsDisplay());
    ASSERT_FALSE(g[40].label->layer()->needsDisplay());
    slider->setValue(41);
    // Far from the line the fade stays at its floor; near it the label fades through its opacity:
    // no label draws its text and shadow again.
    EXPECT_FALSE(g[90].label->layer()->needsDisplay());
    EXPECT_NEAR(g[90].label->alpha(), 0.1, 1e-6);
    EXPECT_FALSE(g[40].label->layer()->needsDisplay());
    EXPECT_NEAR(g[40].label->alpha(), lerpFloat(1.0f, 0.1f, 1.0f / 29.0f), 1e-6);
    EXPECT_NEAR(g[41].line->backgroundColor()->cgColor().alpha, 1, 1e-6);
    EXPECT_EQ(g[41].line->frame().size.height, 6);
}
