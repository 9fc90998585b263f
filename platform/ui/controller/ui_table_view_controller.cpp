// Table controller: the table made in loadView, selection cleared on appearance, editing passed on.
#include "platform/ui/controller/ui_table_view_controller.h"

#include "platform/ui/app/ui_screen.h"

std::shared_ptr<UITableView> UITableViewController::tableView() {
    return std::dynamic_pointer_cast<UITableView>(view());
}

void UITableViewController::setTableView(std::shared_ptr<UITableView> table) {
    setView(std::move(table));
}

void UITableViewController::loadView() {
    auto table = UITableView::make(UIScreen::mainScreen()->bounds(), style_);
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto me = self<UITableViewController>();
    table->setDataSource(std::static_pointer_cast<UITableViewDataSource>(me));
    table->setDelegate(std::static_pointer_cast<UITableViewDelegate>(me));
    setView(table);
}

void UITableViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    auto table = std::dynamic_pointer_cast<UITableView>(viewIfLoaded());
    if (!table || !clearsSelection_) return;
    for (auto path : table->indexPathsForSelectedRows()) table->deselectRowAtIndexPath(path, animated);
}

void UITableViewController::setEditing(bool editing, bool animated) {
    UIViewController::setEditing(editing, animated);
    if (auto table = std::dynamic_pointer_cast<UITableView>(viewIfLoaded())) table->setEditing(editing, animated);
}
