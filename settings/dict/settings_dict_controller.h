// The settings form: a grouped table of rows built from a description its delegate gives on every
// appearance. It keeps no setting itself: each change, tap or move goes back to the delegate with
// the row's "key" and its opaque "orig". Main-thread only.
//
// A description is a dictionary: "arr", a list of sections, each a list of row dictionaries, and
// "secLabels", the section titles. A row's "type" is one of "radio", "slider", "syncTiming",
// "switch", "button", "right", "text" and "longText"; any other makes no row.
#pragma once

#include <memory>
#include <string>

#include "app/base/my_view_controller.h"
#include "platform/runtime/value.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/table/ui_table_view.h"
#include "settings/form/form_table_view_manager.h"

class SettingsDictController;

class SettingsDictControllerDelegate {
public:
    virtual ~SettingsDictControllerDelegate() = default;
    virtual Value onSettingsDictControllerGetDictionary(SettingsDictController& controller) = 0;
    // A change or a tap: the row's key, its new value (null for taps), its "orig" and its place.
    virtual void onSettingsDictControllerChanged(SettingsDictController& controller, const std::string& key,
                                                 const Value& value, const Value& orig, NSIndexPath path) = 0;
    // A row moved from the place of the row keyed key1 to the place of the row keyed key2.
    virtual void onSettingsDictControllerMoved(SettingsDictController& controller, const std::string& key1,
                                               const std::string& key2) = 0;
    // Optional: the form shows a Done button only for a delegate that takes it.
    virtual bool takesSettingsDictControllerDone() const { return false; }
    virtual void onSettingsDictControllerDone(SettingsDictController&) {}
};

class SettingsDictController : public MyViewController, public FormTableViewManagerDelegate {
public:
    KORVA_MAKE(SettingsDictController)
    // The tag of the form's table inside the screen's view.
    static constexpr long kTableTag = 1;
    static constexpr const char* kStoryboardIdentifier = "SettingsDictController";

    bool hasMovable() const { return hasMovable_; }
    std::shared_ptr<SettingsDictControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<SettingsDictControllerDelegate>& d) { delegate_ = d; }
    const std::string& titleText() const { return titleText_; }
    void setTitleText(std::string t) { titleText_ = std::move(t); }
    const std::shared_ptr<UITableView>& tableView() const { return tableView_; }
    const std::shared_ptr<FormTableViewManager>& manager() const { return manager_; }
    // The form's own copy of the description's sections, kept in step with the rows' moves.
    const Value& arr() const { return arr_; }
    const Value& secLabels() const { return secLabels_; }
    // Made on first use and kept.
    virtual std::shared_ptr<UIBarButtonItem> bbDone();
    std::shared_ptr<UIBarButtonItem> bbEdit0();
    std::shared_ptr<UIBarButtonItem> bbEdit1();

    // Rebuilds the rows from a description asked afresh.
    void updateData();
    void updateView() override;
    virtual void updateNav();
    void flashScrollIndicator();
    void onDone();
    void onEdit0();
    void onEdit1();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void updateDarkMode() override;
    // Dresses every row as it is shown (fonts, colours, slider tint).
    void willDisplayCell(UITableView& table, UITableViewCell& cell, NSIndexPath path) override;

    std::string className() const override { return "SettingsDictController"; }

protected:
    SettingsDictController() = default;

private:
    // Reports a change of the row built from `row`, at the item's place.
    void report(const FormTableViewItem& item, const Value& row, const Value& value);
    std::shared_ptr<FormTableViewItem> buildRow(const Value& row);
    void rowMoved(NSIndexPath from, NSIndexPath to);
    const Value* rowAt(NSIndexPath path) const;

    bool hasMovable_ = false;
    std::weak_ptr<SettingsDictControllerDelegate> delegate_;
    std::string titleText_;
    std::shared_ptr<UITableView> tableView_;
    std::shared_ptr<FormTableViewManager> manager_;
    std::shared_ptr<UIBarButtonItem> bbDone_, bbEdit0_, bbEdit1_;
    Value arr_ = Value::array();
    Value secLabels_ = Value::array();
};
