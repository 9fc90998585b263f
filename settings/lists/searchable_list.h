// What a searchable list does with its search bar: each change of the text filters the rows
// again and shows the result from its top, the search button and a drag of the list put the keyboard away (so does the
// bar's own cancel button, which keeps the text), and a tap on the empty-list placeholder brings the keyboard back
// while there is search text. Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/input/ui_search_bar.h"

class SearchableList : public UISearchBarDelegate {
public:
    std::shared_ptr<UISearchBar> searchBar() const { return searchBar_.lock(); }
    // Empty without a search bar.
    std::string searchText() const;
    // Filters the rows by the search text and shows them.
    virtual void updateData() = 0;

    // The list the search filters.
    virtual std::shared_ptr<UIScrollView> searchedList() const = 0;

    void textDidChange(UISearchBar&, const std::string&) override;
    void searchBarSearchButtonClicked(UISearchBar& bar) override;
    void searchBarCancelButtonClicked(UISearchBar& bar) override { bar.resignFirstResponder(); }

protected:
    // Takes the bar and becomes its delegate.
    void attachSearchBar(const std::shared_ptr<UISearchBar>& bar, const std::shared_ptr<SearchableList>& self);
    void putKeyboardAway();
    void keyboardBackWhileSearching();

private:
    std::weak_ptr<UISearchBar> searchBar_;
};
