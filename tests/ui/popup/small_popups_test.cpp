// The tab button's two arrangements, and the stepper and label-row pop-ups passing their
// content's events to their delegates.
#include <gtest/gtest.h>

#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/controls/anim_button.h"
#include "ui/controls/tab_bar_button.h"
#include "ui/popup/pop_menu_label_view.h"
#include "ui/popup/pop_stepper_view.h"

namespace {

using SmallPopups = PopupTest;

struct Tapped : TabBarButtonDelegate {
    int taps = 0;
    void onTabBarButtonTap(TabBarButton&) override { ++taps; }
};

TEST_F(SmallPopups, ATabButtonWithoutCaptionCentresItsImage) {
    auto plain = TabBarButton::make(CGRect{{0, 100}, {80, 49}});
    auto captioned = TabBarButton::make(CGRect{{100, 100}, {80, 49}});
    captioned->text()->setTitle(std::string("Camera"), UIControlStateNormal);
    root()->addSubview(plain);
    root()->addSubview(captioned);
    settle();
    EXPECT_EQ(plain->image()->frame(), (CGRect{{20, 4.5}, {40, 40}}));
    EXPECT_EQ(plain->text()->superview(), nullptr);
    EXPECT_EQ(captioned->image()->frame(), (CGRect{{22, 3}, {36, 36}}));
    EXPECT_EQ(captioned->text()->frame(), (CGRect{{0, 32}, {80, 15}}));
    auto tapped = std::make_shared<Tapped>();
    captioned->setDelegate(tapped);
    captioned->image()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    captioned->text()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(tapped->taps, 2);
}

struct Stepped : PopStepperViewDelegate {
    float value = 4;
    std::vector<std::string> log;
    void onPopStepperViewWillShow(PopStepperView&) override { log.push_back("willShow"); }
    float onPopStepperViewGetValue(PopStepperView&) override { return value; }
    void onPopStepperViewChanged(PopStepperView&, float v) override { value = v; }
    void onPopStepperViewDidHide(PopStepperView&) override { log.push_back("didHide"); }
};

TEST_F(SmallPopups, TheStepperPopupKeepsTheValueWithItsDelegate) {
    auto pop = PopStepperView::make(screenVC);
    auto stepped = std::make_shared<Stepped>();
    pop->setDelegate(stepped);
    pop->show(std::shared_ptr<NSObject>{}, 2, 0, 5, [&] { stepped->log.push_back("shown"); });
    EXPECT_EQ(pop->size(), (CGSize{170, 45}));
    EXPECT_EQ(pop->body()->label()->text(), "4");
    pop->body()->onUp();
    EXPECT_EQ(stepped->value, 5);
    advance(0.5);
    pop->hide([&] { stepped->log.push_back("hidden"); });
    advance(0.5);
    EXPECT_EQ(stepped->log, (std::vector<std::string>{"willShow", "shown", "hidden", "didHide"}));
}

struct Row : PopMenuLabelViewDelegate {
    std::vector<long> taps;
    std::vector<std::string> onPopMenuLabelViewGetArray(PopMenuLabelView&) override { return {"A", "B", "C"}; }
    void onPopMenuLabelViewLabelTap(PopMenuLabelView&, long index, UIButton&) override { taps.push_back(index); }
};

TEST_F(SmallPopups, TheLabelRowPopupIsAsWideAsItsRow) {
    auto pop = PopMenuLabelView::make(screenVC);
    auto row = std::make_shared<Row>();
    pop->setDelegate(row);
    pop->show(std::shared_ptr<NSObject>{}, nullptr, nullptr);
    EXPECT_EQ(pop->size().width, pop->menu()->scroll()->contentSize().width + 10);
    EXPECT_EQ(pop->size().height, 52);
    advance(0.5);
    pop->menu()->buttons()[1]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(0.5);
    EXPECT_EQ(row->taps, (std::vector<long>{1}));
}

}  // namespace
