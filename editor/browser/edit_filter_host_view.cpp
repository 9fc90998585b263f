// The editor's filter panel: its title bar, its list, and the slide in and out.
#include "editor/browser/edit_filter_host_view.h"

#include "foundation/global.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"
#include "widgets/scroll/scroll_label.h"

void EditFilterHostView::init() {
    UIView::init();
    setBackgroundColor(UIColor::colorWithWhite(0, kBackgroundAlpha));
    auto me = self<EditFilterHostView>();
    auto font = Global::shared()->font();
    titleView_ = TitleView::make(font ? font->filterMenuNormal() : nullptr);
    titleView_->lblTitle()->setText(kTitle);
    titleView_->setHoldTitlePosition(true);
    titleView_->setDelegate(me);
    addSubview(titleView_);
    addConstraintsT(titleView_, me, 0, 0, 0, kTitleHeight);

    fv_ = FilterMenuListView::make(std::move(vc_), std::move(attrDelegate_));
    fv_->setDelegate(me);
    fv_->setSource(me);
    addSubview(fv_);
    addConstraintsFull(fv_, me, 0, kTitleHeight, 0, 0);
    fv_->updateData();
}

void EditFilterHostView::show(Callback completion) {
    fv_->updateView();
    setHidden(false);
    CGRect f = frame();
    setFrame({{f.size.width, f.origin.y}, f.size});
    auto me = self<EditFilterHostView>();
    UIViewAnimation::animate(
        kSlideDuration,
        [me, f] {
            me->setFrame({{0, f.origin.y}, f.size});
            me->setAlpha(1);
        },
        [completion = std::move(completion)](bool) {
            if (completion) completion();
        });
}

void EditFilterHostView::hide(Callback completion) {
    fv_->hideAllPopAdj();
    CGRect f = frame();
    std::weak_ptr<EditFilterHostView> weak = self<EditFilterHostView>();
    auto me = self<EditFilterHostView>();
    UIViewAnimation::animate(
        kSlideDuration,
        [me, f] {
            me->setAlpha(0);
            me->setFrame({{f.size.width, f.origin.y}, f.size});
        },
        [weak, completion = std::move(completion)](bool) {
            if (auto s = weak.lock()) s->setHidden(true);
            if (completion) completion();
        });
}

Value EditFilterHostView::onFilterMenuListViewGetArray(FilterMenuListView&) {
    return catalogue_.filterArray();
}

void EditFilterHostView::onFilterListViewFilterSelected(FilterListView&, const std::optional<std::string>&,
                                                        const std::shared_ptr<FilterPersistElement>& element) {
    if (element)
        titleView_->showRight(kResetTitle, true);
    else
        titleView_->hideRight(true);
    if (auto d = delegate_.lock()) d->onEditFilterHostViewFilterSelected(*this, element);
}
