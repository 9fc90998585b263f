// The radio option with a field.
#include "ui/controls/radio_input.h"

#include "foundation/global.h"
#include "platform/ui/draw/color.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

void MyRadioInput::setup() {
    CheckControl::setup();
    value_ = UITextField::make();
    value_->setDelegate(std::dynamic_pointer_cast<UITextFieldDelegate>(shared_from_this()));
    value_->setTextAlignment(NSTextAlignment::Center);
    if (auto font = Global::shared()->font()) value_->setFont(font->input());
    if (auto palette = Global::shared()->color()) value_->layer()->setBorderColor(palette->inputBorder0()->cgColor());
    value_->layer()->setBorderWidth(1);
    value_->layer()->setCornerRadius(4);
    auto& traits = value_->traits();
    traits.autocapitalizationType = UITextAutocapitalizationType::None;
    traits.autocorrectionType = UITextAutocorrectionType::No;
    traits.spellCheckingType = UITextSpellCheckingType::No;
    traits.keyboardType = UIKeyboardType::Default;
    // A tap in the field selects the option; it never clears it (one may tap there while typing).
    // The check image still toggles.
    std::weak_ptr<MyRadioInput> weak = self<MyRadioInput>();
    value_->addAction(
        [weak](UIControl&) {
            if (auto s = weak.lock(); s && !s->checked()) s->setChecked(true);
        },
        UIControlEventTouchUpInside);
}

void MyRadioInput::textFieldDidBeginEditing(UITextField&) {
    if (!checked()) setChecked(true);
}

void MyRadioInput::colourValue(bool checked) {
    auto palette = Global::shared()->color();
    if (!palette) return;
    value_->setTextColor(checked ? palette->labelDefault() : palette->labelLightGray());
}

void MyRadioInput::notifyDelegate() {
    if (auto d = delegate()) d->onMyRadioInputChanged(*this);
}
