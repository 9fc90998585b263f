// The table's side index strip: titles from the data source, kept at the right edge of the
// visible area, and the scroll to the section a title leads to.
#include <algorithm>

#include "platform/ui/table/ui_table_view.h"

std::shared_ptr<UITableViewIndex> UITableView::sectionIndexView() {
    if (!sectionIndex_) {
        sectionIndex_ = UITableViewIndex::make();
        sectionIndex_->setHidden(true);
        std::weak_ptr<UITableView> weakTable = self<UITableView>();
        sectionIndex_->onSelect = [weakTable](std::size_t index) {
            if (auto table = weakTable.lock()) table->selectSectionIndexTitle(index);
        };
    }
    return sectionIndex_;
}

void UITableView::placeSectionIndex() {
    auto strip = sectionIndexView();
    if (!sectionIndexLoaded_) {
        sectionIndexLoaded_ = true;
        auto source = dataSource();
        strip->setTitles(source ? source->sectionIndexTitles(*this) : std::vector<std::string>{});
    }
    if (strip->titles().empty()) {
        strip->setHidden(true);
        return;
    }
    CGRect visible = bounds();
    strip->setFrame(CGRectMake(CGRectGetMaxX(visible) - UITableViewIndex::kWidth, visible.origin.y,
                               UITableViewIndex::kWidth, visible.size.height));
    strip->setHidden(false);
    if (strip->superview().get() != this || subviews().back() != strip) addSubview(strip);
}

void UITableView::selectSectionIndexTitle(std::size_t index) {
    auto source = dataSource();
    const auto& titles = sectionIndexView()->titles();
    if (!source || index >= titles.size()) return;
    long section = source->sectionForSectionIndexTitle(*this, titles[index], index);
    if (section < 0 || std::size_t(section) >= numberOfSections()) return;
    CGPoint offset = contentOffset();
    offset.y = std::clamp(rectForSection(std::size_t(section)).origin.y, minimumContentOffset().y,
                          std::max(minimumContentOffset().y, maximumContentOffset().y));
    setContentOffset(offset, false);
    tile();
    placeSectionIndex();
}
