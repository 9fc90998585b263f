// The base item and its row operations.
#include "settings/form/form_table_view_item.h"

#include "settings/form/form_table_view_manager.h"
#include "settings/form/form_table_view_section.h"
#include "settings/form/form_validation.h"

std::shared_ptr<FormTableViewItem> formItemObject(const FormItem& item) {
    const auto* object = std::get_if<std::shared_ptr<FormTableViewItem>>(&item);
    return object ? *object : nullptr;
}

std::string formItemClassName(const FormItem& item) {
    auto object = formItemObject(item);
    return object ? object->className() : "NSString";
}

bool formItemsEqual(const FormItem& a, const FormItem& b) {
    auto x = formItemObject(a), y = formItemObject(b);
    if (x || y) return x && y && x->isEqual(*y);
    return std::get<std::string>(a) == std::get<std::string>(b);
}

bool formItemsIdentical(const FormItem& a, const FormItem& b) {
    auto x = formItemObject(a), y = formItemObject(b);
    if (x || y) return x == y;
    return std::get<std::string>(a) == std::get<std::string>(b);
}

std::shared_ptr<FormTableViewItem> FormTableViewItem::itemWithTitle(std::optional<std::string> title,
                                                                    UITableViewCellAccessoryType accessory,
                                                                    Handler selection, Handler accessoryTap) {
    auto item = make();
    item->title = std::move(title);
    item->accessoryType = accessory;
    item->selectionHandler = std::move(selection);
    item->accessoryButtonTapHandler = std::move(accessoryTap);
    return item;
}

void FormTableViewItem::setEnabled(bool e) {
    enabled_ = e;
    didChangeValue("enabled", Value(e));
}

FormErrors FormTableViewItem::validate(const Value& value) const {
    return FormValidation::validateObject(value, name ? *name : title.value_or(""), validators);
}

std::shared_ptr<UITableView> FormTableViewItem::table() const {
    auto s = section();
    auto manager = s ? s->tableViewManager() : nullptr;
    return manager ? manager->tableView() : nullptr;
}

std::optional<NSIndexPath> FormTableViewItem::indexPath() const {
    auto s = section();
    if (!s) return std::nullopt;
    auto row = s->indexOfItem(*this);
    auto index = s->index();
    if (!row || !index) return std::nullopt;
    return NSIndexPath{*index, *row};
}

void FormTableViewItem::selectRowAnimated(bool animated, UITableViewScrollPosition position) {
    auto t = table();
    if (auto path = indexPath(); t && path) t->selectRowAtIndexPath(*path, animated, position);
}

void FormTableViewItem::deselectRowAnimated(bool animated) {
    auto t = table();
    if (auto path = indexPath(); t && path) t->deselectRowAtIndexPath(*path, animated);
}

void FormTableViewItem::reloadRowWithAnimation(UITableViewRowAnimation animation) {
    auto t = table();
    if (auto path = indexPath(); t && path) t->reloadRowsAtIndexPaths({*path}, animation);
}

void FormTableViewItem::deleteRowWithAnimation(UITableViewRowAnimation animation) {
    auto s = section();
    auto path = indexPath();
    if (!s || !path) return;
    auto keep = self<FormTableViewItem>();
    auto t = table();
    s->removeItemAtIndex(path->row);
    if (t) t->deleteRowsAtIndexPaths({*path}, animation);
}
