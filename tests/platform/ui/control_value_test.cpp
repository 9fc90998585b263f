// Value controls driven by touches (slider, switch, stepper, segments, page dots), and the display
// views (progress, activity indicator, label, image view).
#include <gtest/gtest.h>

#include <cmath>

#include "control_test_support.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_page_control.h"
#include "platform/ui/control/ui_progress_view.h"
#include "platform/ui/control/ui_segmented_control.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/control/ui_stepper.h"
#include "platform/ui/control/ui_switch.h"

using ControlValueTest = GestureTouchTest;

TEST_F(ControlValueTest, SliderFollowsTheFingerWithinItsRange) {
    auto slider = UISlider::make(CGRect{{10, 10}, {228, 34}});  // 200 points of thumb travel
    window->addSubview(slider);
    slider->setMinimumValue(0);
    slider->setMaximumValue(10);
    std::vector<std::string> log;
    logEvents(*slider, log, {UIControlEventValueChanged});
    slider->setValue(20);  // clamped, and not reported
    EXPECT_FLOAT_EQ(slider->value(), 10);
    slider->setValue(0);
    EXPECT_TRUE(log.empty());
    // A press on the track moves the thumb under the finger; dragging goes on from there.
    drag({24 + 100, 27}, {24 + 150, 27}, 0.1, 5);
    EXPECT_NEAR(slider->value(), 7.5, 1e-4);
    EXPECT_EQ(log.size(), 6u);  // one per move, and the press
    drag({24 + 150, 27}, {500, 27}, 0.1, 5);
    EXPECT_FLOAT_EQ(slider->value(), 10);
    // Not continuous: one report at the end.
    log.clear();
    slider->setContinuous(false);
    drag({24 + 200, 27}, {24, 27}, 0.1, 5);
    EXPECT_FLOAT_EQ(slider->value(), 0);
    EXPECT_EQ(log.size(), 1u);
    slider->setValue(std::nanf(""));
    EXPECT_FLOAT_EQ(slider->value(), 0);
}

TEST_F(ControlValueTest, SwitchTogglesOnTapOnly) {
    auto sw = UISwitch::make(CGRect{{10, 10}, {0, 0}});
    window->addSubview(sw);
    EXPECT_EQ(sw->frame().size, (CGSize{51, 31}));
    std::vector<std::string> log;
    logEvents(*sw, log, {UIControlEventValueChanged});
    tap({30, 25});
    EXPECT_TRUE(sw->isOn());
    sw->setOn(false, true);
    EXPECT_FALSE(sw->isOn());
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(ControlValueTest, StepperStepsClampsWrapsAndRepeatsWhileHeld) {
    auto stepper = UIStepper::make(CGRect{{0, 0}, {0, 0}});
    window->addSubview(stepper);
    stepper->setMaximumValue(3);
    std::vector<std::string> log;
    logEvents(*stepper, log, {UIControlEventValueChanged});
    tap({70, 16});  // plus
    EXPECT_DOUBLE_EQ(stepper->value(), 1);
    advance(1);
    tap({20, 16});  // minus
    advance(1);
    tap({20, 16});  // already at the minimum: nothing
    EXPECT_DOUBLE_EQ(stepper->value(), 0);
    EXPECT_EQ(log.size(), 2u);
    // Held: one step at once, then repeats after half a second, stopping at the maximum.
    send(1, {70, 16}, UITouchPhase::Began);
    advance(0.45);
    EXPECT_DOUBLE_EQ(stepper->value(), 1);
    advance(0.2);
    EXPECT_DOUBLE_EQ(stepper->value(), 3);
    send(1, {70, 16}, UITouchPhase::Ended);
    advance(1);
    EXPECT_DOUBLE_EQ(stepper->value(), 3);
    stepper->setWraps(true);
    tap({70, 16});
    EXPECT_DOUBLE_EQ(stepper->value(), 0);
    stepper->setStepValue(0);     // refused
    stepper->setMinimumValue(5);  // would empty the range: refused
    EXPECT_DOUBLE_EQ(stepper->stepValue(), 1);
    EXPECT_DOUBLE_EQ(stepper->minimumValue(), 0);
}

TEST_F(ControlValueTest, SegmentsSelectByTapAndKeepTheSelectionAcrossEdits) {
    auto seg = UISegmentedControl::withItems({"A", "B", "C"});
    seg->setFrame({{0, 0}, {300, 32}});
    window->addSubview(seg);
    std::vector<std::string> log;
    logEvents(*seg, log, {UIControlEventValueChanged});
    EXPECT_EQ(seg->selectedSegmentIndex(), UISegmentedControlNoSegment);
    tap({150, 16});
    EXPECT_EQ(seg->selectedSegmentIndex(), 1);
    advance(1);
    tap({150, 16});  // the same segment again: no change
    EXPECT_EQ(log.size(), 1u);
    seg->insertSegmentWithTitle("Z", 0);
    EXPECT_EQ(seg->selectedSegmentIndex(), 2);
    EXPECT_EQ(seg->titleForSegmentAtIndex(2), "B");
    seg->removeSegmentAtIndex(2);
    EXPECT_EQ(seg->selectedSegmentIndex(), UISegmentedControlNoSegment);
    seg->setSelectedSegmentIndex(7);
    EXPECT_EQ(seg->selectedSegmentIndex(), UISegmentedControlNoSegment);
    seg->setEnabledForSegmentAtIndex(false, 0);
    advance(1);
    tap({30, 16});
    EXPECT_EQ(seg->selectedSegmentIndex(), UISegmentedControlNoSegment);
    seg->setMomentary(true);
    advance(1);
    tap({280, 16});
    EXPECT_EQ(seg->selectedSegmentIndex(), UISegmentedControlNoSegment);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(ControlValueTest, PageControlStepsTowardsTheTappedSide) {
    auto dots = UIPageControl::make(CGRect{{0, 0}, {200, 26}});
    window->addSubview(dots);
    dots->setNumberOfPages(3);
    dots->setCurrentPage(9);
    EXPECT_EQ(dots->currentPage(), 2);
    std::vector<std::string> log;
    logEvents(*dots, log, {UIControlEventValueChanged});
    tap({20, 13});
    EXPECT_EQ(dots->currentPage(), 1);
    advance(1);
    tap({190, 13});
    advance(1);
    tap({190, 13});  // already on the last page
    EXPECT_EQ(dots->currentPage(), 2);
    EXPECT_EQ(log.size(), 2u);
    dots->setHidesForSinglePage(true);
    dots->setNumberOfPages(1);
    EXPECT_TRUE(dots->isHidden());
    EXPECT_EQ(dots->currentPage(), 0);
}

TEST_F(ControlValueTest, ProgressClampsAndAnimatesItsFill) {
    auto bar = UIProgressView::make(CGRect{{0, 0}, {200, 4}});
    window->addSubview(bar);
    bar->setProgress(1.7f);
    EXPECT_FLOAT_EQ(bar->progress(), 1);
    bar->setProgress(-0.3f);
    EXPECT_FLOAT_EQ(bar->progress(), 0);
    bar->setProgress(std::nanf(""));
    EXPECT_FLOAT_EQ(bar->progress(), 0);
    bar->setProgress(0.5f, true);
    EXPECT_DOUBLE_EQ(bar->fillLayer()->bounds().size.width, 100);
    advance(0.1);
    double mid = std::get<CGRect>(CAAnimationEngine::presentedValue(*bar->fillLayer(), "bounds")).size.width;
    EXPECT_GT(mid, 0);
    EXPECT_LT(mid, 100);
    advance(0.3);
    EXPECT_EQ(bar->fillLayer()->presentation(), nullptr);
}

TEST_F(ControlValueTest, ActivityIndicatorSpinsOnlyWhileAnimating) {
    auto spinner = UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle::Gray);
    window->addSubview(spinner);
    EXPECT_TRUE(spinner->isHidden());
    EXPECT_EQ(spinner->frame().size, (CGSize{20, 20}));
    spinner->startAnimating();
    spinner->startAnimating();
    EXPECT_FALSE(spinner->isHidden());
    advance(0.25);
    auto t = std::get<CATransform3D>(CAAnimationEngine::presentedValue(*spinner->spinnerLayer(), "transform"));
    EXPECT_NEAR(std::atan2(t.m12, t.m11), M_PI / 2, 1e-6);  // a quarter turn after a quarter second
    spinner->stopAnimating();
    EXPECT_TRUE(spinner->isHidden());
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*spinner->spinnerLayer()));
    spinner->setHidesWhenStopped(false);
    EXPECT_FALSE(spinner->isHidden());
}

TEST_F(ControlValueTest, LabelMeasuresItsText) {
    auto label = UILabel::make();
    EXPECT_EQ(label->intrinsicContentSize(), (CGSize{0, 0}));
    label->setText("Hello");
    CGSize one = label->intrinsicContentSize();
    EXPECT_GT(one.width, 20);
    EXPECT_GT(one.height, 10);
    label->setText("Hello Hello Hello Hello Hello Hello");
    label->setNumberOfLines(0);
    CGSize wrapped = label->sizeThatFits({one.width * 2, 0});
    EXPECT_LE(wrapped.width, one.width * 2);
    EXPECT_GT(wrapped.height, one.height * 2);
    label->setNumberOfLines(2);
    EXPECT_LT(label->sizeThatFits({one.width * 2, 0}).height, one.height * 2.5);
    label->setText(std::nullopt);
    EXPECT_FALSE(label->text().has_value());
    label->setText("");
    EXPECT_EQ(label->text(), "");
    EXPECT_FALSE(label->isUserInteractionEnabled());
}

TEST_F(ControlValueTest, ImageViewShowsItsImageAndPlaysFrames) {
    auto red = solidImage({10, 10}, CGColor::rgb(1, 0, 0, 1));
    auto blue = solidImage({10, 10}, CGColor::rgb(0, 0, 1, 1));
    auto iv = UIImageView::make(CGRect{{0, 0}, {40, 40}});
    iv->setImage(red);
    EXPECT_EQ(iv->intrinsicContentSize(), (CGSize{10, 10}));
    EXPECT_EQ(iv->layer()->contents(), red->cgImage());
    iv->setAnimationImages({red, nullptr, blue});
    iv->setAnimationDuration(1.0);
    iv->setAnimationRepeatCount(1);
    iv->startAnimating();
    EXPECT_TRUE(iv->isAnimating());
    advance(0.6);
    auto shown = std::get<std::shared_ptr<CGImage>>(CAAnimationEngine::presentedValue(*iv->layer(), "contents"));
    EXPECT_EQ(shown, blue->cgImage());
    advance(0.5);
    EXPECT_FALSE(iv->isAnimating());
    iv->setAnimationImages({});
    iv->startAnimating();  // nothing to play
    EXPECT_FALSE(iv->isAnimating());
}

TEST_F(ControlValueTest, AnImageViewLaysOutAgainOnlyWhenItsPictureChangesSize) {
    auto holder = UIView::make(CGRect{{0, 0}, {100, 100}});
    auto iv = UIImageView::make(CGRect{{0, 0}, {40, 40}});
    holder->addSubview(iv);
    iv->setImage(solidImage({10, 10}, CGColor::rgb(1, 0, 0, 1)));
    holder->layoutIfNeeded();
    // Another picture of the same size (a thumbnail drawn again): shown, no new layout.
    auto again = solidImage({10, 10}, CGColor::rgb(0, 0, 1, 1));
    iv->setImage(again);
    EXPECT_EQ(iv->layer()->contents(), again->cgImage());
    EXPECT_FALSE(holder->needsLayout());
    // A bigger one, and none: the natural size changes, so the layout runs again.
    iv->setImage(solidImage({20, 10}, CGColor::rgb(0, 1, 0, 1)));
    EXPECT_TRUE(holder->needsLayout());
    EXPECT_EQ(iv->intrinsicContentSize(), (CGSize{20, 10}));
    holder->layoutIfNeeded();
    iv->setImage(nullptr);
    EXPECT_TRUE(holder->needsLayout());
}
