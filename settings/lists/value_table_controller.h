// A searchable single-choice list: the strings that hold every word of the search text, sorted
// without regard to letter case and grouped by first letter with a side index. The index given
// to the delegate counts in the filtered, sorted `keys`. Main-thread only.
#pragma once

#include "settings/indexed_array.h"
#include "settings/lists/searchable_list.h"
#include "settings/lists/value_list_base.h"

class ValueTableController;

class ValueTableControllerDelegate {
public:
    virtual ~ValueTableControllerDelegate() = default;
    virtual void onValueTableControllerCanceled(ValueTableController& controller) = 0;
    virtual void onValueTableControllerSelected(ValueTableController& controller, const std::string& string,
                                                long index) = 0;
};

class ValueTableController : public ValueListBase, public SearchableList {
public:
    KORVA_MAKE(ValueTableController)

    std::shared_ptr<ValueTableControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<ValueTableControllerDelegate>& d) { delegate_ = d; }
    std::shared_ptr<IndexedArray> ia();

    void viewDidLoad() override;
    void updateData() override;
    void onCancel() override;

    std::size_t numberOfSectionsInTableView(UITableView&) override;
    std::size_t numberOfRowsInSection(UITableView&, std::size_t section) override;
    std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t section) override;
    std::vector<std::string> sectionIndexTitles(UITableView&) override;
    long sectionForSectionIndexTitle(UITableView&, const std::string&, std::size_t index) override {
        return long(index);
    }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    void didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    void scrollViewWillBeginDragging(UIScrollView&) override { putKeyboardAway(); }
    std::shared_ptr<UIScrollView> searchedList() const override { return tableView(); }
    void emptyStateDidTapView(UIScrollView&, UIView&) override { keyboardBackWhileSearching(); }
    std::string className() const override { return "ValueTableController"; }

protected:
    ValueTableController() = default;
    bool hasSearchBar() const override { return true; }
    bool isSearching() const override { return !searchText().empty(); }

private:
    std::weak_ptr<ValueTableControllerDelegate> delegate_;
    std::shared_ptr<IndexedArray> ia_;
};
