// The "NOT SUPPORTED" pop-up.
#include "camera/controls/pop_manual_invalid_view.h"

#include "foundation/global.h"
#include "platform/ui/control/ui_label.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"

namespace {
constexpr CGFloat kLabelTop = 55;
}  // namespace

void PopManualInvalidView::init() {
    PopManualBase::init();
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, 0.8));
    label_ = UILabel::make();
    label_->setText(std::string("NOT SUPPORTED"));
    label_->setTextAlignment(NSTextAlignment::Center);
    label_->setFont(Global::shared()->font()->iconFixedSmall1());
    label_->setTextColor(UIColor::redColor());
    b0p()->addSubview(label_);
    addConstraintsFull(label_, b0p(), 0, kLabelTop, 0, 0);
}

void PopManualInvalidView::updateView() {
    PopManualBase::updateView();
    setSize(kSize);
}

void PopManualInvalidView::show(const std::shared_ptr<NSObject>& sender, const std::string& title, Callback completion) {
    updateView();
    PopTitleBase::show(sender, title, std::move(completion));
}

void PopManualInvalidView::hide(Callback completion) {
    hideThenReport(std::move(completion));
}
