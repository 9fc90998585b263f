// Radio and multiple-choice items.
#include "settings/form/form_choice_items.h"

#include "platform/runtime/format.h"
#include "platform/ui/input/text_input_traits.h"
#include "settings/form/form_string_measure.h"
#include "settings/form/form_table_view_manager.h"
#include "settings/form/form_table_view_section.h"

namespace {
// The shared set-up of a choice row: disclosure arrow, value-1 layout, and a selection that puts
// the keyboard away before the caller's handler runs.
template <class Item>
void setUpChoice(Item& item, std::optional<std::string> title, FormTableViewItem::Handler selection) {
    item.title = std::move(title);
    item.accessoryType = UITableViewCellAccessoryType::DisclosureIndicator;
    item.style = UITableViewCellStyle::Value1;
    item.selectionHandler = [selection = std::move(selection)](FormTableViewItem& it) {
        auto section = it.section();
        auto manager = section ? section->tableViewManager() : nullptr;
        if (auto table = manager ? manager->tableView() : nullptr) endEditing(*table, true);
        if (selection) selection(it);
    };
}
}  // namespace

std::shared_ptr<FormRadioItem> FormRadioItem::itemWithTitle(std::optional<std::string> title,
                                                            std::optional<std::string> value, Handler selection) {
    auto item = make();
    setUpChoice(*item, std::move(title), std::move(selection));
    item->setValue(std::move(value));
    return item;
}

void FormRadioItem::setValue(std::optional<std::string> v) {
    value_ = std::move(v);
    detailLabelText = value_;
}

std::shared_ptr<FormMultipleChoiceItem> FormMultipleChoiceItem::itemWithTitle(std::optional<std::string> title,
                                                                              std::vector<std::string> value,
                                                                              Handler selection) {
    auto item = make();
    setUpChoice(*item, std::move(title), std::move(selection));
    item->setValue(std::move(value));
    return item;
}

void FormMultipleChoiceItem::setValue(std::vector<std::string> v) {
    value_ = std::move(v);
    if (value_.empty())
        detailLabelText = "";
    else if (value_.size() == 1)
        detailLabelText = value_.front();
    else
        detailLabelText = formatString(form_localized("%i selected"), {Value(static_cast<long>(value_.size()))});
}

std::optional<FormErrors> FormMultipleChoiceItem::errors() const {
    ValueArray list;
    for (const auto& s : value_) list.push_back(Value(s));
    return validate(Value(list));
}
