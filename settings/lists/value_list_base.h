// What the value lists and the language list share: the scene (a table under tag 1, and for a
// searchable list a search bar under tag 2 above it), the title, the Cancel button shown when
// presented modally, and the placeholder over an empty list; for the lists of plain strings also
// the strings, the current value and the check-marked cell. It sits on the screen base the list
// derives from: the plain screen base for the value lists, the portrait one for the language list
// (both made in value_list_base.cpp). Main-thread only.
#pragma once

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "app/base/my_view_controller.h"
#include "platform/ui/table/ui_table_view.h"
#include "settings/empty/empty_state_source.h"

class UIBarButtonItem;

template <class Screen = MyViewController>
class ValueListBase : public Screen,
                      public UITableViewDataSource,
                      public UITableViewDelegate,
                      public EmptyStateSource,
                      public EmptyStateDelegate {
    static_assert(std::is_base_of_v<MyViewController, Screen>);

public:
    static constexpr long kTableTag = 1;
    static constexpr long kSearchBarTag = 2;
    static constexpr CGFloat kSearchBarHeight = 44;
    static constexpr const char* kCellIdentifier = "Cell";

    const std::vector<std::string>& arr() const { return arr_; }
    void setArr(std::vector<std::string> arr) { arr_ = std::move(arr); }
    const std::string& def() const { return def_; }
    void setDef(std::string def) { def_ = std::move(def); }
    const std::string& textTitle() const { return textTitle_; }
    void setTextTitle(std::string title) { textTitle_ = std::move(title); }
    const std::vector<std::string>& keys() const { return keys_; }
    std::shared_ptr<UITableView> tableView() const { return tableView_.lock(); }
    std::shared_ptr<UIBarButtonItem> bbCancel();

    virtual void updateData() { updateView(); }
    void updateView() override;
    void updateNav();
    virtual void onCancel() = 0;

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

    // The cell for one string: the normal text font and a check mark at the current value.
    std::shared_ptr<UITableViewCell> cellForString(UITableView& table, NSIndexPath path, const std::string& text);

    std::shared_ptr<NSAttributedString> descriptionForEmptyState(UIScrollView&) override;
    bool emptyStateShouldDisplay(UIScrollView&) override { return true; }
    bool emptyStateShouldAllowTouch(UIScrollView&) override { return true; }
    bool emptyStateShouldAllowScroll(UIScrollView&) override { return true; }

protected:
    ValueListBase() = default;
    // Whether the scene has a search bar, and whether a search is under way.
    virtual bool hasSearchBar() const { return false; }
    virtual bool isSearching() const { return false; }
    // The style of the table's cells.
    virtual UITableViewCellStyle cellStyle() const { return UITableViewCellStyle::Default; }
    // Whether a modally presented list offers Cancel.
    virtual bool offersCancel() const { return true; }
    std::vector<std::string> keys_;

private:
    std::vector<std::string> arr_;
    std::string def_;
    std::string textTitle_;
    std::weak_ptr<UITableView> tableView_;
    std::shared_ptr<UIBarButtonItem> bbCancel_;
};
