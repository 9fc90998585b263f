// The category list: its label row, its strip and the relay between them and the host.
#include "editor/browser/filter_menu_list_view.h"

#include "foundation/global.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {
// The selected label's blue.
std::shared_ptr<UIColor> selectedLabelColor() {
    return UIColor::colorWithRed(89 / 255.0, 169 / 255.0, 233 / 255.0, 1);
}
}  // namespace

void FilterMenuListView::init() {
    UIView::init();
    auto global = Global::shared();
    auto font = global->font();
    auto colors = global->color();
    menu_ = MenuLabelView::make(font ? font->filterMenuNormal() : nullptr, selectedLabelColor(), UIColor::clearColor(),
                                colors ? colors->colorSelected() : UIColor::darkGrayColor());
    auto me = self<FilterMenuListView>();
    menu_->setDelegate(me);
    addSubview(menu_);
    addConstraintsT(menu_, me, 0, 0, 0, kMenuHeight);

    itemList_ = FilterListView::make(std::move(vc_), std::move(attrDelegate_));
    itemList_->setDelegate(me);
    itemList_->setSource(me);
    addSubview(itemList_);
    addConstraintsT(itemList_, me, 0, 0, kMenuHeight, itemList_->itemSize().height + kStripExtraHeight);
}

void FilterMenuListView::updateData() {
    menu_->updateData();
    if (lastMenuIndex_ != -1) return;
    std::weak_ptr<FilterMenuListView> weak = self<FilterMenuListView>();
    menu_->setSelection(0, [weak] {
        auto s = weak.lock();
        if (!s) return;
        s->lastMenuIndex_ = 0;
        s->itemList_->refresh();
    });
}

Value FilterMenuListView::catalogue() {
    auto source = source_.lock();
    return source ? source->onFilterMenuListViewGetArray(*this) : Value();
}

std::vector<std::string> FilterMenuListView::onMenuLabelViewGetArray(MenuLabelView&) {
    std::vector<std::string> labels;
    Value menus = catalogue();
    for (std::size_t i = 0; i < menus.count(); ++i) labels.push_back(menus[i]["label"].stringValue());
    return labels;
}

void FilterMenuListView::onMenuLabelViewLabelTap(MenuLabelView&, long index, UIButton&) {
    lastMenuIndex_ = index;
    itemList_->refresh();
}

Value FilterMenuListView::onFilterListViewGetArray(FilterListView&) {
    Value menus = catalogue();
    if (lastMenuIndex_ < 0 || std::size_t(lastMenuIndex_) >= menus.count()) return {};
    return menus[std::size_t(lastMenuIndex_)]["arr"];
}

void FilterMenuListView::onFilterListViewFilterSelected(FilterListView& list, const std::optional<std::string>& key,
                                                        const std::shared_ptr<FilterPersistElement>& element) {
    if (auto d = delegate_.lock()) d->onFilterListViewFilterSelected(list, key, element);
}

void FilterMenuListView::onFilterListViewHolderShow(FilterListView& list, Completion completion) {
    if (auto d = delegate_.lock()) d->onFilterListViewHolderShow(list, std::move(completion));
}

void FilterMenuListView::onFilterListViewHolderHide(FilterListView& list, Completion completion) {
    if (auto d = delegate_.lock()) d->onFilterListViewHolderHide(list, std::move(completion));
}
