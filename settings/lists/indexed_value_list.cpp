// The sectioned, searchable value lists' search bar, sections and side index.
#include "settings/lists/indexed_value_list.h"

std::shared_ptr<IndexedArray> IndexedValueList::ia() {
    if (!ia_) ia_ = IndexedArray::make();
    return ia_;
}

void IndexedValueList::viewDidLoad() {
    // The bar first: the base's first filtering reads its text.
    attachSearchBar(std::dynamic_pointer_cast<UISearchBar>(view()->viewWithTag(kSearchBarTag)),
                    self<IndexedValueList>());
    ValueListBase::viewDidLoad();
}

std::size_t IndexedValueList::numberOfSectionsInTableView(UITableView&) {
    return std::size_t(ia()->getSectionCount());
}

std::size_t IndexedValueList::numberOfRowsInSection(UITableView&, std::size_t section) {
    return std::size_t(ia()->getRowCount(long(section)));
}

std::optional<std::string> IndexedValueList::titleForHeaderInSection(UITableView&, std::size_t section) {
    if (!showsSectionTitles()) return std::nullopt;
    return ia()->getSectionTitle(long(section));
}

std::vector<std::string> IndexedValueList::sectionIndexTitles(UITableView&) {
    if (!showsSideIndex()) return {};
    return ia()->getIndexTitles().value_or(std::vector<std::string>{});
}
