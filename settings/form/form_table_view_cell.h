// The base row view of a form. The manager loads it once (cellDidLoad) and refreshes it before
// every display (cellWillAppear); it lays itself out with its section's style (margins and
// background images by position), places value views after the section's widest title, and
// drives the keyboard bar's Previous, Next and Done between rows that take the keyboard.
// Main-thread only.
#pragma once

#include <memory>
#include <optional>

#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/table/ui_table_view_cell.h"
#include "settings/form/form_action_bar.h"
#include "settings/form/form_table_view_cell_style.h"
#include "settings/form/form_table_view_item.h"

class FormTableViewManager;
class FormTableViewSection;

class FormTableViewCell : public UITableViewCell, public FormActionBarDelegate {
public:
    KORVA_MAKE(FormTableViewCell)
    ~FormTableViewCell() override;

    // Class operations: whether the row takes the keyboard for the item, and its height.
    static bool canFocusWithItem(const FormItem&) { return false; }
    static double heightWithItem(const FormItem& item, const FormTableViewManager& manager);

    bool loaded() const { return loaded_; }
    const std::shared_ptr<UIImageView>& backgroundImageView() const { return backgroundImageView_; }
    const std::shared_ptr<UIImageView>& selectedBackgroundImageView() const { return selectedBackgroundImageView_; }
    std::shared_ptr<UITableView> parentTableView() const { return parentTableView_.lock(); }
    void setParentTableView(const std::shared_ptr<UITableView>& t) { parentTableView_ = t; }
    std::shared_ptr<FormTableViewManager> tableViewManager() const { return manager_.lock(); }
    void setTableViewManager(const std::shared_ptr<FormTableViewManager>& m) { manager_ = m; }
    const std::shared_ptr<FormActionBar>& actionBar() const { return actionBar_; }
    long rowIndex() const { return rowIndex_; }
    void setRowIndex(long r) { rowIndex_ = r; }
    long sectionIndex() const { return sectionIndex_; }
    void setSectionIndex(long s) { sectionIndex_ = s; }
    std::shared_ptr<FormTableViewSection> section() const { return section_.lock(); }
    void setSection(const std::shared_ptr<FormTableViewSection>& s) { section_ = s; }
    const FormItem& item() const { return item_; }
    // Observes the new item's "enabled" (and lets go of the previous item's).
    virtual void setItem(FormItem item);
    bool enabled() const { return enabled_; }
    virtual void setEnabled(bool e) { enabled_ = e; }

    // The view that takes the keyboard (none for the base cell), and making it do so.
    virtual std::shared_ptr<UIView> responder() const { return nullptr; }
    virtual bool becomeResponder() { return false; }
    std::optional<NSIndexPath> indexPathForPreviousResponder() const;
    std::optional<NSIndexPath> indexPathForNextResponder() const;
    std::optional<NSIndexPath> indexPathForPreviousResponderInSectionIndex(std::size_t section) const;
    std::optional<NSIndexPath> indexPathForNextResponderInSectionIndex(std::size_t section) const;
    // The row's position in its section.
    FormCellPosition type() const;

    virtual void cellDidLoad();
    virtual void cellWillAppear();
    virtual void cellDidDisappear() {}
    void layoutSubviews() override;
    // Places a value view right of the titles, at least minimumWidth wide.
    void layoutDetailView(UIView& view, CGFloat minimumWidth);
    void updateActionBarNavigationControl();
    void addBackgroundImage();
    void addSelectedBackgroundImage();

    void actionBarNavigationControlValueChanged(FormActionBar& bar, UISegmentedControl& control) override;
    void actionBarDoneButtonPressed(FormActionBar& bar, UIBarButtonItem& button) override;

    std::string className() const override { return "FormTableViewCell"; }

protected:
    explicit FormTableViewCell(UITableViewCellStyle style = UITableViewCellStyle::Default,
                               std::string reuseIdentifier = {})
        : UITableViewCell(style, std::move(reuseIdentifier)) {}
    // The section style, else the manager's.
    std::shared_ptr<FormTableViewCellStyle> sectionStyle() const;
    // Tells the outer delegate that this cell is laying out its subviews.
    void notifyWillLayoutSubviews();
    // The text label shows the title, or one blank when empty (the label keeps its frame).
    void showTitle(const std::optional<std::string>& title);

private:
    bool canFocus(const FormItem& item) const;

    bool loaded_ = false;
    std::shared_ptr<UIImageView> backgroundImageView_, selectedBackgroundImageView_;
    std::weak_ptr<UITableView> parentTableView_;
    std::weak_ptr<FormTableViewManager> manager_;
    std::shared_ptr<FormActionBar> actionBar_;
    long rowIndex_ = 0, sectionIndex_ = 0;
    std::weak_ptr<FormTableViewSection> section_;
    FormItem item_;
    bool enabled_ = true;
    std::weak_ptr<FormTableViewItem> observed_;
    std::shared_ptr<NSObject> observation_;
};
