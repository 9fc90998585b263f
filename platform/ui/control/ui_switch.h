// An on/off switch; a tap toggles it and reports a value change.
#pragma once

#include "platform/ui/control/ui_control.h"

class UISwitch : public UIControl {
public:
    KORVA_MAKE(UISwitch)
    void init() override;
    bool isOn() const { return on_; }
    // Setting the value never reports a change; only the user's toggle does.
    void setOn(bool on, bool animated = false);
    std::shared_ptr<UIColor> onTintColor() const { return onTint_; }
    void setOnTintColor(std::shared_ptr<UIColor> c);
    std::shared_ptr<UIColor> thumbTintColor() const { return thumbTint_; }
    void setThumbTintColor(std::shared_ptr<UIColor> c);

    void endTrackingWithTouch(const UITouch* touch, const UIEvent* event) override;
    CGSize intrinsicContentSize() const override { return {51, 31}; }
    CGSize sizeThatFits(CGSize) const override { return {51, 31}; }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UISwitch"; }

protected:
    explicit UISwitch(CGRect frame = CGRectZero) : UIControl(frame) {}

private:
    bool on_ = false;
    std::shared_ptr<UIColor> onTint_, thumbTint_;
};
