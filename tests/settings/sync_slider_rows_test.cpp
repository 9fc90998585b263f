// The settings form's own rows: the sync-timing row's stepper by tenths, presets and "Orig", and
// the slider row reporting once on release, laid out by the section margin.
#include "settings/dict/my_form_slider2.h"
#include "settings/dict/my_form_sync_timing.h"
#include "settings_dict_support.h"

namespace {

struct SyncSliderTest : SettingsDictTest {
    std::shared_ptr<MyFormSyncTimingCell> sync;
    std::shared_ptr<MyFormSlider2Cell> slider;

    void showRows(float value, float value0) {
        describe({Value(ValueArray{
            row({{"type", "syncTiming"}, {"key", "t"}, {"label", "Intro"}, {"value", value}, {"value0", value0}}),
            row({{"type", "slider"}, {"key", "s"}, {"label", "Level"}, {"value", 0.0}})})});
        show();
        refresh();
    }
    void refresh() {
        sync = std::dynamic_pointer_cast<MyFormSyncTimingCell>(cellAt(0, 0));
        slider = std::dynamic_pointer_cast<MyFormSlider2Cell>(cellAt(0, 1));
        ASSERT_NE(sync, nullptr);
        ASSERT_NE(slider, nullptr);
    }
    float value() const { return std::dynamic_pointer_cast<MyFormSyncTimingItem>(formItemObject(sync->item()))->value; }
    // A tap on the stepper's plus (right) or minus (left) half; the form reloads after each.
    void step(bool plus) {
        auto stepper = sync->stepper();
        CGRect r = stepper->superview()->convertRectToView(stepper->frame(), nullptr);
        tap({plus ? CGRectGetMaxX(r) - 10 : r.origin.x + 10, CGRectGetMidY(r)});
        refresh();
    }
    void preset(const std::shared_ptr<UIButton>& button) {
        CGRect r = button->superview()->convertRectToView(button->frame(), nullptr);
        tap({CGRectGetMidX(r), CGRectGetMidY(r)});
        refresh();
    }
    std::shared_ptr<UIButton> orig() {
        for (const auto& v : sync->option3()->superview()->subviews())
            if (auto b = std::dynamic_pointer_cast<UIButton>(v); b && b->titleForState(UIControlStateNormal) == "Orig")
                return b;
        return nullptr;
    }
};

}  // namespace

TEST_F(SyncSliderTest, TheStepperMovesByWholeTenthsWithoutBounds) {
    showRows(0, 0);
    for (int i = 0; i < 3; ++i) step(true);
    EXPECT_FLOAT_EQ(value(), 0.3f);
    EXPECT_EQ(sync->value()->text(), "0.30 (sec)");
    for (int i = 0; i < 4; ++i) step(false);
    EXPECT_FLOAT_EQ(value(), -0.1f);
    EXPECT_EQ(sync->value()->text(), "-0.10 (sec)");
    EXPECT_EQ(delegate->events.size(), 7u);
    EXPECT_EQ(delegate->events.back(), "t=" + Value(-0.1f).stringValue() + " orig  at 0.0");
}

TEST_F(SyncSliderTest, PresetsThenAStepLandOnTenthsAndOrigRestoresExactly) {
    showRows(1, 11.8234f);
    preset(sync->option2());
    EXPECT_FLOAT_EQ(value(), 11.82f);
    step(true);
    EXPECT_FLOAT_EQ(value(), 11.9f);
    preset(sync->option3());
    step(false);
    EXPECT_FLOAT_EQ(value(), 15.2f);
    EXPECT_EQ(sync->value()->text(), "15.20 (sec)");
    auto o = orig();
    ASSERT_NE(o, nullptr);
    preset(o);
    EXPECT_EQ(value(), 11.8234f);
    preset(sync->option1());
    EXPECT_FLOAT_EQ(value(), 3.5f);
}

TEST_F(SyncSliderTest, TheSliderReportsOnceOnRelease) {
    showRows(0, 0);
    auto s = slider->slider();
    EXPECT_FALSE(s->isContinuous());
    CGRect r = s->superview()->convertRectToView(s->frame(), nullptr);
    CGFloat y = CGRectGetMidY(r);
    double t = Clock::now();
    UITouchDispatcher::shared()->touchEvent({t, {{77, {r.origin.x + 5, y}, UITouchPhase::Began}}});
    for (int i = 1; i <= 5; ++i) {
        RunLoop::main().advance(0.02);
        UITouchDispatcher::shared()->touchEvent(
            {t + 0.02 * i, {{77, {r.origin.x + 5 + 30 * i, y}, UITouchPhase::Moved}}});
    }
    EXPECT_TRUE(delegate->events.empty()) << "nothing while the thumb moves";
    UITouchDispatcher::shared()->touchEvent({t + 0.2, {{77, {r.origin.x + 155, y}, UITouchPhase::Ended}}});
    settle();
    ASSERT_EQ(delegate->events.size(), 1u);
    EXPECT_EQ(delegate->events[0].substr(0, 2), "s=");
}

TEST_F(SyncSliderTest, LabelAndSliderFollowTheSectionMargin) {
    showRows(0, 0);
    EXPECT_EQ(slider->label()->frame().origin.x, 15);
    EXPECT_EQ(slider->slider()->frame().origin.x, 140);
    EXPECT_EQ(slider->contentView()->bounds().size.width - CGRectGetMaxX(slider->slider()->frame()), 15);
    form->manager()->style()->contentViewMargin = 8;
    form->updateView();
    settle();
    refresh();
    EXPECT_EQ(slider->label()->frame().origin.x, 10);
    EXPECT_EQ(slider->slider()->frame().origin.x, 130);
    EXPECT_EQ(slider->contentView()->bounds().size.width - CGRectGetMaxX(slider->slider()->frame()), 10);
}
