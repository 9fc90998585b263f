// The titled pop-up's body panel and bar.
#include "ui/popup/pop_title_base.h"

#include "foundation/global.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/font.h"
#include "widgets/scroll/scroll_label.h"

namespace {}

void PopTitleBase::init() {
    PopArrowedView::init();
    auto font = Global::shared()->font();
    titleView_ = TitleView::make(font ? font->filterMenuNormal() : nullptr);
    titleView_->setDelegate(std::dynamic_pointer_cast<TitleViewDelegate>(shared_from_this()));
    b0p_ = UIView::make();
    assignRound(*b0p_, kPopupCornerRadius);
    container()->addSubview(b0p_);
    addConstraintsFull(b0p_, container(), kBodyInset, kBodyInset, -kBodyInset, -kBodyInset);
    b0p_->addSubview(titleView_);
    addConstraintsT(titleView_, b0p_, 0, 0, 0, kTitleBarHeight);
}

void PopTitleBase::show(const std::shared_ptr<NSObject>& sender, const std::string& title, Callback completion) {
    titleView_->lblTitle()->setText(title);
    PopArrowedView::show(sender, std::move(completion), nullptr);
}
