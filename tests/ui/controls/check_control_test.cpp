// The radio button, the radio input and the labelled check box: every setChecked notifies the
// control's own kind of delegate, a tap on the text toggles like one on the check, and each
// side's layout.
#include "ui/controls/check_control.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/ui/control/ui_button.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/controls/anim_button.h"
#include "ui/controls/radio_input.h"

namespace {

using CheckControls = PopupTest;

// Listens to all three kinds of control, noting which operation spoke and who sent it.
struct Heard : MyRadioButtonDelegate, MyRadioInputDelegate, LabeledCheckBoxDelegate {
    using Log = std::vector<std::pair<std::string, const UIView*>>;
    Log log;
    void onMyRadioButtonChanged(MyRadioButton& s) override { log.emplace_back("radio button", &s); }
    void onMyRadioInputChanged(MyRadioInput& s) override { log.emplace_back("radio input", &s); }
    void onLabeledCheckBoxChanged(LabeledCheckBox& s) override { log.emplace_back("check box", &s); }
};

TEST_F(CheckControls, EverySetCheckedNotifiesAndTheTextTogglesToo) {
    auto radio = MyRadioButton::make();
    auto box = LabeledCheckBox::make();
    auto heard = std::make_shared<Heard>();
    radio->setDelegate(heard);
    box->setDelegate(heard);
    for (const std::shared_ptr<CheckButtonControl>& c :
         {std::static_pointer_cast<CheckButtonControl>(radio), std::static_pointer_cast<CheckButtonControl>(box)}) {
        SCOPED_TRACE(c->className());
        heard->log.clear();
        auto changes = [&] { return heard->log.size(); };
        EXPECT_FALSE(c->checked());
        c->setChecked(true);
        c->setChecked(true);
        EXPECT_EQ(changes(), 2u) << "also when nothing changed";
        EXPECT_TRUE(c->checked());
        c->value()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        EXPECT_FALSE(c->checked()) << "a second tap clears even a radio button";
        c->check()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        EXPECT_TRUE(c->checked());
        EXPECT_EQ(changes(), 4u);
    }
}

TEST_F(CheckControls, EachControlTellsItsOwnDelegateKindWithItself) {
    auto radio = MyRadioButton::make();
    auto input = MyRadioInput::make();
    auto box = LabeledCheckBox::make();
    auto heard = std::make_shared<Heard>();
    radio->setDelegate(heard);
    input->setDelegate(heard);
    box->setDelegate(heard);
    box->setChecked(true);
    radio->onTap();
    input->setChecked(false);
    EXPECT_EQ(heard->log,
              (Heard::Log{{"check box", box.get()}, {"radio button", radio.get()}, {"radio input", input.get()}}));

    // The controls do not keep their delegate alive; a change after it has gone is still made.
    std::weak_ptr<Heard> gone = heard;
    heard.reset();
    EXPECT_TRUE(gone.expired());
    radio->onTap();
    input->onTap();
    box->onTap();
    EXPECT_FALSE(radio->checked());
    EXPECT_TRUE(input->checked());
    EXPECT_FALSE(box->checked());
}

TEST_F(CheckControls, TheCheckSitsLeftOfARadioAndRightOfABox) {
    auto radio = MyRadioButton::make();
    radio->setFrame({{0, 100}, {200, 44}});
    radio->setText("Auto");
    auto box = LabeledCheckBox::make();
    box->setFrame({{0, 200}, {200, 44}});
    root()->addSubview(radio);
    root()->addSubview(box);
    settle();
    EXPECT_EQ(radio->check()->frame(), (CGRect{{0, 2}, {40, 40}}));
    EXPECT_EQ(radio->value()->frame(), (CGRect{{40, 0}, {160, 44}}));
    EXPECT_EQ(box->check()->frame(), (CGRect{{140, 2}, {40, 40}}));
    EXPECT_EQ(box->value()->frame(), (CGRect{{20, 0}, {110, 44}}));
    EXPECT_EQ(radio->text(), "Auto");
}

TEST_F(CheckControls, StartingToTypeSelectsTheInputOption) {
    auto input = MyRadioInput::make();
    auto heard = std::make_shared<Heard>();
    input->setDelegate(heard);
    auto changes = [&] { return heard->log.size(); };
    EXPECT_FALSE(input->checked());
    input->textFieldDidBeginEditing(*input->value());
    EXPECT_TRUE(input->checked());
    input->textFieldDidBeginEditing(*input->value());
    EXPECT_EQ(changes(), 1u) << "already chosen: nothing more";
    input->setText("42");
    EXPECT_EQ(input->text(), "42");
    input->setChecked(false);
    EXPECT_EQ(changes(), 2u);

    // Taps in the field while typing there keep the option chosen; the check image still toggles.
    input->value()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_TRUE(input->checked()) << "a tap in the field selects";
    input->value()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_TRUE(input->checked()) << "a second tap in the field unchecked the option";
    input->check()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_FALSE(input->checked());
}

}  // namespace
