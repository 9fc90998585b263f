// A controller whose view is a table of a given style; it is the table's data source and delegate
// until they are replaced, and its editing state is the table's. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/table/ui_table_view.h"

class UITableViewController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    KORVA_MAKE(UITableViewController)

    UITableViewStyle tableViewStyle() const { return style_; }
    // The controller's view (loaded on first access).
    std::shared_ptr<UITableView> tableView();
    void setTableView(std::shared_ptr<UITableView> table);
    // Deselects the selected row when the view appears again (default yes).
    bool clearsSelectionOnViewWillAppear() const { return clearsSelection_; }
    void setClearsSelectionOnViewWillAppear(bool c) { clearsSelection_ = c; }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void setEditing(bool editing, bool animated) override;

    // An empty table until a subclass answers.
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return 0; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&, NSIndexPath) override { return nullptr; }
    std::string className() const override { return "UITableViewController"; }

protected:
    explicit UITableViewController(UITableViewStyle style = UITableViewStyle::Plain) : style_(style) {}

private:
    UITableViewStyle style_;
    bool clearsSelection_ = true;
};
