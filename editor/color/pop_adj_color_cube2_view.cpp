#include "editor/color/pop_adj_color_cube2_view.h"

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {
constexpr CGFloat kTablesWhite = 0.7;
}

void PopAdjColorCube2View::init() {
    PopAdjCubeBase::init();
    auto palette = Global::shared()->color();
    auto selected = palette ? palette->colorSelected() : nullptr;
    buildCubePanel(kSize, selected);
    b1_ = UIView::make();
    b1_->setBackgroundColor(UIColor::colorWithWhite(kTablesWhite, 1));
    b0()->addSubview(b1_);
    addConstraintsFull(b1_, b0(), 0, kGridsTop, 0, 0);
    auto font = Global::shared()->font();
    menu_ = MenuLabelView::make(font ? font->filterMenuNormal() : nullptr,
                                UIColor::colorWithRed(89 / 255.0, 169 / 255.0, 233 / 255.0, 1), UIColor::clearColor(),
                                selected);
    menu_->setDelegate(std::dynamic_pointer_cast<MenuLabelViewDelegate>(shared_from_this()));
    menu_->setDontShowGradient(true);
    b1_->addSubview(menu_);
    addConstraintsCT(menu_, b1_, 0, kMenuTop, kMenuWidth, kMenuHeight);
    auto me = std::dynamic_pointer_cast<ColorCubeDataViewDelegate>(shared_from_this());
    dataView0_ = ColorCubeDataView::make(vc());
    dataView0_->setTag(0);
    dataView1_ = ColorCubeDataView::make(vc());
    dataView1_->setTag(1);
    for (const auto& grid : {dataView0_, dataView1_}) {
        grid->setDelegate(me);
        b1_->addSubview(grid);
        addConstraintsFull(grid, b1_, 0, kGridTop, 0, 0);
    }
}

void PopAdjColorCube2View::show(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension,
                                const Value& inputCube0Data, const Value& inputCube1Data, Callback completion) {
    inputCube0Data_ = inputCube0Data;
    inputCube1Data_ = inputCube1Data;
    showCube(sender, inputCubeDimension, "Color Cubes", std::move(completion));
}

void PopAdjColorCube2View::updateData() {
    dataView0_->updateData();
    dataView1_->updateData();
    const double width = menu_->updateData();
    menu_->removeFromSuperview();
    removeMyConstraints(*menu_);
    b1_->addSubview(menu_);
    addConstraintsCT(menu_, b1_, 0, kMenuTop, minFloat(static_cast<float>(width), static_cast<float>(size().width)),
                     kMenuHeight);
    updateView();
}

void PopAdjColorCube2View::updateView() {
    dataView0_->updateView();
    dataView1_->updateView();
    dataView0_->setHidden(dataCursor_ == 1);
    dataView1_->setHidden(dataCursor_ != 1);
}

Value PopAdjColorCube2View::tableOf(const ColorCubeDataView& view) const {
    switch (view.tag()) {
        case 0: return inputCube0Data_;
        case 1: return inputCube1Data_;
        default: return Value();
    }
}

Value PopAdjColorCube2View::onColorCubeDataViewGetAttr(ColorCubeDataView& view) {
    return tableOf(view);
}

void PopAdjColorCube2View::onColorCubeDataViewValueChanged(ColorCubeDataView& view) {
    const Value table = tableOf(view);
    if (!table.isNull()) reportChange(table);
}

std::vector<std::string> PopAdjColorCube2View::onMenuLabelViewGetArray(MenuLabelView&) {
    return {"Cube 1", "Cube 2"};
}

void PopAdjColorCube2View::onMenuLabelViewLabelTap(MenuLabelView&, long index, UIButton&) {
    dataCursor_ = index;
    updateView();
}
