// The sectioned, searchable value lists' search bar, sections and side index.
#include "settings/lists/indexed_value_list.h"

#include "app/base/portrait_controller.h"

template <class Screen>
std::shared_ptr<IndexedArray> IndexedValueList<Screen>::ia() {
    if (!ia_) ia_ = IndexedArray::make();
    return ia_;
}

template <class Screen>
void IndexedValueList<Screen>::viewDidLoad() {
    // The bar first: the base's first filtering reads its text.
    attachSearchBar(std::dynamic_pointer_cast<UISearchBar>(this->view()->viewWithTag(this->kSearchBarTag)),
                    this->template self<IndexedValueList>());
    ValueListBase<Screen>::viewDidLoad();
}

template <class Screen>
std::size_t IndexedValueList<Screen>::numberOfSectionsInTableView(UITableView&) {
    return std::size_t(ia()->getSectionCount());
}

template <class Screen>
std::size_t IndexedValueList<Screen>::numberOfRowsInSection(UITableView&, std::size_t section) {
    return std::size_t(ia()->getRowCount(long(section)));
}

template <class Screen>
std::optional<std::string> IndexedValueList<Screen>::titleForHeaderInSection(UITableView&, std::size_t section) {
    if (!showsSectionTitles()) return std::nullopt;
    return ia()->getSectionTitle(long(section));
}

template <class Screen>
std::vector<std::string> IndexedValueList<Screen>::sectionIndexTitles(UITableView&) {
    if (!showsSideIndex()) return {};
    return ia()->getIndexTitles().value_or(std::vector<std::string>{});
}

template class IndexedValueList<MyViewController>;
template class IndexedValueList<PortraitController>;
