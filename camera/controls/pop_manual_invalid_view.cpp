// The "NOT SUPPORTED" pop-up.
#include "camera/controls/pop_manual_invalid_view.h"

#include "foundation/global.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layer/ca_layer.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"

namespace {
// The notice sits on an opaque plate where a control's ruler would be, so that the menu's title
// under the pop-up does not show through it.
constexpr CGFloat kPlateInset = 5, kPlateTop = 45, kPlateHeight = 45, kPlateRadius = 10;
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
    label_->setBackgroundColor(UIColor::blackColor());
    label_->layer()->setCornerRadius(kPlateRadius);
    label_->layer()->setMasksToBounds(true);
    b0p()->addSubview(label_);
    addConstraintsT(label_, b0p(), kPlateInset, -kPlateInset, kPlateTop, kPlateHeight);
}

void PopManualInvalidView::updateView() {
    PopManualBase::updateView();
    setSize(kSize);
}

void PopManualInvalidView::show(const std::shared_ptr<NSObject>& sender, const std::string& title,
                                Callback completion) {
    updateView();
    PopTitleBase::show(sender, title, std::move(completion));
}

void PopManualInvalidView::hide(Callback completion) {
    hideThenReport(std::move(completion));
}
