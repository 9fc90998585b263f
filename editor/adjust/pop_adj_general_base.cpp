#include "editor/adjust/pop_adj_general_base.h"

#include "editor/adjust/adj_record.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"

void PopAdjGeneralBase::init() {
    PopTitleBase::init();
    setBgColor(UIColor::darkGrayColor());
    hideOnTapOutside();
}

void PopAdjGeneralBase::showForRecord(const std::shared_ptr<NSObject>& sender, const Value& record,
                                      Callback completion) {
    if (adjRecordHas(record, "def")) {
        showRight("Reset", false);
    } else {
        hideRight(false);
    }
    PopTitleBase::show(sender, adjRecordTitle(record), [completion = std::move(completion)] {
        if (completion) completion();
    });
}

void PopAdjGeneralBase::reportChange(const Value& record) {
    if (auto d = delegate_.lock()) d->onPopAdjGeneralBaseValueChanged(*this, record);
}

std::shared_ptr<UIView> PopAdjGeneralBase::layOutEditor(CGSize size, std::shared_ptr<UIColor> color) {
    setSize(size);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(std::move(color));
    auto panel = UIView::make();
    b0p()->addSubview(panel);
    addConstraintsFull(panel, b0p(), 0, kTitleBarHeight, 0, 0);
    return panel;
}
