// The vertical parameter pop-up: one button per item under the filter's name, sized for at most
// two and a half buttons, each opening its item's editor anchored on it.
#include "editor/list/pop_adj_v_view.h"

#include <gtest/gtest.h>

#include "editor/adjust/pop_adj_slider_view.h"
#include "platform/ui/control/ui_label.h"
#include "tests/editor/adjust_test_support.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

struct VerticalPop : AdjustTest {
    std::shared_ptr<PopAdjVView> pop;
    void SetUp() override {
        AdjustTest::SetUp();
        pop = PopAdjVView::make(screenVC);
        pop->setDelegate(host);
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& b : pop->buttons()) out.push_back(b->titleForState(UIControlStateNormal).value_or(""));
        return out;
    }
};

TEST_F(VerticalPop, OneButtonPerItemAndAtMostTwoAndAHalfShow) {
    pop->show(anchor, adjAttrs("CIVignette", {{"inputRadius", adjRecord("Radius", 2)}}, "Vignette"), [] {});
    advance(0.5);
    EXPECT_EQ(pop->size(), (CGSize{200, 100}));
    EXPECT_EQ(pop->titleView()->lblTitle()->text(), "Vignette");
    EXPECT_EQ(titles(), (std::vector<std::string>{"RADIUS"}));

    Value attrs = adjAttrs("CIToneCurve",
                           {{"inputPoint0", adjRecord("Point 0", 11)},
                            {"inputName", adjRecord(nullptr, 2)},
                            {"inputAmount", adjRecord("Amount ä", 2)}},
                           "Tone Curve");
    pop->show(anchor, attrs, [] {});
    advance(0.5);
    EXPECT_EQ(pop->size(), (CGSize{200, 175}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"AMOUNT Ä", "NO NAME", "POINTS"}));
    EXPECT_EQ(pop->buttons()[2]->frame(), (CGRect{{20, 105}, {160, 40}}));
    EXPECT_EQ(pop->scroll()->contentSize(), (CGSize{190, 150}));
    std::size_t inStrip = 0;
    for (const auto& v : pop->scroll()->subviews()) inStrip += std::dynamic_pointer_cast<IconButton>(v) ? 1 : 0;
    EXPECT_EQ(inStrip, 3u) << "the first set's button is gone";

    Value positions = adjAttrs("CIBumpDistortion", {{"inputCenter", adjRecord("Center", 7)}});
    pop->show(anchor, positions, [] {});
    EXPECT_EQ(titles(), (std::vector<std::string>{"POSITIONS"}));
}

TEST_F(VerticalPop, AButtonOpensItsItemsEditorAnchoredOnIt) {
    Value attrs = adjAttrs("CIVignette", {{"inputRadius", adjRecord("Radius", 2, {{"max", Value(10)}})},
                                          {"inputIntensity", adjRecord("Intensity", 2)}});
    pop->show(anchor, attrs, [] {});
    advance(0.5);
    pop->buttons()[1]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(0.5);
    EXPECT_EQ(host->log, (std::vector<std::string>{"preprocess inputRadius", "initialize Radius"}));
    ASSERT_NE(pop->popSlider(), nullptr);
    EXPECT_EQ(pop->popSlider()->last(), pop->buttons()[1]);

    // A button that is not in the column opens nothing.
    auto stray = IconButton::buttonWithType(UIButtonType::System);
    pop->onButton(*stray);
    EXPECT_EQ(host->log.size(), 2u);
}

}  // namespace
