// Text, long-text and number items.
#include "settings/form/form_text_item.h"

namespace {
template <class Item>
std::shared_ptr<Item> textItem(std::optional<std::string> title, std::optional<std::string> value,
                               std::optional<std::string> placeholder) {
    auto item = Item::make();
    item->title = std::move(title);
    item->value = std::move(value);
    item->placeholder = std::move(placeholder);
    return item;
}
}  // namespace

std::shared_ptr<FormTextItem> FormTextItem::itemWithTitle(std::optional<std::string> title,
                                                          std::optional<std::string> value,
                                                          std::optional<std::string> placeholder) {
    return textItem<FormTextItem>(std::move(title), std::move(value), std::move(placeholder));
}

std::shared_ptr<FormLongTextItem> FormLongTextItem::itemWithValue(std::optional<std::string> value,
                                                                  std::optional<std::string> placeholder) {
    return itemWithTitle(std::nullopt, std::move(value), std::move(placeholder));
}

std::shared_ptr<FormLongTextItem> FormLongTextItem::itemWithTitle(std::optional<std::string> title,
                                                                  std::optional<std::string> value,
                                                                  std::optional<std::string> placeholder) {
    return textItem<FormLongTextItem>(std::move(title), std::move(value), std::move(placeholder));
}

std::shared_ptr<FormNumberItem> FormNumberItem::itemWithTitle(std::optional<std::string> title,
                                                              std::optional<std::string> value,
                                                              std::optional<std::string> placeholder,
                                                              std::optional<std::string> format) {
    auto item = textItem<FormNumberItem>(std::move(title), std::move(value), std::move(placeholder));
    item->format = std::move(format);
    return item;
}
