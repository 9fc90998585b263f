// A pair of minus and plus segments that step a value within a range; holding one repeats.
#pragma once

#include "platform/dispatch/timer.h"
#include "platform/ui/control/ui_control.h"

class UIStepper : public UIControl {
public:
    KORVA_MAKE(UIStepper)
    void init() override;
    double value() const { return value_; }
    // Clamped (or wrapped) into the range; never reports a change.
    void setValue(double v);
    double minimumValue() const { return min_; }
    void setMinimumValue(double v);
    double maximumValue() const { return max_; }
    void setMaximumValue(double v);
    double stepValue() const { return step_; }
    // Must be above 0; other values are ignored.
    void setStepValue(double v);
    bool wraps() const { return wraps_; }
    void setWraps(bool w) { wraps_ = w; }
    bool autorepeat() const { return autorepeat_; }
    void setAutorepeat(bool a) { autorepeat_ = a; }
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool c) { continuous_ = c; }

    bool beginTrackingWithTouch(const UITouch& touch, const UIEvent& event) override;
    void endTrackingWithTouch(const UITouch* touch, const UIEvent* event) override;
    void cancelTrackingWithEvent(const UIEvent* event) override;
    CGSize intrinsicContentSize() const override { return {94, 32}; }
    CGSize sizeThatFits(CGSize) const override { return {94, 32}; }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UIStepper"; }

protected:
    explicit UIStepper(CGRect frame = CGRectZero) : UIControl(frame) {}

private:
    // One step in the direction; answers whether the value moved.
    bool stepBy(int direction);
    void stopRepeat();
    double value_ = 0, min_ = 0, max_ = 100, step_ = 1;
    bool wraps_ = false, autorepeat_ = true, continuous_ = true;
    int direction_ = 0;
    bool pendingChange_ = false;
    std::shared_ptr<NSTimer> repeat_;
};
