// The check image button paired with a text: a radio button (check left, text right), a radio
// input (check left, editable field right) and a labelled check box (text left, check right). A
// tap on either part toggles the check; every setChecked, changed or not, cross-fades the check
// and tells the delegate. Each control has its own kind of delegate, so one owner can listen to
// several kinds. Owners that group radio controls clear the others themselves. Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "ui/layout/my_view.h"

class AnimButton;
class UIButton;
class UIColor;
class UIFont;
class MyRadioButton;
class LabeledCheckBox;

class MyRadioButtonDelegate {
public:
    virtual ~MyRadioButtonDelegate() = default;
    virtual void onMyRadioButtonChanged(MyRadioButton& sender) = 0;
};

class LabeledCheckBoxDelegate {
public:
    virtual ~LabeledCheckBoxDelegate() = default;
    virtual void onLabeledCheckBoxChanged(LabeledCheckBox& sender) = 0;
};

class CheckControl : public MyView {
public:
    void setup() override;
    void relayout() override;
    void onTap() { setChecked(!checked()); }
    void setChecked(bool checked);
    bool checked() const;
    const std::shared_ptr<AnimButton>& check() const { return check_; }

protected:
    using MyView::MyView;
    enum class CheckSide { Left, Right };
    virtual CheckSide checkSide() const = 0;
    // The text part, made in setup.
    virtual std::shared_ptr<UIView> valueView() const = 0;
    virtual void colourValue(bool checked) = 0;
    // Sends the control's own changed operation to its delegate, if it still has one.
    virtual void notifyDelegate() = 0;

private:
    std::shared_ptr<AnimButton> check_;
};

// The kinds whose text is a button.
class CheckButtonControl : public CheckControl {
public:
    void setup() override;
    void setText(const std::string& text);
    std::string text() const;
    void setFont(std::shared_ptr<UIFont> font);
    const std::shared_ptr<UIButton>& value() const { return value_; }

protected:
    using CheckControl::CheckControl;
    std::shared_ptr<UIView> valueView() const override;
    void colourValue(bool checked) override;
    virtual std::shared_ptr<UIColor> uncheckedTint() const = 0;

private:
    std::shared_ptr<UIButton> value_;
};

// The check on the left of its text; unchecked text in dark grey.
class MyRadioButton : public CheckButtonControl {
public:
    KORVA_MAKE(MyRadioButton)
    void setDelegate(const std::shared_ptr<MyRadioButtonDelegate>& d) { delegate_ = d; }
    std::shared_ptr<MyRadioButtonDelegate> delegate() const { return delegate_.lock(); }
    std::string className() const override { return "MyRadioButton"; }

protected:
    using CheckButtonControl::CheckButtonControl;
    CheckSide checkSide() const override { return CheckSide::Left; }
    std::shared_ptr<UIColor> uncheckedTint() const override;
    void notifyDelegate() override;

private:
    std::weak_ptr<MyRadioButtonDelegate> delegate_;
};

// The text on the left, the check on the right; unchecked text in light grey.
class LabeledCheckBox : public CheckButtonControl {
public:
    KORVA_MAKE(LabeledCheckBox)
    void setDelegate(const std::shared_ptr<LabeledCheckBoxDelegate>& d) { delegate_ = d; }
    std::shared_ptr<LabeledCheckBoxDelegate> delegate() const { return delegate_.lock(); }
    std::string className() const override { return "LabeledCheckBox"; }

protected:
    using CheckButtonControl::CheckButtonControl;
    CheckSide checkSide() const override { return CheckSide::Right; }
    std::shared_ptr<UIColor> uncheckedTint() const override;
    void notifyDelegate() override;

private:
    std::weak_ptr<LabeledCheckBoxDelegate> delegate_;
};
