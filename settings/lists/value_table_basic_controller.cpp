// The plain value list: one section in the caller's order.
#include "settings/lists/value_table_basic_controller.h"

void ValueTableBasicController::onCancel() {
    if (auto d = delegate()) d->onValueTableBasicControllerCanceled(*this);
}

std::size_t ValueTableBasicController::numberOfRowsInSection(UITableView&, std::size_t) {
    return arr().size();
}

std::shared_ptr<UITableViewCell> ValueTableBasicController::cellForRowAtIndexPath(UITableView& table,
                                                                                  NSIndexPath path) {
    return cellForString(table, path, path.row < arr().size() ? arr()[path.row] : std::string());
}

void ValueTableBasicController::didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) {
    table.deselectRowAtIndexPath(path, true);
    if (path.row >= arr().size()) return;
    if (auto d = delegate()) d->onValueTableBasicControllerSelected(*this, arr()[path.row], long(path.row));
}
