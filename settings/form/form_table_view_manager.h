// The form manager: makes itself a table's data source and delegate and answers every question
// from its sections of items, showing each item in the cell class registered for the item's class.
// What it does not decide itself goes on to an outer delegate. The table holds it weakly: its
// owner keeps it. Main-thread only.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/storage/bundle.h"
#include "settings/form/form_cell_class.h"
#include "settings/form/form_ordered_list.h"
#include "settings/form/form_table_view_cell_style.h"
#include "settings/form/form_table_view_manager_delegate.h"
#include "settings/form/form_table_view_section.h"

class FormTableViewManager : public NSObject, public UITableViewDataSource, public FormTableViewManagerDelegate {
public:
    KORVA_MAKE(FormTableViewManager)
    void init() override;
    ~FormTableViewManager() override;

    std::shared_ptr<UITableView> tableView() const { return table_.lock(); }
    std::shared_ptr<FormTableViewManagerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<FormTableViewManagerDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<FormTableViewCellStyle>& style() const { return style_; }
    void setStyle(std::shared_ptr<FormTableViewCellStyle> s) { style_ = std::move(s); }
    const std::vector<std::shared_ptr<FormTableViewSection>>& sections() const { return sections_.all(); }
    // Item class name -> cell class name.
    const std::map<std::string, std::string>& registeredClasses() const { return registered_; }
    // Cell class name -> item class name, for cells that come from an interface file.
    const std::map<std::string, std::string>& registeredXIBs() const { return xibs_; }
    // 44 for a grouped table, else 22.
    double defaultTableViewSectionHeight() const;
    // Every failing item's first error, in display order; none when no section gave a list.
    std::optional<FormErrors> errors() const;

    // Registry. With an interface file named after the cell in the bundle (main when null), the
    // table also gets a factory for an unloaded cell under the item class name.
    void registerClass(const std::string& itemClass, const std::string& cellClass,
                       const std::shared_ptr<NSBundle>& bundle = nullptr);
    void registerDefaultClasses();
    // The cell class registered for an item class; none when missing.
    const FormCellClass* cellClassForItemClass(const std::string& itemClass) const;
    const FormCellClass* classForCellAtIndexPath(NSIndexPath path) const;
    const FormCellClass* classForItem(const FormItem& item) const;
    // The item at a path; none past the end.
    std::optional<FormItem> itemAtIndexPath(NSIndexPath path) const;

    // The section list (each sets the back-reference of the sections it puts in).
    void addSection(const std::shared_ptr<FormTableViewSection>& s) { sections_.add(s); }
    void addSectionsFromArray(const std::vector<std::shared_ptr<FormTableViewSection>>& xs) {
        sections_.addFromArray(xs);
    }
    void insertSection(const std::shared_ptr<FormTableViewSection>& s, std::size_t i) { sections_.insert(s, i); }
    void insertSections(const std::vector<std::shared_ptr<FormTableViewSection>>& xs, const std::set<std::size_t>& at) {
        sections_.insertAtIndexes(xs, at);
    }
    void removeSection(const std::shared_ptr<FormTableViewSection>& s) { sections_.remove(s); }
    void removeAllSections() { sections_.removeAll(); }
    void removeSectionIdenticalTo(const std::shared_ptr<FormTableViewSection>& s) { sections_.removeIdenticalTo(s); }
    void removeSectionIdenticalToInRange(const std::shared_ptr<FormTableViewSection>& s, NSRange r) {
        sections_.removeIdenticalToInRange(s, r);
    }
    void removeSectionInRange(const std::shared_ptr<FormTableViewSection>& s, NSRange r) {
        sections_.removeInRange(s, r);
    }
    void removeSectionsInArray(const std::vector<std::shared_ptr<FormTableViewSection>>& xs) {
        sections_.removeInArray(xs);
    }
    void removeSectionsInRange(NSRange r) { sections_.removeRange(r); }
    void removeLastSection() { sections_.removeLast(); }
    void removeSectionAtIndex(std::size_t i) { sections_.removeAtIndex(i); }
    void removeSectionsAtIndexes(const std::set<std::size_t>& at) { sections_.removeAtIndexes(at); }
    void replaceSectionAtIndex(std::size_t i, const std::shared_ptr<FormTableViewSection>& s) {
        sections_.replaceAtIndex(i, s);
    }
    void replaceSectionsWithSectionsFromArray(const std::vector<std::shared_ptr<FormTableViewSection>>& xs) {
        sections_.replaceWithArray(xs);
    }
    void replaceSectionsAtIndexes(const std::set<std::size_t>& at,
                                  const std::vector<std::shared_ptr<FormTableViewSection>>& xs) {
        sections_.replaceAtIndexes(at, xs);
    }
    void replaceSectionsInRange(NSRange r, const std::vector<std::shared_ptr<FormTableViewSection>>& xs) {
        sections_.replaceRange(r, xs);
    }
    void replaceSectionsInRange(NSRange r, const std::vector<std::shared_ptr<FormTableViewSection>>& xs, NSRange from) {
        sections_.replaceRange(r, xs, from);
    }
    void exchangeSectionAtIndex(std::size_t a, std::size_t b) { sections_.exchange(a, b); }
    void sortSections(const std::function<bool(const std::shared_ptr<FormTableViewSection>&,
                                               const std::shared_ptr<FormTableViewSection>&)>& less) {
        sections_.sort(less);
    }

    // ---- data source ----
    std::size_t numberOfSectionsInTableView(UITableView&) override { return sections().size(); }
    std::size_t numberOfRowsInSection(UITableView&, std::size_t section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    std::vector<std::string> sectionIndexTitles(UITableView&) override;
    // None when no section has an index title; "" for the untitled ones otherwise.
    std::optional<std::vector<std::string>> sectionIndexTitlesForTableView() const;
    std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t section) override;
    std::optional<std::string> titleForFooterInSection(UITableView&, std::size_t section) override;
    bool canEditRowAtIndexPath(UITableView&, NSIndexPath path) override;
    bool canMoveRowAtIndexPath(UITableView&, NSIndexPath path) override;
    void moveRowAtIndexPath(UITableView&, NSIndexPath from, NSIndexPath to) override;
    void commitEditingStyle(UITableView& table, UITableViewCellEditingStyle style, NSIndexPath path) override;

    // ---- delegate ----
    CGFloat heightForRowAtIndexPath(UITableView&, NSIndexPath path) override;
    CGFloat estimatedHeightForRowAtIndexPath(UITableView&, NSIndexPath path) override;
    CGFloat heightForHeaderInSection(UITableView&, std::size_t section) override;
    CGFloat heightForFooterInSection(UITableView&, std::size_t section) override;
    std::shared_ptr<UIView> viewForHeaderInSection(UITableView&, std::size_t section) override;
    std::shared_ptr<UIView> viewForFooterInSection(UITableView&, std::size_t section) override;
    void didSelectRowAtIndexPath(UITableView&, NSIndexPath path) override;
    void accessoryButtonTappedForRowWithIndexPath(UITableView&, NSIndexPath path) override;
    UITableViewCellEditingStyle editingStyleForRowAtIndexPath(UITableView&, NSIndexPath path) override;
    NSIndexPath targetIndexPathForMove(UITableView&, NSIndexPath from, NSIndexPath proposed) override;
    bool shouldShowMenuForRowAtIndexPath(UITableView&, NSIndexPath path) override;
    bool canPerformAction(UITableView&, UITableViewMenuAction action, NSIndexPath path) override;
    void performAction(UITableView&, UITableViewMenuAction action, NSIndexPath path) override;
    void didEndDisplayingCell(UITableView&, UITableViewCell& cell, NSIndexPath path) override;
    std::string titleForDeleteConfirmationButtonForRowAtIndexPath(UITableView&, NSIndexPath path) override;
    // Forwards with the platform's defaults.
    void willDisplayCell(UITableView& t, UITableViewCell& c, NSIndexPath p) override;
    bool shouldHighlightRowAtIndexPath(UITableView& t, NSIndexPath p) override;
    void didHighlightRowAtIndexPath(UITableView& t, NSIndexPath p) override;
    void didUnhighlightRowAtIndexPath(UITableView& t, NSIndexPath p) override;
    std::optional<NSIndexPath> willSelectRowAtIndexPath(UITableView& t, NSIndexPath p) override;
    std::optional<NSIndexPath> willDeselectRowAtIndexPath(UITableView& t, NSIndexPath p) override;
    void didDeselectRowAtIndexPath(UITableView& t, NSIndexPath p) override;
    bool shouldIndentWhileEditingRowAtIndexPath(UITableView& t, NSIndexPath p) override;
    void willBeginEditingRowAtIndexPath(UITableView& t, NSIndexPath p) override;
    void didEndEditingRowAtIndexPath(UITableView& t, std::optional<NSIndexPath> p) override;
    long indentationLevelForRowAtIndexPath(UITableView& t, NSIndexPath p) override;
    // Scroll forwards (the manager's table stands as the scroll view).
    void scrollViewDidScroll(UIScrollView& s) override;
    void scrollViewWillBeginDragging(UIScrollView& s) override;
    void scrollViewWillEndDragging(UIScrollView& s, CGPoint v, CGPoint* target) override;
    void scrollViewDidEndDragging(UIScrollView& s, bool decelerate) override;
    void scrollViewWillBeginDecelerating(UIScrollView& s) override;
    void scrollViewDidEndDecelerating(UIScrollView& s) override;
    void scrollViewDidEndScrollingAnimation(UIScrollView& s) override;
    // None unless the outer delegate gives one.
    std::shared_ptr<UIView> viewForZoomingInScrollView(UIScrollView& s) override;
    void scrollViewWillBeginZooming(UIScrollView& s, const std::shared_ptr<UIView>& view) override;
    void scrollViewDidZoom(UIScrollView& s) override;
    void scrollViewDidEndZooming(UIScrollView& s, const std::shared_ptr<UIView>& view, CGFloat scale) override;
    // Yes unless the outer delegate says otherwise.
    std::optional<bool> scrollViewShouldScrollToTop(UIScrollView& s) override;
    void scrollViewDidScrollToTop(UIScrollView& s) override;

    // The outer delegate when it answers the question.
    std::shared_ptr<FormTableViewManagerDelegate> answering(FormDelegateQuestion q) const;

    std::string className() const override { return "FormTableViewManager"; }

protected:
    explicit FormTableViewManager(std::shared_ptr<UITableView> table,
                                  std::shared_ptr<FormTableViewManagerDelegate> delegate = nullptr);

private:
    void loadCell(FormTableViewCell& cell, UITableView& table, NSIndexPath path);
    void removeRow(UITableView& table, NSIndexPath path);
    std::shared_ptr<FormTableViewItem> itemObjectAt(NSIndexPath path) const;
    CGFloat sectionViewHeight(std::size_t section, bool header);

    std::weak_ptr<UITableView> table_;
    std::weak_ptr<FormTableViewManagerDelegate> delegate_;
    std::map<std::string, std::string> registered_;
    std::shared_ptr<FormTableViewCellStyle> style_;
    std::map<std::string, std::string> xibs_;
    FormOrderedList<std::shared_ptr<FormTableViewSection>> sections_;
};
