// Cell classes by name, as the registry of a form pairs them with item classes: how to make a
// cell, whether it takes the keyboard for an item, and the height of an item's row.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/table/ui_table_view_cell.h"
#include "settings/form/form_table_view_item.h"

class FormTableViewCell;
class FormTableViewManager;

struct FormCellClass {
    std::string name;
    std::function<std::shared_ptr<FormTableViewCell>(UITableViewCellStyle, const std::string& reuseIdentifier)> make;
    std::function<bool(const FormItem&)> canFocusWithItem;
    std::function<double(const FormItem&, const FormTableViewManager&)> heightWithItem;
};

// The class description of a cell type, from its make() and its static class operations.
template <class Cell>
FormCellClass formCellClass(std::string name) {
    return {std::move(name),
            [](UITableViewCellStyle style, const std::string& id) {
                return std::static_pointer_cast<FormTableViewCell>(Cell::make(style, id));
            },
            [](const FormItem& item) { return Cell::canFocusWithItem(item); },
            [](const FormItem& item, const FormTableViewManager& m) { return Cell::heightWithItem(item, m); }};
}

// Known cell classes, and the default item/cell pairs every new manager registers. A row kind
// adds itself to both (form_default_kinds.cpp lists the kit's own).
class FormCellClasses {
public:
    static void add(FormCellClass cellClass);
    static const FormCellClass* named(const std::string& name);
    // Item class name -> cell class name, in the order they were added.
    static void addDefaultPair(std::string itemClass, std::string cellClass);
    static const std::vector<std::pair<std::string, std::string>>& defaultPairs();
};
