// The tile and its parameter pop-up: opening and closing it, and the relay of its events to the
// preset's element and the host.
#include "editor/adjust/pop_adj_h_view.h"
#include "editor/browser/filter_item_view.h"
#include "filter/filter_persist_element.h"
#include "platform/ui/control/ui_image_view.h"

void FilterItemView::showAdj(const std::shared_ptr<UIView>& anchor) {
    if (!elem_) return;
    // A lone editable item opens its editor on the badge at once.
    if (popAdj_->act1(elem_->attrs(), settings_)) return;
    popAdj_->show(anchor, elem_->attrs(), [] {});
}

void FilterItemView::hideAdj() {
    popAdj_->hide(PopView::Callback([] {}));
}

void FilterItemView::scheduledLayout() {
    if (!popAdj_->hidden()) popAdj_->scheduledLayout();
}

void FilterItemView::onPopAdjViewPreprocess(PopAdjView&, const std::string& filterName, const std::string& key,
                                            const Value& record) {
    if (auto host = attrDelegate()) host->onFilterAttrBeforeInitialize(filterName, key, record);
}

void FilterItemView::onPopAdjViewValueInitialize(PopAdjView&, const Value& record) {
    if (elem_) elem_->load(record);
}

void FilterItemView::onPopAdjViewValueChanged(PopAdjView&, const Value& record) {
    if (!elem_) return;
    elem_->save(record);
    elem_->resetInstanceData();
    if (auto host = attrDelegate()) host->onFilterAttrChanged(elem_);
}

void FilterItemView::onPopAdjViewFullScreenRequested(PopAdjView&) {
    std::weak_ptr<FilterItemView> weak = self<FilterItemView>();
    auto hideHolder = [weak] {
        auto s = weak.lock();
        if (!s) return;
        if (auto d = s->delegate_.lock()) d->onFilterItemViewHolderHide(*s, [] {});
    };
    if (popAdj_->hidden())
        hideHolder();
    else
        popAdj_->hide(PopView::Callback(hideHolder));
}

void FilterItemView::onPopAdjViewFullScreenFinished(PopAdjView&) {
    std::weak_ptr<FilterItemView> weak = self<FilterItemView>();
    if (auto d = delegate_.lock())
        d->onFilterItemViewHolderShow(*this, [weak] {
            if (auto s = weak.lock()) s->drawRefiltered();
        });
}

std::shared_ptr<CIImage> FilterItemView::onPopAdjViewGetImage(PopAdjView&) {
    auto host = attrDelegate();
    return host ? host->onFilterSourceGetImage() : nullptr;
}
