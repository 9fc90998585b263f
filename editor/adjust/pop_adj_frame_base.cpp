#include "editor/adjust/pop_adj_frame_base.h"

#include "foundation/global.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/font.h"
#include "widgets/scroll/scroll_label.h"

namespace {}

void PopAdjFrameBase::init() {
    PopSenderView::init();
    b0p_ = UIView::make();
    assignRound(*b0p_, kPopupCornerRadius);
    b0p_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    auto font = Global::shared()->font();
    titleView_ = TitleView::make(font ? font->filterMenuNormal() : nullptr);
    titleView_->setDelegate(std::dynamic_pointer_cast<TitleViewDelegate>(shared_from_this()));
    container()->addSubview(b0p_);
    addConstraintsFull(b0p_, container(), kPanelInset, kPanelInset, -kPanelInset, -kPanelInset);
    b0p_->addSubview(titleView_);
    addConstraintsT(titleView_, b0p_, 0, 0, 0, kTitleBarHeight);
    hideOnTapOutside();
}

void PopAdjFrameBase::show(const std::shared_ptr<NSObject>& sender, const std::string& title, Callback completion) {
    titleView_->lblTitle()->setText(title);
    track(sender);
    recalcLayout();
    const CGRect s = calcSenderRect();
    const CGRect c = crt();
    // The panel grows out of the sender.
    setShowAnimDXDY({CGRectGetMidX(c) - CGRectGetMidX(s), CGRectGetMidY(c) - CGRectGetMidY(s)});
    PopView::show(c, std::move(completion), [] {});
}

void PopAdjFrameBase::showRight(const std::string& title, bool animated) {
    titleView_->showRight(title, animated);
}

void PopAdjFrameBase::hideRight(bool animated) {
    titleView_->hideRight(animated);
}
