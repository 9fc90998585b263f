// The filter strip's selection and what taps and holds on its tiles do.
#include <algorithm>

#include "editor/browser/filter_list_view.h"
#include "filter/filter_persist_element.h"
#include "platform/ui/animation/ui_view_animation.h"

void FilterListView::updateSelection() {
    for (const auto& tile : loadedItems_) {
        if (tile->tag() == lastSelected_)
            tile->setSelected();
        else
            tile->setUnselected();
    }
}

void FilterListView::scrollToSelection(bool animated, std::function<void()> completion) {
    if (lastSelected_ < 0 || std::size_t(lastSelected_) >= std::min(keys_.size(), loadedItems_.size())) {
        if (completion) completion();
        return;
    }
    const auto& tile = loadedItems_[std::size_t(lastSelected_)];
    CGFloat width = scroll()->bounds().size.width;
    CGFloat target = tile->frame().origin.x - (width / 2 - tile->frame().size.width / 2);
    target = std::clamp<CGFloat>(target, 0, std::max<CGFloat>(scroll()->contentSize().width - width, 0));
    if (!animated) {
        scroll()->setContentOffset({target, 0});
        if (completion) completion();
        return;
    }
    auto scroller = scroll();
    UIViewAnimation::animate(
        kScrollDuration,
        [scroller, target] {
            scroller->setContentOffset({target, 0});
        },
        [completion = std::move(completion)](bool) {
            if (completion) completion();
        });
}

void FilterListView::updateSelectionAndScroll(bool animated, std::function<void()> completion) {
    updateSelection();
    scrollToSelection(animated, std::move(completion));
}

void FilterListView::resetSelection() {
    lastSelected_ = -1;
    updateSelectionAndScroll(false, nullptr);
    sendSelection(std::nullopt, nullptr);
}

void FilterListView::sendSelection(const std::optional<std::string>& key,
                                   const std::shared_ptr<FilterPersistElement>& element) {
    if (auto d = delegate_.lock()) d->onFilterListViewFilterSelected(*this, key, element);
}

// ---- tile events ----

void FilterListView::onFilterItemViewDidTap(FilterItemView& item) {
    long index = item.tag();
    if (index < 0 || std::size_t(index) >= keys_.size()) return;
    if (index != lastSelected_) {
        lastSelected_ = index;
        updateSelectionAndScroll(true, nullptr);
        sendSelection(keys_[std::size_t(index)], elementAt(index));
        return;
    }
    auto element = item.element();
    if (!element || element->attrs().count() == 0) return;
    item.showAdj(std::static_pointer_cast<UIView>(item.shared_from_this()));
}

void FilterListView::onFilterItemViewDidLongTapDown(FilterItemView& item) {
    lastSelected_ = item.tag();
    updateSelection();
    // The host shows its picture without a filter while the finger is down.
    sendSelection(std::nullopt, nullptr);
}

void FilterListView::onFilterItemViewDidLongTapUp(FilterItemView&) {
    scrollToSelection(true, nullptr);
    auto element = elementAt(lastSelected_);
    if (element) sendSelection(keys_[std::size_t(lastSelected_)], element);
}

void FilterListView::onFilterItemViewHolderShow(FilterItemView&, Completion completion) {
    if (auto d = delegate_.lock()) d->onFilterListViewHolderShow(*this, std::move(completion));
}

void FilterListView::onFilterItemViewHolderHide(FilterItemView&, Completion completion) {
    if (auto d = delegate_.lock()) d->onFilterListViewHolderHide(*this, std::move(completion));
}
