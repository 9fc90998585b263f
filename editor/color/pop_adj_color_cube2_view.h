// The editor of the two lookup tables of a cube mix: a "Dimension" button for the shared
// dimension and, under a "Cube 1" / "Cube 2" switch, one cube grid per table. A new dimension
// replaces both tables with random colours; Reset restores the three defaults. Every record
// written is reported, the dimension first, so the host keeps tables that match it. The table
// shown stays chosen across shows. Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_general_base.h"
#include "editor/color/color_cube_data_view.h"
#include "ui/controls/menu_label_view.h"

class IconButton;
class PopAdjStepperView;

class PopAdjColorCube2View : public PopAdjGeneralBase,
                             public PopAdjGeneralBaseDelegate,
                             public ColorCubeDataViewDelegate,
                             public MenuLabelViewDelegate {
public:
    KORVA_MAKE(PopAdjColorCube2View)
    static constexpr CGSize kSize{240, 395};
    static constexpr CGSize kButtonSize{100, 35};
    static constexpr CGFloat kButtonTop = 5;
    static constexpr CGFloat kTablesTop = 45;
    static constexpr CGFloat kMenuTop = 5;
    static constexpr CGFloat kMenuHeight = 40;
    static constexpr CGFloat kGridTop = 50;
    static constexpr float kMinDimension = 2;
    static constexpr float kMaxDimension = 64;

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension, const Value& inputCube0Data,
              const Value& inputCube1Data, Callback completion);
    using PopAdjGeneralBase::show;
    long calcDimension() const;
    void updateData();
    // Both grids, then the chosen one in front.
    void updateView();
    void onDimension();
    // Reset: the three defaults, the grids, then the three records reported.
    void onRightButton(IconButton& sender) override;
    void hide(Callback completion) override;
    using PopAdjGeneralBase::hide;
    void scheduledInternalLayout() override;

    void onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase& editor, const Value& record) override;
    long onColorCubeDataViewGetDimension(ColorCubeDataView& view) override;
    Value onColorCubeDataViewGetAttr(ColorCubeDataView& view) override;
    void onColorCubeDataViewValueChanged(ColorCubeDataView& view) override;
    std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView& menu) override;
    void onMenuLabelViewLabelTap(MenuLabelView& menu, long index, UIButton& sender) override;

    long dataCursor() const { return dataCursor_; }
    const Value& inputCubeDimension() const { return inputCubeDimension_; }
    const Value& inputCube0Data() const { return inputCube0Data_; }
    const Value& inputCube1Data() const { return inputCube1Data_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<UIView>& b1() const { return b1_; }
    const std::shared_ptr<IconButton>& btnDimension() const { return btnDimension_; }
    const std::shared_ptr<PopAdjStepperView>& popDimension();
    const std::shared_ptr<MenuLabelView>& menu() const { return menu_; }
    const std::shared_ptr<ColorCubeDataView>& dataView0() const { return dataView0_; }
    const std::shared_ptr<ColorCubeDataView>& dataView1() const { return dataView1_; }

    std::string className() const override { return "PopAdjColorCube2View"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    // The table record a grid shows, by its tag; none for another tag.
    Value tableOf(const ColorCubeDataView& view) const;

    long dataCursor_ = 0;
    Value inputCubeDimension_;
    Value inputCube0Data_;
    Value inputCube1Data_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<UIView> b1_;
    std::shared_ptr<IconButton> btnDimension_;
    std::shared_ptr<PopAdjStepperView> popDimension_;
    std::shared_ptr<MenuLabelView> menu_;
    std::shared_ptr<ColorCubeDataView> dataView0_;
    std::shared_ptr<ColorCubeDataView> dataView1_;
};
