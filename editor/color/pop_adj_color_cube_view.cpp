#include "editor/color/pop_adj_color_cube_view.h"

#include "editor/adjust/adj_record.h"
#include "editor/adjust/pop_adj_stepper_view.h"
#include "editor/color/cube_tables.h"
#include "editor/color/dimension_button.h"
#include "filter/filter_element.h"
#include "platform/ui/draw/color.h"
#include "widgets/scroll/scroll_label.h"
#include "platform/text/case_mapping.h"
#include "ui/layout/view_custom_constraints.h"
#include "widgets/button/icon_button.h"

void PopAdjColorCubeView::init() {
    PopAdjGeneralBase::init();
    setSize(kSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(1, 1));
    // The bubble is white: the title in white would not be seen on it.
    titleView()->lblTitle()->setTextColor(UIColor::blackColor());
    b0_ = UIView::make();
    b0_->setBackgroundColor(UIColor::darkGrayColor());
    b0p()->addSubview(b0_);
    addConstraintsFull(b0_, b0p(), 0, kTitleBarHeight, 0, 0);
    std::weak_ptr<PopAdjColorCubeView> weak = self<PopAdjColorCubeView>();
    btnDimension_ = makeDimensionButton(nullptr, [weak] {
        if (auto s = weak.lock()) s->onDimension();
    });
    b0_->addSubview(btnDimension_);
    addConstraintsCT(btnDimension_, b0_, 0, kButtonTop, kButtonSize.width, kButtonSize.height);
    dataView_ = ColorCubeDataView::make(vc());
    dataView_->setDelegate(std::dynamic_pointer_cast<ColorCubeDataViewDelegate>(shared_from_this()));
    b0_->addSubview(dataView_);
    addConstraintsFull(dataView_, b0_, 0, kGridTop, 0, 0);
}

const std::shared_ptr<PopAdjStepperView>& PopAdjColorCubeView::popDimension() {
    if (!popDimension_) {
        popDimension_ = PopAdjStepperView::make(vc());
        popDimension_->setDelegate(std::dynamic_pointer_cast<PopAdjGeneralBaseDelegate>(shared_from_this()));
    }
    return popDimension_;
}

void PopAdjColorCubeView::show(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension,
                               const Value& inputCubeData, Callback completion) {
    inputCubeDimension_ = inputCubeDimension;
    inputCubeData_ = inputCubeData;
    updateData();
    if (adjRecordHas(inputCubeDimension_, "def")) {
        showRight("Reset", false);
    } else {
        hideRight(false);
    }
    std::weak_ptr<PopAdjColorCubeView> weak = self<PopAdjColorCubeView>();
    PopTitleBase::show(sender, uppercaseString("Color Cube"), [weak, completion = std::move(completion)] {
        if (auto s = weak.lock()) s->dataView_->updateView();
        if (completion) completion();
    });
}

long PopAdjColorCubeView::calcDimension() const { return cubeDimensionOf(inputCubeDimension_); }

void PopAdjColorCubeView::updateData() {
    dataView_->updateData();
    updateView();
}

void PopAdjColorCubeView::updateView() { dataView_->updateView(); }

void PopAdjColorCubeView::onDimension() {
    popDimension()->show(btnDimension_, inputCubeDimension_, kMinDimension, kMaxDimension, [] {});
}

void PopAdjColorCubeView::onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase&, const Value&) {
    FilterElement::setAttrValueArray(inputCubeData_, randomCubeTable(calcDimension()));
    reportChange(inputCubeDimension_);
    reportChange(inputCubeData_);
    updateData();
}

void PopAdjColorCubeView::onRightButton(IconButton&) {
    FilterElement::setAttrValueFloat(inputCubeDimension_, adjRecordFloat(inputCubeDimension_, "def"));
    const ValueArray* def = inputCubeData_["def"].arrayPtr();
    FilterElement::setAttrValueArray(inputCubeData_, def ? *def : ValueArray{});
    updateData();
    // Both records changed: the host keeps them only as a pair.
    reportChange(inputCubeDimension_);
    reportChange(inputCubeData_);
}

void PopAdjColorCubeView::hide(Callback completion) {
    if (popDimension_) popDimension_->hide(Callback([] {}));
    PopAdjGeneralBase::hide(std::move(completion));
}

void PopAdjColorCubeView::scheduledInternalLayout() {
    PopAdjGeneralBase::scheduledInternalLayout();
    if (popDimension_) popDimension_->scheduledLayout();
    dataView_->scheduledLayout();
}

long PopAdjColorCubeView::onColorCubeDataViewGetDimension(ColorCubeDataView&) { return calcDimension(); }

Value PopAdjColorCubeView::onColorCubeDataViewGetAttr(ColorCubeDataView&) { return inputCubeData_; }

void PopAdjColorCubeView::onColorCubeDataViewValueChanged(ColorCubeDataView&) { reportChange(inputCubeData_); }
