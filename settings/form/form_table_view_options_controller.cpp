// The option screen: rows built once, check marks kept in the rows and their cells.
#include "settings/form/form_table_view_options_controller.h"

#include <algorithm>

void FormTableViewOptionsController::init() {
    UITableViewController::init();
    if (auto item = item_.lock()) setTitle(item->title.value_or(""));
}

std::shared_ptr<UITableViewCell> FormTableViewOptionsController::cellFor(FormTableViewItem& option) {
    auto path = option.indexPath();
    auto table = tableView();
    return path && table ? table->cellForRowAtIndexPath(*path) : nullptr;
}

void FormTableViewOptionsController::viewDidLoad() {
    UITableViewController::viewDidLoad();
    manager_ = FormTableViewManager::make(tableView(), delegate_.lock());
    mainSection_ = FormTableViewSection::make();
    manager_->addSection(mainSection_);
    if (style_) manager_->setStyle(style_);

    auto item = item_.lock();
    auto multiple = std::dynamic_pointer_cast<FormMultipleChoiceItem>(item);
    std::weak_ptr<FormTableViewOptionsController> weak = self<FormTableViewOptionsController>();
    for (const auto& option : options_) {
        std::string s;
        if (const auto* radio = std::get_if<std::shared_ptr<FormRadioItem>>(&option)) {
            s = *radio ? (*radio)->title.value_or("") : "";
        } else {
            s = std::get<std::string>(option);
        }
        bool checked = false;
        if (multipleChoice_) {
            if (multiple)
                checked = std::find(multiple->value().begin(), multiple->value().end(), s) != multiple->value().end();
        } else if (item) {
            checked = item->detailLabelText == s;
        }
        auto row = FormTableViewItem::itemWithTitle(
            s, checked ? UITableViewCellAccessoryType::Checkmark : UITableViewCellAccessoryType::None,
            [weak](FormTableViewItem& o) {
                if (auto screen = weak.lock()) screen->rowTapped(o);
            });
        mainSection_->addItem(row);
    }
    tableView()->reloadData();
}

void FormTableViewOptionsController::rowTapped(FormTableViewItem& option) {
    auto keep = self<FormTableViewOptionsController>();
    auto item = item_.lock();
    if (multipleChoice_) {
        option.deselectRowAnimated(true);
        if (auto multiple = std::dynamic_pointer_cast<FormMultipleChoiceItem>(item)) toggleMultiple(*multiple, option);
    } else {
        chooseSingle(option);
    }
    if (completion_) completion_(option);
}

void FormTableViewOptionsController::toggleMultiple(FormMultipleChoiceItem& item, FormTableViewItem& option) {
    auto cell = cellFor(option);
    std::string title = option.title.value_or("");
    std::vector<std::string> value = item.value();
    if (option.accessoryType == UITableViewCellAccessoryType::Checkmark) {
        option.accessoryType = UITableViewCellAccessoryType::None;
        if (cell) cell->setAccessoryType(UITableViewCellAccessoryType::None);
        std::erase(value, title);
        item.setValue(std::move(value));
        return;
    }
    option.accessoryType = UITableViewCellAccessoryType::Checkmark;
    if (cell) cell->setAccessoryType(UITableViewCellAccessoryType::Checkmark);
    value.push_back(title);
    // The chosen strings in the order of the options; strings no option has are dropped.
    std::vector<std::string> ordered;
    for (const auto& row : mainSection_->items()) {
        auto rowItem = formItemObject(row);
        std::string rowTitle = rowItem ? rowItem->title.value_or("") : std::get<std::string>(row);
        for (const auto& s : value)
            if (s == rowTitle) ordered.push_back(s);
    }
    item.setValue(std::move(ordered));
}

void FormTableViewOptionsController::chooseSingle(FormTableViewItem& option) {
    if (auto table = tableView())
        for (const auto& cell : table->visibleCells()) cell->setAccessoryType(UITableViewCellAccessoryType::None);
    for (const auto& row : mainSection_->items())
        if (auto rowItem = formItemObject(row)) rowItem->accessoryType = UITableViewCellAccessoryType::None;
    option.accessoryType = UITableViewCellAccessoryType::Checkmark;
    if (auto cell = cellFor(option)) cell->setAccessoryType(UITableViewCellAccessoryType::Checkmark);
    if (auto radio = std::dynamic_pointer_cast<FormRadioItem>(item_.lock())) radio->setValue(option.title.value_or(""));
}
