#include "editor/color/pop_adj_cube_base.h"

#include "editor/adjust/adj_record.h"
#include "editor/adjust/pop_adj_stepper_view.h"
#include "editor/color/cube_tables.h"
#include "filter/color_table.h"
#include "filter/filter_element.h"
#include "foundation/global.h"
#include "platform/text/case_mapping.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {
constexpr CGFloat kButtonRadius = 8;
}

void PopAdjCubeBase::buildCubePanel(CGSize size, std::shared_ptr<UIColor> buttonBackground) {
    setSize(size);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(1, 1));
    // The bubble is white: the title in white would not be seen on it.
    titleView()->lblTitle()->setTextColor(UIColor::blackColor());
    b0_ = UIView::make();
    b0_->setBackgroundColor(UIColor::darkGrayColor());
    b0p()->addSubview(b0_);
    addConstraintsFull(b0_, b0p(), 0, kTitleBarHeight, 0, 0);

    btnDimension_ = IconButton::buttonWithType(UIButtonType::System);
    btnDimension_->setType(IconButtonType::Info);
    btnDimension_->setTitle("Dimension", UIControlStateNormal);
    if (auto font = Global::shared()->font()) btnDimension_->titleLabel()->setFont(font->filterMenuNormal());
    btnDimension_->setTintColor(UIColor::whiteColor());
    if (buttonBackground) btnDimension_->setBackgroundColor(std::move(buttonBackground));
    assignRound(*btnDimension_, kButtonRadius);
    std::weak_ptr<PopAdjCubeBase> weak = self<PopAdjCubeBase>();
    btnDimension_->addAction(
        [weak](UIControl&) {
            if (auto s = weak.lock()) s->onDimension();
        },
        UIControlEventTouchUpInside);
    b0_->addSubview(btnDimension_);
    addConstraintsCT(btnDimension_, b0_, 0, kButtonTop, kButtonSize.width, kButtonSize.height);
}

const std::shared_ptr<PopAdjStepperView>& PopAdjCubeBase::popDimension() {
    if (!popDimension_) {
        popDimension_ = PopAdjStepperView::make(vc());
        popDimension_->setDelegate(std::dynamic_pointer_cast<PopAdjGeneralBaseDelegate>(shared_from_this()));
    }
    return popDimension_;
}

void PopAdjCubeBase::showCube(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension,
                              const std::string& title, Callback completion) {
    inputCubeDimension_ = inputCubeDimension;
    updateData();
    if (adjRecordHas(inputCubeDimension_, "def")) {
        showRight("Reset", false);
    } else {
        hideRight(false);
    }
    std::weak_ptr<PopAdjCubeBase> weak = self<PopAdjCubeBase>();
    PopTitleBase::show(sender, uppercaseString(title), [weak, completion = std::move(completion)] {
        if (auto s = weak.lock())
            for (const auto& grid : s->grids()) grid->updateView();
        if (completion) completion();
    });
}

long PopAdjCubeBase::calcDimension() const {
    return cubeDimensionOf(inputCubeDimension_);
}

void PopAdjCubeBase::onDimension() {
    popDimension()->show(btnDimension_, inputCubeDimension_, kMinDimension, kMaxDimension, [] {});
}

void PopAdjCubeBase::onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase&, const Value&) {
    const long n = calcDimension();
    const std::vector<Value> all = tables();
    for (const Value& table : all) FilterElement::setAttrValueArray(table, randomCubeTable(n));
    reportChange(inputCubeDimension_);
    for (const Value& table : all) reportChange(table);
    updateData();
}

void PopAdjCubeBase::onRightButton(IconButton&) {
    FilterElement::setAttrValueFloat(inputCubeDimension_, adjRecordFloat(inputCubeDimension_, "def"));
    const std::vector<Value> all = tables();
    for (const Value& table : all)
        FilterElement::setAttrValueArray(table, colorTableEntries(table["def"]).value_or(ValueArray{}));
    updateData();
    // Every record changed: the host keeps them only together.
    reportChange(inputCubeDimension_);
    for (const Value& table : all) reportChange(table);
}

void PopAdjCubeBase::hide(Callback completion) {
    if (popDimension_) popDimension_->hide(Callback([] {}));
    PopAdjGeneralBase::hide(std::move(completion));
}

void PopAdjCubeBase::scheduledInternalLayout() {
    PopAdjGeneralBase::scheduledInternalLayout();
    if (popDimension_) popDimension_->scheduledLayout();
    for (const auto& grid : grids()) grid->scheduledLayout();
}

long PopAdjCubeBase::onColorCubeDataViewGetDimension(ColorCubeDataView&) {
    return calcDimension();
}
