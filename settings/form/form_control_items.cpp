// The switch, segmented and slider items.
#include "settings/form/form_control_items.h"

std::shared_ptr<FormBoolItem> FormBoolItem::itemWithTitle(std::optional<std::string> title, bool value,
                                                          ChangeHandler handler) {
    auto item = make();
    item->title = std::move(title);
    item->value = value;
    item->switchValueChangeHandler = std::move(handler);
    return item;
}

std::shared_ptr<FormSegmentedItem> FormSegmentedItem::itemWithTitle(std::optional<std::string> title,
                                                                    std::vector<std::string> titles, long value,
                                                                    ChangeHandler handler) {
    auto item = make();
    item->title = std::move(title);
    item->segmentedControlTitles = std::move(titles);
    item->value = value;
    item->switchValueChangeHandler = std::move(handler);
    return item;
}

std::shared_ptr<FormSegmentedItem> FormSegmentedItem::itemWithTitle(std::optional<std::string> title,
                                                                    std::vector<std::shared_ptr<UIImage>> images,
                                                                    long value, ChangeHandler handler) {
    auto item = make();
    item->title = std::move(title);
    item->segmentedControlImages = std::move(images);
    item->value = value;
    item->switchValueChangeHandler = std::move(handler);
    return item;
}

std::shared_ptr<FormFloatItem> FormFloatItem::itemWithTitle(std::optional<std::string> title, float value,
                                                            ChangeHandler handler) {
    auto item = make();
    item->title = std::move(title);
    item->value = value;
    item->sliderValueChangeHandler = std::move(handler);
    return item;
}
