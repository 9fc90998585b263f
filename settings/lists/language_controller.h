// A searchable list for picking one language code: the user's recent choices on top (the "-"
// section), then every offered language sorted by name in sections by first letter with a side
// index once the list is long. A choice goes to the delegate and to the recents; closing the
// screen is the delegate's business. Made from the storyboard's scene of this class.
// Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/base/portrait_controller.h"
#include "platform/runtime/value.h"
#include "platform/ui/table/ui_table_view.h"
#include "settings/empty/empty_state_source.h"
#include "settings/indexed_array.h"
#include "settings/lists/searchable_list.h"

class LanguageCode;
class LanguageController;
class UIBarButtonItem;

class LanguageControllerDelegate {
public:
    virtual ~LanguageControllerDelegate() = default;
    virtual void onLanguageControllerSelected(LanguageController& controller, const std::string& code) = 0;
    virtual void onLanguageControllerCanceled(LanguageController& controller) = 0;
};

class LanguageController : public PortraitController,
                           public UITableViewDataSource,
                           public UITableViewDelegate,
                           public SearchableList,
                           public EmptyStateSource,
                           public EmptyStateDelegate {
public:
    KORVA_MAKE(LanguageController)
    static constexpr long kTableTag = 1;
    static constexpr long kSearchBarTag = 2;
    static constexpr CGFloat kSearchBarHeight = 44;
    static constexpr const char* kCellIdentifier = "Cell";
    // Header titles need this many rows (and two sections); the side index needs this many rows.
    static constexpr std::size_t kMinRowsForIndex = 20;

    bool nameAsPrimary() const { return nameAsPrimary_; }
    void setNameAsPrimary(bool v) { nameAsPrimary_ = v; }
    bool noCancel() const { return noCancel_; }
    void setNoCancel(bool v) { noCancel_ = v; }
    std::shared_ptr<LanguageControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<LanguageControllerDelegate>& d) { delegate_ = d; }
    const std::optional<std::vector<std::string>>& limitedCodes() const { return limitedCodes_; }
    void setLimitedCodes(std::optional<std::vector<std::string>> codes) { limitedCodes_ = std::move(codes); }
    const std::optional<std::string>& selectedCode() const { return selectedCode_; }
    void setSelectedCode(std::optional<std::string> code) { selectedCode_ = std::move(code); }
    const std::string& titleText() const { return titleText_; }
    void setTitleText(std::string text) { titleText_ = std::move(text); }
    std::size_t localizeCount() const { return localizeCount_; }
    void setLocalizeCount(std::size_t count) { localizeCount_ = count; }
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }
    std::shared_ptr<UITableView> tableView() const { return tableView_.lock(); }

    std::shared_ptr<IndexedArray> ia();
    std::shared_ptr<UIBarButtonItem> bbCancel();
    // Rows: {"code", "label"[, "detail"]}.
    const Value& arrLocalized0();
    const Value& arrBase();
    const Value& arr() const { return arr_; }

    void updateData() override;
    void updateView() override;
    void updateNav();
    void onCancel();

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

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

    std::shared_ptr<NSAttributedString> descriptionForEmptyState(UIScrollView&) override;
    bool emptyStateShouldDisplay(UIScrollView&) override { return true; }
    bool emptyStateShouldAllowTouch(UIScrollView&) override { return true; }
    bool emptyStateShouldAllowScroll(UIScrollView&) override { return true; }
    void emptyStateDidTapView(UIScrollView&, UIView&) override { keyboardBackWhileSearching(); }
    std::string className() const override { return "LanguageController"; }

protected:
    LanguageController() = default;

private:
    std::shared_ptr<LanguageCode> languages() const;
    bool matches(const Value& row, const std::vector<std::string>& words);

    bool nameAsPrimary_ = false;
    bool noCancel_ = false;
    std::weak_ptr<LanguageControllerDelegate> delegate_;
    std::optional<std::vector<std::string>> limitedCodes_;
    std::optional<std::string> selectedCode_;
    std::string titleText_;
    std::size_t localizeCount_ = 0;
    std::string identifier_;
    std::weak_ptr<UITableView> tableView_;
    std::shared_ptr<IndexedArray> ia_;
    std::shared_ptr<UIBarButtonItem> bbCancel_;
    std::optional<Value> arrLocalized0_;
    std::optional<Value> arrBase_;
    Value arr_ = Value::array();
};
