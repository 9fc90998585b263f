// The editor of a colour-array record: one slider in a black panel inside a white bubble. The
// slider's range is the record's "min" and "max", but its position is not read from the record
// (the record holds colours); moving it writes one number. Reset restores the record's default
// array. The parameter pop-up owns the record: the editor lets go of it when it hides, so it never
// keeps a record alive or writes into one it no longer shows. Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_general_base.h"

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
    void hide(Callback completion) override;

    // The record being edited; null while hidden.
    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<UISlider>& slider() const { return slider_; }

    std::string className() const override { return "PopAdjColorArrayView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    Value value_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<UISlider> slider_;
};
