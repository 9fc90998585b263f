// The camera filter pop-up: its body, the remembered key and the relay of the strip's events.
#include "editor/browser/pop_filter_main_view.h"

#include <algorithm>

#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"

void PopFilterMainView::init() {
    PopTitleBase::init();
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, kDimAlpha));

    auto me = self<PopFilterMainView>();
    fv_ = FilterMenuListView::make(vc(), attrDelegate_.lock());
    fv_->setDelegate(me);
    fv_->setSource(me);
    b0_ = UIView::make();
    b0p()->addSubview(b0_);
    addConstraintsFull(b0_, b0p(), 0, kTitleBarHeight, 0, 0);
    b0_->addSubview(fv_);
    addConstraintsFull(fv_, b0_, 0, 0, 0, 0);

    CGSize screen = vc() ? vc()->view()->frame().size : CGSize{};
    CGFloat width = std::min(std::min(screen.width, screen.height) - kSideMargin, screen.width - 2 * kScreenEdge);
    setSize({width, fv_->itemList()->itemSize().height + kExtraHeight});
    hideOnTapOutside();
    titleView()->setHoldTitlePosition(true);
    fv_->updateData();
}

void PopFilterMainView::show(const std::shared_ptr<UIView>& anchor, Callback completion) {
    fv_->updateView();
    std::weak_ptr<PopFilterMainView> weak = self<PopFilterMainView>();
    PopTitleBase::show(anchor, std::string(kTitle), [weak, completion = std::move(completion)] {
        auto s = weak.lock();
        if (!s) return;
        s->fv_->itemList()->startUpdateTimer();
        if (completion) completion();
        if (auto d = s->delegate_.lock()) d->onPopFilterMainViewDidShow(*s);
    });
}

void PopFilterMainView::hide(Callback completion) {
    fv_->hideAllPopAdj();
    fv_->itemList()->stopUpdateTimer();
    PopTitleBase::hide(Callback([completion = std::move(completion)] {
        if (completion) completion();
    }));
}

// ---- the store ----

const std::shared_ptr<LastInfo>& PopFilterMainView::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withLibraryPath(kStoreName));
    return lastInfo_;
}

std::optional<std::string> PopFilterMainView::lastKey() {
    Value v = lastInfo()->get(kLastKey);
    if (!v.isString() || v.string()->empty()) return std::nullopt;
    return *v.string();
}

void PopFilterMainView::setLastKey(const std::optional<std::string>& key) {
    if (key)
        lastInfo()->set(Value(*key), kLastKey);
    else
        lastInfo()->removeObjectForKey(kLastKey);
    save();
}

void PopFilterMainView::save() {
    lastInfo()->save();
}

// ---- the list's source and events ----

Value PopFilterMainView::onFilterMenuListViewGetArray(FilterMenuListView&) {
    return catalogue_.filterArray();
}

void PopFilterMainView::onFilterListViewFilterSelected(FilterListView&, const std::optional<std::string>& key,
                                                       const std::shared_ptr<FilterPersistElement>& element) {
    setLastKey(key);
    if (element)
        showRight(kResetTitle, true);
    else
        hideRight(true);
    if (auto d = delegate_.lock()) d->onPopFilterMainViewFilterSelected(*this, element);
}

void PopFilterMainView::onRightButton(IconButton&) {
    fv_->reset();
}

void PopFilterMainView::onFilterListViewHolderHide(FilterListView&, Completion completion) {
    hide(std::move(completion));
}

void PopFilterMainView::onFilterListViewHolderShow(FilterListView&, Completion completion) {
    show(last(), std::move(completion));
}

void PopFilterMainView::scheduledInternalLayout() {
    PopTitleBase::scheduledInternalLayout();
    fv_->scheduledLayout();
}
