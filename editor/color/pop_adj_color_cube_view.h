// The editor of a colour cube's lookup table: a "Dimension" button that opens the whole-number
// stepper on the dimension record, and the cube grid on the data record. A new dimension
// replaces the table with random colours; Reset restores both defaults. Every record written is
// reported, the dimension before the table, so the host always keeps a matching pair.
// Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_general_base.h"
#include "editor/color/color_cube_data_view.h"

class IconButton;
class PopAdjStepperView;

class PopAdjColorCubeView : public PopAdjGeneralBase,
                            public PopAdjGeneralBaseDelegate,
                            public ColorCubeDataViewDelegate {
public:
    KORVA_MAKE(PopAdjColorCubeView)
    static constexpr CGSize kSize{240, 345};
    static constexpr CGSize kButtonSize{100, 35};
    static constexpr CGFloat kButtonTop = 5;
    static constexpr CGFloat kGridTop = 45;
    static constexpr float kMinDimension = 2;
    static constexpr float kMaxDimension = 64;

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension, const Value& inputCubeData,
              Callback completion);
    using PopAdjGeneralBase::show;
    long calcDimension() const;
    void updateData();
    void updateView();
    void onDimension();
    // Reset: the default dimension and table, the grid, then both records reported.
    void onRightButton(IconButton& sender) override;
    void hide(Callback completion) override;
    using PopAdjGeneralBase::hide;
    void scheduledInternalLayout() override;

    // The stepper wrote a new dimension.
    void onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase& editor, const Value& record) override;
    long onColorCubeDataViewGetDimension(ColorCubeDataView& view) override;
    Value onColorCubeDataViewGetAttr(ColorCubeDataView& view) override;
    void onColorCubeDataViewValueChanged(ColorCubeDataView& view) override;

    const Value& inputCubeDimension() const { return inputCubeDimension_; }
    const Value& inputCubeData() const { return inputCubeData_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<IconButton>& btnDimension() const { return btnDimension_; }
    const std::shared_ptr<PopAdjStepperView>& popDimension();
    const std::shared_ptr<ColorCubeDataView>& dataView() const { return dataView_; }

    std::string className() const override { return "PopAdjColorCubeView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    Value inputCubeDimension_;
    Value inputCubeData_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<IconButton> btnDimension_;
    std::shared_ptr<PopAdjStepperView> popDimension_;
    std::shared_ptr<ColorCubeDataView> dataView_;
};
