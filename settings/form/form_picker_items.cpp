// The picker items.
#include "settings/form/form_picker_items.h"

void FormPickerItem::init() {
    FormTableViewItem::init();
    style = UITableViewCellStyle::Value1;
}

std::shared_ptr<FormPickerItem> FormPickerItem::itemWithTitle(std::optional<std::string> title,
                                                              std::optional<std::vector<std::string>> value,
                                                              std::optional<std::string> placeholder, Columns options) {
    auto item = make();
    item->title = std::move(title);
    item->value = std::move(value);
    item->placeholder = std::move(placeholder);
    item->options = std::move(options);
    return item;
}

std::string FormPickerItem::valueText() const {
    std::string out;
    if (!value) return out;
    for (std::size_t i = 0; i < value->size(); ++i) out += (i ? ", " : "") + (*value)[i];
    return out;
}

std::optional<FormErrors> FormPickerItem::errors() const {
    if (!value) return validate(Value());
    ValueArray entries;
    for (const auto& v : *value) entries.push_back(Value(v));
    return validate(Value(std::move(entries)));
}

std::shared_ptr<FormInlinePickerItem> FormInlinePickerItem::itemWithPickerItem(
    const std::shared_ptr<FormPickerItem>& item) {
    auto inlineItem = make();
    inlineItem->pickerItem_ = item;
    return inlineItem;
}
