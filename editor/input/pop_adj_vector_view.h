// The editor of a vector of up to four numbers: one slider per component, stacked. The kind
// decides how many show (two for sizes and offsets, three, or four); bounds come per component
// from the record's "min" and "max" arrays. Main-thread only.
#pragma once

#include <array>

#include "editor/adjust/pop_adj_general_base.h"

class UISlider;

class PopAdjVectorView : public PopAdjGeneralBase {
public:
    KORVA_MAKE(PopAdjVectorView)
    static constexpr CGSize kInitialSize{200, 200};
    static constexpr int kSliderCount = 4;
    static constexpr long kFirstTag = 1100;
    static constexpr CGFloat kSliderInset = 10;
    static constexpr CGFloat kSliderPitch = 40;
    static constexpr CGFloat kSliderHeight = 30;
    // The panel's height without sliders: the title bar and the margins.
    static constexpr CGFloat kBaseHeight = 55;

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjGeneralBase::show;
    // The number of sliders the record's kind shows.
    static int componentsOf(const Value& record);
    void updateView();
    // Any slider moved: writes the four components.
    void onSlider(UISlider& slider);
    // Reset: the default's first four numbers, the report, then the sliders.
    void onRightButton(IconButton& sender) override;

    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::array<std::shared_ptr<UISlider>, kSliderCount>& sliders() const { return sliders_; }

    std::string className() const override { return "PopAdjVectorView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    void initSlider(int index, float mn, float mx);

    Value value_;
    std::shared_ptr<UIView> b0_;
    std::array<std::shared_ptr<UISlider>, kSliderCount> sliders_;
};
