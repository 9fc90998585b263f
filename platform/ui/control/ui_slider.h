// A horizontal slider: a thumb on a track between a minimum and a maximum value.
#pragma once

#include "platform/ui/control/ui_control.h"

class UISlider : public UIControl {
public:
    KORVA_MAKE(UISlider)
    void init() override;

    float value() const { return value_; }
    // Clamped into the range; `animated` moves the thumb over a short animation.
    void setValue(float value, bool animated = false);
    float minimumValue() const { return min_; }
    void setMinimumValue(float v);
    float maximumValue() const { return max_; }
    void setMaximumValue(float v);
    // Continuous sliders report value changes while dragging; others once, when released.
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool c) { continuous_ = c; }
    std::shared_ptr<UIColor> minimumTrackTintColor() const { return minTint_; }
    void setMinimumTrackTintColor(std::shared_ptr<UIColor> c);
    std::shared_ptr<UIColor> maximumTrackTintColor() const { return maxTint_; }
    void setMaximumTrackTintColor(std::shared_ptr<UIColor> c);
    std::shared_ptr<UIColor> thumbTintColor() const { return thumbTint_; }
    void setThumbTintColor(std::shared_ptr<UIColor> c);

    CGRect trackRectForBounds(CGRect bounds) const;
    CGRect thumbRectForBounds(CGRect bounds, CGRect track, float value) const;

    bool beginTrackingWithTouch(const UITouch& touch, const UIEvent& event) override;
    bool continueTrackingWithTouch(const UITouch& touch, const UIEvent& event) override;
    void endTrackingWithTouch(const UITouch* touch, const UIEvent* event) override;
    CGSize intrinsicContentSize() const override { return {UIViewNoIntrinsicMetric, 34}; }
    CGSize sizeThatFits(CGSize size) const override { return {size.width > 0 ? size.width : 118, 34}; }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UISlider"; }

protected:
    explicit UISlider(CGRect frame = CGRectZero) : UIControl(frame) {}

private:
    void trackTo(const UITouch& touch);
    float value_ = 0, min_ = 0, max_ = 1;
    bool continuous_ = true;
    bool changedWhileTracking_ = false;
    CGFloat grabOffset_ = 0;
    std::shared_ptr<UIColor> minTint_, maxTint_, thumbTint_;
};
