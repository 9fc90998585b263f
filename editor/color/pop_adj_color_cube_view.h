// The editor of a colour cube's lookup table: the dimension and one table, shown as a cube grid.
// Main-thread only.
#pragma once

#include "editor/color/pop_adj_cube_base.h"

class PopAdjColorCubeView : public PopAdjCubeBase {
public:
    KORVA_MAKE(PopAdjColorCubeView)
    static constexpr CGSize kSize{240, 345};

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension, const Value& inputCubeData,
              Callback completion);
    using PopAdjCubeBase::show;
    void updateData() override;
    void updateView();

    Value onColorCubeDataViewGetAttr(ColorCubeDataView& view) override;
    void onColorCubeDataViewValueChanged(ColorCubeDataView& view) override;

    const Value& inputCubeData() const { return inputCubeData_; }
    const std::shared_ptr<ColorCubeDataView>& dataView() const { return dataView_; }

    std::string className() const override { return "PopAdjColorCubeView"; }

protected:
    using PopAdjCubeBase::PopAdjCubeBase;
    std::vector<Value> tables() const override { return {inputCubeData_}; }
    std::vector<std::shared_ptr<ColorCubeDataView>> grids() const override { return {dataView_}; }

private:
    Value inputCubeData_;
    std::shared_ptr<ColorCubeDataView> dataView_;
};
