// The editor of the two lookup tables of a cube mix: the shared dimension and, under a "Cube 1" /
// "Cube 2" switch, one cube grid per table. The table shown stays chosen across shows.
// Main-thread only.
#pragma once

#include "editor/color/pop_adj_cube_base.h"
#include "ui/controls/menu_label_view.h"

class PopAdjColorCube2View : public PopAdjCubeBase, public MenuLabelViewDelegate {
public:
    KORVA_MAKE(PopAdjColorCube2View)
    static constexpr CGSize kSize{240, 395};
    static constexpr CGFloat kMenuTop = 5;
    static constexpr CGFloat kMenuHeight = 40;
    static constexpr CGFloat kMenuWidth = 100;
    static constexpr CGFloat kGridTop = 50;

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension, const Value& inputCube0Data,
              const Value& inputCube1Data, Callback completion);
    using PopAdjCubeBase::show;
    void updateData() override;
    // Both grids, then the chosen one in front.
    void updateView();

    Value onColorCubeDataViewGetAttr(ColorCubeDataView& view) override;
    void onColorCubeDataViewValueChanged(ColorCubeDataView& view) override;
    std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView& menu) override;
    void onMenuLabelViewLabelTap(MenuLabelView& menu, long index, UIButton& sender) override;

    long dataCursor() const { return dataCursor_; }
    const Value& inputCube0Data() const { return inputCube0Data_; }
    const Value& inputCube1Data() const { return inputCube1Data_; }
    const std::shared_ptr<UIView>& b1() const { return b1_; }
    const std::shared_ptr<MenuLabelView>& menu() const { return menu_; }
    const std::shared_ptr<ColorCubeDataView>& dataView0() const { return dataView0_; }
    const std::shared_ptr<ColorCubeDataView>& dataView1() const { return dataView1_; }

    std::string className() const override { return "PopAdjColorCube2View"; }

protected:
    using PopAdjCubeBase::PopAdjCubeBase;
    std::vector<Value> tables() const override { return {inputCube0Data_, inputCube1Data_}; }
    std::vector<std::shared_ptr<ColorCubeDataView>> grids() const override { return {dataView0_, dataView1_}; }

private:
    // The table record a grid shows, by its tag; none for another tag.
    Value tableOf(const ColorCubeDataView& view) const;

    long dataCursor_ = 0;
    Value inputCube0Data_;
    Value inputCube1Data_;
    std::shared_ptr<UIView> b1_;
    std::shared_ptr<MenuLabelView> menu_;
    std::shared_ptr<ColorCubeDataView> dataView0_;
    std::shared_ptr<ColorCubeDataView> dataView1_;
};
