#include "editor/color/pop_adj_color_cube2_view.h"

#include "editor/adjust/adj_record.h"
#include "editor/adjust/pop_adj_stepper_view.h"
#include "editor/color/cube_tables.h"
#include "editor/color/dimension_button.h"
#include "filter/filter_element.h"
#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/text/case_mapping.h"
#include "platform/ui/draw/color.h"
#include "widgets/scroll/scroll_label.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"

namespace {
constexpr CGFloat kTablesWhite = 0.7;
}

void PopAdjColorCube2View::init() {
    PopAdjGeneralBase::init();
    setSize(kSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(1, 1));
    // The bubble is white: the title in white would not be seen on it.
    titleView()->lblTitle()->setTextColor(UIColor::blackColor());
    auto palette = Global::shared()->color();
    auto selected = palette ? palette->colorSelected() : nullptr;
    b0_ = UIView::make();
    b0_->setBackgroundColor(UIColor::darkGrayColor());
    b0p()->addSubview(b0_);
    addConstraintsFull(b0_, b0p(), 0, kTitleBarHeight, 0, 0);
    std::weak_ptr<PopAdjColorCube2View> weak = self<PopAdjColorCube2View>();
    btnDimension_ = makeDimensionButton(selected, [weak] {
        if (auto s = weak.lock()) s->onDimension();
    });
    b0_->addSubview(btnDimension_);
    addConstraintsCT(btnDimension_, b0_, 0, kButtonTop, kButtonSize.width, kButtonSize.height);
    b1_ = UIView::make();
    b1_->setBackgroundColor(UIColor::colorWithWhite(kTablesWhite, 1));
    b0_->addSubview(b1_);
    addConstraintsFull(b1_, b0_, 0, kTablesTop, 0, 0);
    auto font = Global::shared()->font();
    menu_ = MenuLabelView::make(font ? font->filterMenuNormal() : nullptr,
                                UIColor::colorWithRed(89 / 255.0, 169 / 255.0, 233 / 255.0, 1), UIColor::clearColor(),
                                selected);
    menu_->setDelegate(std::dynamic_pointer_cast<MenuLabelViewDelegate>(shared_from_this()));
    menu_->setDontShowGradient(true);
    b1_->addSubview(menu_);
    addConstraintsCT(menu_, b1_, 0, kMenuTop, kButtonSize.width, kMenuHeight);
    auto me = std::dynamic_pointer_cast<ColorCubeDataViewDelegate>(shared_from_this());
    dataView0_ = ColorCubeDataView::make(vc());
    dataView0_->setTag(0);
    dataView0_->setDelegate(me);
    dataView1_ = ColorCubeDataView::make(vc());
    dataView1_->setTag(1);
    dataView1_->setDelegate(me);
    for (const auto& grid : {dataView0_, dataView1_}) {
        b1_->addSubview(grid);
        addConstraintsFull(grid, b1_, 0, kGridTop, 0, 0);
    }
}

const std::shared_ptr<PopAdjStepperView>& PopAdjColorCube2View::popDimension() {
    if (!popDimension_) {
        popDimension_ = PopAdjStepperView::make(vc());
        popDimension_->setDelegate(std::dynamic_pointer_cast<PopAdjGeneralBaseDelegate>(shared_from_this()));
    }
    return popDimension_;
}

void PopAdjColorCube2View::show(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension,
                                const Value& inputCube0Data, const Value& inputCube1Data, Callback completion) {
    inputCubeDimension_ = inputCubeDimension;
    inputCube0Data_ = inputCube0Data;
    inputCube1Data_ = inputCube1Data;
    updateData();
    if (adjRecordHas(inputCubeDimension_, "def")) {
        showRight("Reset", false);
    } else {
        hideRight(false);
    }
    std::weak_ptr<PopAdjColorCube2View> weak = self<PopAdjColorCube2View>();
    PopTitleBase::show(sender, uppercaseString("Color Cubes"), [weak, completion = std::move(completion)] {
        if (auto s = weak.lock()) {
            s->dataView0_->updateView();
            s->dataView1_->updateView();
        }
        if (completion) completion();
    });
}

long PopAdjColorCube2View::calcDimension() const { return cubeDimensionOf(inputCubeDimension_); }

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

void PopAdjColorCube2View::onDimension() {
    popDimension()->show(btnDimension_, inputCubeDimension_, kMinDimension, kMaxDimension, [] {});
}

void PopAdjColorCube2View::onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase&, const Value&) {
    const long n = calcDimension();
    FilterElement::setAttrValueArray(inputCube0Data_, randomCubeTable(n));
    FilterElement::setAttrValueArray(inputCube1Data_, randomCubeTable(n));
    reportChange(inputCubeDimension_);
    reportChange(inputCube0Data_);
    reportChange(inputCube1Data_);
    updateData();
}

void PopAdjColorCube2View::onRightButton(IconButton&) {
    FilterElement::setAttrValueFloat(inputCubeDimension_, adjRecordFloat(inputCubeDimension_, "def"));
    for (const Value& table : {inputCube0Data_, inputCube1Data_}) {
        const ValueArray* def = table["def"].arrayPtr();
        FilterElement::setAttrValueArray(table, def ? *def : ValueArray{});
    }
    updateData();
    // All three records changed: the host keeps them only together.
    reportChange(inputCubeDimension_);
    reportChange(inputCube0Data_);
    reportChange(inputCube1Data_);
}

void PopAdjColorCube2View::hide(Callback completion) {
    if (popDimension_) popDimension_->hide(Callback([] {}));
    PopAdjGeneralBase::hide(std::move(completion));
}

void PopAdjColorCube2View::scheduledInternalLayout() {
    PopAdjGeneralBase::scheduledInternalLayout();
    if (popDimension_) popDimension_->scheduledLayout();
    dataView0_->scheduledLayout();
    dataView1_->scheduledLayout();
}

Value PopAdjColorCube2View::tableOf(const ColorCubeDataView& view) const {
    switch (view.tag()) {
        case 0: return inputCube0Data_;
        case 1: return inputCube1Data_;
        default: return Value();
    }
}

long PopAdjColorCube2View::onColorCubeDataViewGetDimension(ColorCubeDataView&) { return calcDimension(); }

Value PopAdjColorCube2View::onColorCubeDataViewGetAttr(ColorCubeDataView& view) { return tableOf(view); }

void PopAdjColorCube2View::onColorCubeDataViewValueChanged(ColorCubeDataView& view) {
    const Value table = tableOf(view);
    if (!table.isNull()) reportChange(table);
}

std::vector<std::string> PopAdjColorCube2View::onMenuLabelViewGetArray(MenuLabelView&) { return {"Cube 1", "Cube 2"}; }

void PopAdjColorCube2View::onMenuLabelViewLabelTap(MenuLabelView&, long index, UIButton&) {
    dataCursor_ = index;
    updateView();
}
