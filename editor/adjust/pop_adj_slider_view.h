// The editor of a continuous number between a record's "min" and "max": a white slider that writes
// and reports every value it passes while dragged. Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_general_base.h"

class UISlider;

class PopAdjSliderView : public PopAdjGeneralBase {
public:
    KORVA_MAKE(PopAdjSliderView)
    static constexpr CGSize kSize{200, 95};

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjGeneralBase::show;
    // Bounds first, then the value, so the value is clamped into the record's own range.
    void updateView();
    // Reset: the record's default, then the slider, then the report.
    void onRightButton(IconButton& sender) override;
    void onSlider(UISlider& slider);

    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<UISlider>& slider() const { return slider_; }

    std::string className() const override { return "PopAdjSliderView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    Value value_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<UISlider> slider_;
};
