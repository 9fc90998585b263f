#include "editor/color/pop_adj_color_cube_view.h"

#include "ui/layout/view_custom_constraints.h"

void PopAdjColorCubeView::init() {
    PopAdjCubeBase::init();
    buildCubePanel(kSize, nullptr);
    dataView_ = ColorCubeDataView::make(vc());
    dataView_->setDelegate(std::dynamic_pointer_cast<ColorCubeDataViewDelegate>(shared_from_this()));
    b0()->addSubview(dataView_);
    addConstraintsFull(dataView_, b0(), 0, kGridsTop, 0, 0);
}

void PopAdjColorCubeView::show(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension,
                               const Value& inputCubeData, Callback completion) {
    inputCubeData_ = inputCubeData;
    showCube(sender, inputCubeDimension, "Color Cube", std::move(completion));
}

void PopAdjColorCubeView::updateData() {
    dataView_->updateData();
    updateView();
}

void PopAdjColorCubeView::updateView() {
    dataView_->updateView();
}

Value PopAdjColorCubeView::onColorCubeDataViewGetAttr(ColorCubeDataView&) {
    return inputCubeData_;
}

void PopAdjColorCubeView::onColorCubeDataViewValueChanged(ColorCubeDataView&) {
    reportChange(inputCubeData_);
}
