// The check on the left of an editable field; starting to type selects the option.
// Main-thread only.
#pragma once

#include "platform/ui/input/ui_text_field.h"
#include "ui/controls/check_control.h"

class MyRadioInput;

class MyRadioInputDelegate {
public:
    virtual ~MyRadioInputDelegate() = default;
    virtual void onMyRadioInputChanged(MyRadioInput& sender) = 0;
};

class MyRadioInput : public CheckControl, public UITextFieldDelegate {
public:
    KORVA_MAKE(MyRadioInput)
    void setDelegate(const std::shared_ptr<MyRadioInputDelegate>& d) { delegate_ = d; }
    std::shared_ptr<MyRadioInputDelegate> delegate() const { return delegate_.lock(); }
    void setup() override;
    void textFieldDidBeginEditing(UITextField&) override;

    void setText(const std::string& text) { value_->setText(text); }
    const std::string& text() const { return value_->text(); }
    void setPlaceholder(const std::string& p) { value_->setPlaceholder(p); }
    const std::shared_ptr<UITextField>& value() const { return value_; }

    std::string className() const override { return "MyRadioInput"; }

protected:
    using CheckControl::CheckControl;
    CheckSide checkSide() const override { return CheckSide::Left; }
    std::shared_ptr<UIView> valueView() const override { return value_; }
    void colourValue(bool checked) override;
    void notifyDelegate() override;

private:
    std::weak_ptr<MyRadioInputDelegate> delegate_;
    std::shared_ptr<UITextField> value_;
};
