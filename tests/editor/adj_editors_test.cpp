// The slider, stepper and switch editors: Reset and title from the record, closing on a tap
// outside, every report after a write into the very record given, bounds that hold whatever the
// record holds.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "editor/adjust/pop_adj_slider_view.h"
#include "editor/adjust/pop_adj_stepper_view.h"
#include "editor/adjust/pop_adj_switch_view.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/control/ui_switch.h"
#include "tests/editor/adjust_test_support.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

// Checks, at every report, that the record reported is the one given and already written.
struct Reports : PopAdjGeneralBaseDelegate {
    Value given;
    std::vector<Value> values;
    bool allWritten = true;
    void onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase&, const Value& record) override {
        allWritten =
            allWritten && record.identity() == given.identity() && !record.dictionaryPtr()->contains("instanceData");
        values.push_back(record["value"]);
        // The next report must follow a write of its own.
        given.set("instanceData", Value(1));
    }
};

struct Editors : AdjustTest {
    std::shared_ptr<Reports> reports = std::make_shared<Reports>();

    Value given(ValueDictionary keys, const char* disp = "Radius") {
        Value r = adjRecord(disp, 2, std::move(keys));
        r.set("instanceData", Value(1));
        reports->given = r;
        return r;
    }
    template <class Editor>
    std::shared_ptr<Editor> made() {
        auto e = Editor::make(screenVC);
        e->setDelegate(reports);
        return e;
    }
    std::shared_ptr<PopAdjSliderView> slider(const Value& r) {
        auto e = made<PopAdjSliderView>();
        e->show(anchor, r, [] {});
        advance(0.5);
        return e;
    }
    std::shared_ptr<PopAdjStepperView> stepper(const Value& r, float lo = 1, float hi = 100) {
        auto e = made<PopAdjStepperView>();
        e->show(anchor, r, lo, hi, [] {});
        advance(0.5);
        return e;
    }
    std::shared_ptr<PopAdjSwitchView> toggle(const Value& r) {
        auto e = made<PopAdjSwitchView>();
        e->show(anchor, r, [] {});
        advance(0.5);
        return e;
    }
    static void reset(PopAdjGeneralBase& e) {
        e.titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    }
};

TEST_F(Editors, ResetIsOfferedExactlyWhenTheRecordHasADefault) {
    const Value withDef = given({{"def", Value(0.5)}}, "Radius ä");
    const Value without = given({}, "radius");
    auto check = [&](PopAdjGeneralBase& e, const std::function<void(const Value&)>& reopen) {
        SCOPED_TRACE(e.className());
        EXPECT_TRUE(e.titleView()->flagShowRight());
        EXPECT_FALSE(e.titleView()->sliding(true)) << "shown without animation";
        EXPECT_EQ(e.titleView()->lblTitle()->text(), "RADIUS Ä");
        reopen(without);
        EXPECT_FALSE(e.titleView()->flagShowRight());
        EXPECT_FALSE(e.titleView()->sliding(true));
        EXPECT_EQ(e.titleView()->lblTitle()->text(), "RADIUS");
    };
    auto s = slider(withDef);
    check(*s, [&](const Value& r) { s->show(anchor, r, [] {}); });
    auto st = stepper(withDef);
    check(*st, [&](const Value& r) { st->show(anchor, r, 1, 100, [] {}); });
    auto sw = toggle(withDef);
    check(*sw, [&](const Value& r) { sw->show(anchor, r, [] {}); });
}

TEST_F(Editors, OnlyAFinishedTapOutsideThePanelCloses) {
    auto e = slider(given({}));
    ASSERT_EQ(e->phase(), PopPhase::Shown);
    press({5, 5});
    advance(0.5);
    EXPECT_EQ(e->phase(), PopPhase::Shown) << "a finger still down";
    UITouchDispatcher::shared()->cancelAll();
    tap(centreOf(e->container()));
    advance(0.5);
    EXPECT_EQ(e->phase(), PopPhase::Shown) << "inside the panel";
    tap({5, 5});
    advance(0.5);
    EXPECT_EQ(e->phase(), PopPhase::Hidden);
    EXPECT_TRUE(reports->values.empty()) << "closing writes nothing";
}

TEST_F(Editors, TheSliderWritesAndReportsEveryValueItPasses) {
    const Value r = given({{"min", Value(0)}, {"max", Value(100)}, {"value", Value(50)}});
    auto e = slider(r);
    const CGRect track = e->slider()->convertRectToView(e->slider()->bounds(), window);
    const CGFloat y = CGRectGetMidY(track);
    const CGFloat x = CGRectGetMidX(track);
    drag({{x, y}, {x + 10, y}, {x + 20, y}, {x + 30, y}, {x - 40, y}, {x - 40, y}});
    // Three steps right, one back left; the lift where the finger already is changes nothing.
    ASSERT_EQ(reports->values.size(), 4u);
    EXPECT_TRUE(reports->allWritten);
    for (std::size_t i = 1; i < 3; ++i)
        EXPECT_GT(reports->values[i].doubleValue(), reports->values[i - 1].doubleValue());
    EXPECT_LT(reports->values.back().doubleValue(), 50);
    EXPECT_FLOAT_EQ(float(r["value"].doubleValue()), e->slider()->value());

    // Reset writes the default and moves the slider.
    r.set("def", Value(12.5));
    const std::size_t before = reports->values.size();
    reset(*e);
    EXPECT_EQ(reports->values.size(), before + 1);
    EXPECT_DOUBLE_EQ(r["value"].doubleValue(), 12.5);
    EXPECT_FLOAT_EQ(e->slider()->value(), 12.5f);
    EXPECT_TRUE(reports->allWritten);
}

TEST_F(Editors, TheStepperKeepsWithinTheRecordsBoundsOrTheGivenOnes) {
    const Value r = given({{"min", Value(2)}, {"max", Value(64)}, {"value", Value(63)}, {"def", Value(8)}});
    auto e = stepper(r, 1, 100);
    EXPECT_EQ(e->stepper()->minValue(), 2);
    EXPECT_EQ(e->stepper()->maxValue(), 64);
    EXPECT_EQ(e->stepper()->stepValue(), 1);
    EXPECT_EQ(e->stepper()->label()->text(), "63");
    e->stepper()->btnUp()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_DOUBLE_EQ(r["value"].doubleValue(), 64);
    EXPECT_EQ(e->stepper()->label()->text(), "64");
    // At the bound: no write (the cache stays) and no report.
    e->stepper()->btnUp()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(reports->values.size(), 1u);
    EXPECT_TRUE(r.dictionaryPtr()->contains("instanceData"));
    reset(*e);
    EXPECT_DOUBLE_EQ(r["value"].doubleValue(), 8);
    EXPECT_EQ(e->stepper()->label()->text(), "8");
    EXPECT_EQ(reports->values.size(), 2u);
    EXPECT_TRUE(reports->allWritten);

    const Value bare = given({{"value", Value(1)}});
    e->show(anchor, bare, 1, 100, [] {});
    EXPECT_EQ(e->stepper()->minValue(), 1);
    EXPECT_EQ(e->stepper()->maxValue(), 100);
    e->stepper()->btnDown()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(reports->values.size(), 2u) << "at the lower bound";
}

TEST_F(Editors, TheSwitchWritesABooleanAndItsResetANumber) {
    const Value r = given({{"value", Value(false)}, {"def", Value(true)}});
    auto e = toggle(r);
    EXPECT_FALSE(e->sw()->isOn());
    tap(centreOf(e->sw()));
    EXPECT_TRUE(e->sw()->isOn());
    ASSERT_EQ(reports->values.size(), 1u);
    EXPECT_TRUE(r["value"].isBool());
    EXPECT_TRUE(r["value"].boolValue());

    tap(centreOf(e->sw()));
    EXPECT_FALSE(r["value"].boolValue());
    reset(*e);
    EXPECT_FALSE(r["value"].isBool());
    EXPECT_TRUE(r["value"].isNumber());
    EXPECT_DOUBLE_EQ(r["value"].doubleValue(), 1);
    EXPECT_TRUE(e->sw()->isOn());
    EXPECT_EQ(reports->values.size(), 3u);
    EXPECT_TRUE(reports->allWritten);
}

TEST_F(Editors, UnreadableNumbersReadAsZeroAndKeepTheControlsInBounds) {
    const std::vector<Value> bad{
        Value(),          Value("12"), Value::array({Value(3)}), Value(std::nan("")), Value(INFINITY),
        Value(-INFINITY), Value(1e300)};
    auto slide = made<PopAdjSliderView>();
    auto step = made<PopAdjStepperView>();
    auto sw = made<PopAdjSwitchView>();
    for (const Value& v : bad) {
        SCOPED_TRACE(v.description());
        for (const char* key : {"min", "max", "value", "def"}) {
            SCOPED_TRACE(key);
            Value r = given({{"min", Value(-5)}, {"max", Value(5)}, {"value", Value(2)}, {"def", Value(1)}});
            if (v.isNull()) {
                r.dictionaryPtr()->remove(key);
            } else {
                r.set(key, v);
            }
            slide->show(anchor, r, [] {});
            const float lo = slide->slider()->minimumValue(), hi = slide->slider()->maximumValue();
            const float at = slide->slider()->value();
            EXPECT_TRUE(std::isfinite(lo) && std::isfinite(hi) && std::isfinite(at));
            EXPECT_TRUE(lo <= at && at <= hi);

            step->show(anchor, r, 1, 100, [] {});
            EXPECT_TRUE(std::isfinite(step->stepper()->minValue()) && std::isfinite(step->stepper()->maxValue()));
            for (int i = 0; i < 3; ++i)
                step->stepper()->btnUp()->sendActionsForControlEvents(UIControlEventTouchUpInside);
            for (int i = 0; i < 3; ++i)
                step->stepper()->btnDown()->sendActionsForControlEvents(UIControlEventTouchUpInside);
            const double stepped = r["value"].doubleValue();
            EXPECT_TRUE(std::isfinite(stepped));
            const float blo = std::min(step->stepper()->minValue(), step->stepper()->maxValue());
            const float bhi = std::max(step->stepper()->minValue(), step->stepper()->maxValue());
            // Whatever the stepper wrote lies within its bounds.
            if (!reports->values.empty()) {
                EXPECT_TRUE(blo <= stepped && stepped <= bhi) << stepped;
            }

            sw->show(anchor, r, [] {});
            reset(*sw);
            const double def = r["value"].doubleValue();
            EXPECT_TRUE(std::isfinite(def));
            if (std::string(key) == "def" && !(v.isNumber() && v.doubleValue() == 1e300)) {
                EXPECT_EQ(def, 0);
                EXPECT_FALSE(sw->sw()->isOn());
            }
            EXPECT_TRUE(reports->allWritten);
            reports->values.clear();
        }
    }
}

}  // namespace
