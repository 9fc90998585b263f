// The editor of a colour-array record: one slider in a black panel inside a white bubble. The
// slider's range is the record's "min" and "max", but its position is not read from the record
// (the record holds colours); moving it writes one number. Reset restores the record's default
// array. The parameter pop-up owns the record and the editor holds it weakly: it never keeps a
// record alive, and once the owner has dropped it a move or Reset writes and reports nothing.
// Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_general_base.h"
#include "platform/runtime/weak_value.h"

class UISlider;

class PopAdjColorArrayView : public PopAdjGeneralBase {
public:
    KORVA_MAKE(PopAdjColorArrayView)
    static constexpr CGSize kSize{200, 95};

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjGeneralBase::show;
    // The slider's bounds from the record; the position stays where it is.
    void updateView();
    void onColorArray(UISlider& slider);
    // Reset: a copy of the default array, the report, then the bounds.
    void onRightButton(IconButton& sender) override;

    // The record being edited while its owner keeps it; null before the first show and after.
    Value value() const { return value_.lock(); }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<UISlider>& slider() const { return slider_; }

    std::string className() const override { return "PopAdjColorArrayView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    WeakValue value_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<UISlider> slider_;
};
