// The searchable lists' search bar behaviour.
#include "settings/lists/searchable_list.h"

std::string SearchableList::searchText() const {
    auto bar = searchBar();
    return bar ? bar->text() : std::string();
}

void SearchableList::textDidChange(UISearchBar&, const std::string&) {
    updateData();
    // A shorter result would otherwise be scrolled out of sight.
    if (auto list = searchedList()) list->setContentOffset(list->minimumContentOffset());
}

void SearchableList::searchBarSearchButtonClicked(UISearchBar& bar) {
    bar.resignFirstResponder();
    updateData();
}

void SearchableList::attachSearchBar(const std::shared_ptr<UISearchBar>& bar,
                                     const std::shared_ptr<SearchableList>& self) {
    searchBar_ = bar;
    if (bar) bar->setDelegate(self);
}

void SearchableList::putKeyboardAway() {
    if (auto bar = searchBar()) bar->resignFirstResponder();
}

void SearchableList::keyboardBackWhileSearching() {
    if (auto bar = searchBar(); bar && !bar->text().empty()) bar->becomeFirstResponder();
}
