// The stepper's bounds and reports, and the label row's building, centring and delayed taps.
#include <gtest/gtest.h>

#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/controls/menu_label_view.h"
#include "ui/controls/stepper_view.h"
#include "ui/theme/font.h"

namespace {

struct Value : StepperViewDelegate {
    float value = 0;
    std::vector<float> reported;
    float onStepperViewGetValue(StepperView&) override { return value; }
    void onStepperViewChanged(StepperView&, float v) override {
        reported.push_back(v);
        value = v;
    }
};

struct Labels : MenuLabelViewDelegate {
    std::vector<std::string> strings;
    std::vector<std::string>* log = nullptr;
    std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView&) override { return strings; }
    void onMenuLabelViewLabelTap(MenuLabelView&, long index, UIButton&) override {
        log->push_back("tap " + std::to_string(index));
    }
};

using StepperTest = PopupTest;

TEST_F(StepperTest, StepsStayInBoundsAndOnlyRealChangesAreReported) {
    auto stepper = StepperView::make();
    auto value = std::make_shared<Value>();
    stepper->setDelegate(value);
    stepper->setMinValue(0);
    stepper->setMaxValue(10);
    stepper->setStepValue(3);
    value->value = 9;
    stepper->onUp();
    EXPECT_EQ(value->reported, (std::vector<float>{10}));
    stepper->onUp();
    EXPECT_EQ(value->reported.size(), 1u) << "at the bound nothing changes";
    EXPECT_EQ(stepper->label()->text(), "10") << "the label refreshes anyway";

    stepper->setStepValue(0);
    value->value = 7.25f;
    stepper->onDown();
    EXPECT_EQ(value->reported.size(), 1u);
    EXPECT_EQ(stepper->label()->text(), "7");
    value->value = 42;
    stepper->onDown();
    EXPECT_EQ(value->reported.back(), 10) << "a value outside the bounds is pulled in";

    stepper->btnDown()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(value->value, 10);
}

struct MenuTest : PopupTest {
    std::shared_ptr<MenuLabelView> menu;
    std::shared_ptr<Labels> labels = std::make_shared<Labels>();
    std::shared_ptr<UIColor> selected = UIColor::blueColor(), unselected = UIColor::clearColor();
    void SetUp() override {
        PopupTest::SetUp();
        menu = MenuLabelView::make(global()->font()->filterMenuNormal(), selected, unselected, UIColor::grayColor());
        menu->setFrame({{0, 100}, {300, 40}});
        root()->addSubview(menu);
        labels->log = &log;
        menu->setDelegate(labels);
        settle();
    }
    CGFloat offset() { return menu->scroll()->contentOffset().x; }
};

TEST_F(MenuTest, AnEmptyListGivesNoButtons) {
    EXPECT_EQ(menu->updateData(), 20);
    EXPECT_TRUE(menu->buttons().empty());
    EXPECT_EQ(menu->scroll()->contentSize().width, 10);
    bool done = false;
    menu->setSelection(3, [&] { done = true; });
    EXPECT_TRUE(done) << "an index past the end completes at once";
}

TEST_F(MenuTest, SelectionCentresTheButtonWithinTheContent) {
    for (int i = 0; i < 12; ++i) labels->strings.push_back("Label " + std::to_string(i));
    const double width = menu->updateData();
    const auto& b = menu->buttons();
    ASSERT_EQ(b.size(), 12u);
    EXPECT_EQ(b[1]->frame().origin.x, b[0]->frame().origin.x + b[0]->frame().size.width + 10);
    EXPECT_EQ(width, menu->scroll()->contentSize().width + 10);

    menu->setSelection(0, [] {});
    advance(0.4);
    EXPECT_EQ(offset(), 0);
    EXPECT_EQ(b[0]->backgroundColor(), selected);

    menu->setSelection(5, [] {});
    advance(0.4);
    const CGRect f = b[5]->frame();
    EXPECT_NEAR(offset(), f.origin.x - (150 - f.size.width / 2), 1e-3) << "the selected button sits in the middle";
    EXPECT_EQ(b[0]->backgroundColor(), unselected);

    menu->setSelection(11, [] {});
    advance(0.4);
    EXPECT_EQ(offset(), menu->scroll()->contentSize().width - 300) << "never past the end";
    EXPECT_FALSE(menu->vL()->isHidden());
    EXPECT_TRUE(menu->vR()->isHidden());

    menu->resetSelection();
    EXPECT_EQ(b[11]->backgroundColor(), unselected);
}

TEST_F(MenuTest, ATapReachesTheDelegateAfterTheScroll) {
    for (int i = 0; i < 12; ++i) labels->strings.push_back("Label " + std::to_string(i));
    menu->updateData();
    menu->buttons()[6]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_TRUE(log.empty());
    advance(0.29);
    EXPECT_TRUE(log.empty());
    advance(0.02);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "tap 6");
    EXPECT_EQ(menu->lastSelection(), 6);
}

}  // namespace
