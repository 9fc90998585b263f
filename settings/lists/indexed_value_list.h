// A value list with a search bar above rows that stand in sections by first letter, with a side
// index: the searchable value list and the language list. The subclass fills ia() when it filters
// its rows, and says when the section titles and the side index show. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/indexed_array.h"
#include "settings/lists/searchable_list.h"
#include "settings/lists/value_list_base.h"

template <class Screen = MyViewController>
class IndexedValueList : public ValueListBase<Screen>, public SearchableList {
public:
    std::shared_ptr<IndexedArray> ia();

    void viewDidLoad() override;

    std::size_t numberOfSectionsInTableView(UITableView&) override;
    std::size_t numberOfRowsInSection(UITableView&, std::size_t section) override;
    std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t section) override;
    std::vector<std::string> sectionIndexTitles(UITableView&) override;
    long sectionForSectionIndexTitle(UITableView&, const std::string&, std::size_t index) override {
        return long(index);
    }
    void scrollViewWillBeginDragging(UIScrollView&) override { putKeyboardAway(); }
    std::shared_ptr<UIScrollView> searchedList() const override { return this->tableView(); }
    void emptyStateDidTapView(UIScrollView&, UIView&) override { keyboardBackWhileSearching(); }

protected:
    IndexedValueList() = default;
    bool hasSearchBar() const override { return true; }
    bool isSearching() const override { return !searchText().empty(); }
    virtual bool showsSectionTitles() { return true; }
    virtual bool showsSideIndex() { return true; }

private:
    std::shared_ptr<IndexedArray> ia_;
};
