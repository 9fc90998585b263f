// The label-row parameter pop-up: one label per item, sized to its row within the screen, the
// row's scroll kept for the same attribute set, a label tap opening that item's editor on it.
#include "editor/adjust/pop_adj_h_view.h"

#include <gtest/gtest.h>

#include "editor/adjust/pop_adj_slider_view.h"
#include "platform/ui/app/device_model.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "tests/editor/adjust_test_support.h"

namespace {

using Strings = std::vector<std::string>;

// On a 320-point-wide phone.
struct LabelPop : AdjustTest {
    std::shared_ptr<PopAdjHView> pop;
    void SetUp() override {
        AdjustTest::SetUp();
        DeviceModel small = *DeviceModel::named("home-button");
        small.portraitSize = {320, 568};
        screen = UIScreen::make(small);
        UIScreen::setMainScreen(screen);
        window = UIWindow::make();
        window->makeKeyAndVisible();
        window->setRootViewController(screenVC);
        settle();
        pop = PopAdjHView::make(screenVC);
        pop->setDelegate(host);
    }
    Strings titles() {
        Strings out;
        for (const auto& b : pop->menu()->buttons())
            out.push_back(b->titleForState(UIControlStateNormal).value_or("?"));
        return out;
    }
    // An element of n sliders with names long enough to need the given room together.
    static Value sliders(int n, const std::string& stem) {
        ValueDictionary records;
        for (int i = 0; i < n; ++i) {
            const std::string name = stem + std::to_string(i);
            records.set("input" + std::to_string(i), adjRecord(name.c_str(), 2));
        }
        return adjAttrs("CIVignette", std::move(records));
    }
};

TEST_F(LabelPop, EachItemHasItsLabel) {
    Value attrs = adjAttrs("CIToneCurve", {{"inputPoint0", adjRecord("P0", 11)},
                                           {"inputB", adjRecord("brightness", 2)},
                                           {"inputA", adjRecord("Amount", 2)},
                                           {"inputX", adjRecord(nullptr, 2)}});
    pop->show(anchor, attrs, [] {});
    EXPECT_EQ(titles(), (Strings{"Amount", "brightness", "NO NAME", "Points"}));
    EXPECT_EQ(PopAdjHView::labelOf(Value::dictionary({{"act", Value(5)}})), "Positions");
    EXPECT_EQ(PopAdjHView::labelOf(Value::dictionary({{"act", Value(14)}})), "Color Cube");
    EXPECT_EQ(PopAdjHView::labelOf(Value::dictionary({{"act", Value(15)}})), "Color Cubes");

    // An element whose only editable input has no name.
    pop->show(anchor, adjAttrs("CIVignette", {{"inputX", adjRecord(nullptr, 2)}}), [] {});
    EXPECT_EQ(titles(), (Strings{"NO NAME"}));
}

TEST_F(LabelPop, TheBubbleIsAsWideAsItsLabelsWithinTheScreen) {
    bool shown = false;
    pop->show(anchor, sliders(4, "P"), [&] { shown = true; });
    // The row with its 5-point inset on each side.
    const CGFloat need = pop->menu()->scroll()->contentSize().width + 10;
    ASSERT_LT(need, 300);
    EXPECT_EQ(pop->size(), (CGSize{need, 52}));
    advance(0.5);
    EXPECT_TRUE(shown);
    EXPECT_EQ(pop->phase(), PopPhase::Shown);

    pop->show(anchor, sliders(4, "A rather long parameter name "), [] {});
    EXPECT_EQ(pop->size(), (CGSize{300, 52}));
}

TEST_F(LabelPop, ASetWithoutItemsShowsNothing) {
    bool called = false;
    pop->show(anchor, adjAttrs("CIVignette", {}), [&] { called = true; });
    advance(0.5);
    EXPECT_EQ(pop->phase(), PopPhase::Hidden);
    EXPECT_FALSE(called);
}

TEST_F(LabelPop, TheSameSetKeepsTheRowsScrollAnotherStartsOver) {
    Value a = sliders(8, "Parameter ");
    Value b = sliders(8, "Other ");
    auto reopen = [&](const Value& attrs) {
        pop->hide([] {});
        advance(0.5);
        // The tile first tries to open a lone item; with several it shows the row.
        EXPECT_FALSE(pop->act1(attrs, anchor));
        pop->show(anchor, attrs, [] {});
        advance(0.5);
        return pop->menu()->scroll()->contentOffset().x;
    };
    pop->show(anchor, a, [] {});
    advance(0.5);
    pop->menu()->scroll()->setContentOffset({120, 0});
    EXPECT_EQ(reopen(a), 120);
    EXPECT_EQ(reopen(b), 0);
}

TEST_F(LabelPop, ALabelTapOpensItsItemsEditorOnTheLabel) {
    pop->show(anchor, sliders(2, "P"), [] {});
    advance(0.5);
    auto label = pop->menu()->buttons()[1];
    tap(centreOf(label));
    advance(1);
    ASSERT_NE(pop->popSlider(), nullptr);
    EXPECT_EQ(pop->popSlider()->phase(), PopPhase::Shown);
    EXPECT_EQ(pop->popSlider()->last(), label);
    EXPECT_EQ(pop->popSlider()->value().identity(), pop->attrs()["value"]["input1"].identity());
    EXPECT_EQ(host->log, (Strings{"preprocess input1", "initialize P1"}));
}

}  // namespace
