// A section of a form: header and footer, its own look (else the manager's), and its rows in
// display order. It lines value views up after the widest title, which it caches per font until
// its items or a title change. Main-thread only.
#pragma once

#include <cfloat>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/text/ui_font.h"
#include "settings/form/form_ordered_list.h"
#include "settings/form/form_table_view_cell_style.h"
#include "settings/form/form_table_view_item.h"

class FormTableViewManager;

// The header and footer height that asks the manager to work it out.
inline constexpr double FormAutomaticSectionHeight = DBL_MAX;

class FormTableViewSection : public NSObject {
public:
    KORVA_MAKE(FormTableViewSection)
    void init() override;

    static std::shared_ptr<FormTableViewSection> section() { return make(); }
    static std::shared_ptr<FormTableViewSection> sectionWithHeaderTitle(
        std::optional<std::string> header, std::optional<std::string> footer = std::nullopt);
    static std::shared_ptr<FormTableViewSection> sectionWithHeaderView(std::shared_ptr<UIView> header,
                                                                       std::shared_ptr<UIView> footer = nullptr);

    std::optional<std::string> headerTitle, footerTitle;
    double headerHeight = FormAutomaticSectionHeight;
    double footerHeight = FormAutomaticSectionHeight;
    std::shared_ptr<UIView> headerView, footerView;
    std::optional<std::string> indexTitle;
    double cellTitlePadding = 5.0;

    std::shared_ptr<FormTableViewManager> tableViewManager() const { return manager_.lock(); }
    void setTableViewManager(const std::shared_ptr<FormTableViewManager>& m) { manager_ = m; }
    // The section's own style, else the manager's.
    std::shared_ptr<FormTableViewCellStyle> style() const;
    void setStyle(std::shared_ptr<FormTableViewCellStyle> s) { style_ = std::move(s); }

    const std::vector<FormItem>& items() const { return items_.all(); }
    // The position in the manager's sections; none outside a manager.
    std::optional<std::size_t> index() const;
    std::optional<std::size_t> indexOfItem(const FormTableViewItem& item) const;

    // The item list (each sets the back-reference of the items it puts in).
    void addItem(const FormItem& item) {
        changed();
        items_.add(item);
    }
    void addItemsFromArray(const std::vector<FormItem>& xs) {
        changed();
        items_.addFromArray(xs);
    }
    void insertItem(const FormItem& item, std::size_t index) {
        changed();
        items_.insert(item, index);
    }
    void insertItems(const std::vector<FormItem>& xs, const std::set<std::size_t>& at) {
        changed();
        items_.insertAtIndexes(xs, at);
    }
    void removeItem(const FormItem& item) {
        changed();
        items_.remove(item);
    }
    void removeItemInRange(const FormItem& item, NSRange r) {
        changed();
        items_.removeInRange(item, r);
    }
    void removeLastItem() {
        changed();
        items_.removeLast();
    }
    void removeItemAtIndex(std::size_t index) {
        changed();
        items_.removeAtIndex(index);
    }
    void removeAllItems() {
        changed();
        items_.removeAll();
    }
    void removeItemIdenticalTo(const FormItem& item) {
        changed();
        items_.removeIdenticalTo(item);
    }
    void removeItemIdenticalToInRange(const FormItem& item, NSRange r) {
        changed();
        items_.removeIdenticalToInRange(item, r);
    }
    void removeItemsInArray(const std::vector<FormItem>& xs) {
        changed();
        items_.removeInArray(xs);
    }
    void removeItemsInRange(NSRange r) {
        changed();
        items_.removeRange(r);
    }
    void removeItemsAtIndexes(const std::set<std::size_t>& at) {
        changed();
        items_.removeAtIndexes(at);
    }
    void replaceItemAtIndex(std::size_t index, const FormItem& item) {
        changed();
        items_.replaceAtIndex(index, item);
    }
    void replaceItemsWithItemsFromArray(const std::vector<FormItem>& xs) {
        changed();
        items_.replaceWithArray(xs);
    }
    void replaceItemsInRange(NSRange r, const std::vector<FormItem>& xs) {
        changed();
        items_.replaceRange(r, xs);
    }
    void replaceItemsInRange(NSRange r, const std::vector<FormItem>& xs, NSRange from) {
        changed();
        items_.replaceRange(r, xs, from);
    }
    void replaceItemsAtIndexes(const std::set<std::size_t>& at, const std::vector<FormItem>& xs) {
        changed();
        items_.replaceAtIndexes(at, xs);
    }
    void exchangeItemAtIndex(std::size_t a, std::size_t b) {
        changed();
        items_.exchange(a, b);
    }
    void sortItems(const std::function<bool(const FormItem&, const FormItem&)>& less) {
        changed();
        items_.sort(less);
    }

    void reloadSectionWithAnimation(UITableViewRowAnimation animation);

    // The widest title of the rows that line their values up, plus cellTitlePadding.
    double maximumTitleWidthWithFont(const std::shared_ptr<UIFont>& font) const;
    // Forgets the cached widest title (an item's title changed).
    void titlesChanged() const { widths_.clear(); }
    // One error per failing item (its first); none when no item answered a list.
    std::optional<FormErrors> errors() const;

    std::string className() const override { return "FormTableViewSection"; }

protected:
    FormTableViewSection();

private:
    void changed() const { widths_.clear(); }

    std::weak_ptr<FormTableViewManager> manager_;
    std::shared_ptr<FormTableViewCellStyle> style_;
    FormOrderedList<FormItem> items_;
    // The titles a width was measured from, each with the row that showed it: a change of the
    // rows clears the cache, so while it stands the rows are alive and only their titles can move.
    struct MeasuredTitle {
        const FormTableViewItem* item;
        std::optional<std::string> title;
    };
    // Per font, by its name and size (a section meets one or two fonts).
    struct CachedWidth {
        bool hasFont;
        std::string fontName;
        CGFloat pointSize;
        std::vector<MeasuredTitle> titles;
        double width;
    };
    mutable std::vector<CachedWidth> widths_;
};
