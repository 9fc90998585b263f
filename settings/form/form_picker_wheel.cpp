// Picker data and value transfer.
#include "settings/form/form_picker_wheel.h"

#include <algorithm>

void FormPickerWheel::showValue(UIPickerView& picker) const {
    auto item = item_();
    if (!item || !item->value) return;
    const auto& value = *item->value;
    for (std::size_t i = 0; i < item->options.size() && i < value.size(); ++i) {
        const auto& column = item->options[i];
        auto it = std::find(column.begin(), column.end(), value[i]);
        if (it != column.end()) picker.selectRow(static_cast<std::size_t>(it - column.begin()), i, false);
    }
}

void FormPickerWheel::readValue(UIPickerView& picker) const {
    auto item = item_();
    if (!item) return;
    std::vector<std::string> value;
    for (std::size_t i = 0; i < item->options.size(); ++i) {
        long row = picker.selectedRowInComponent(i);
        const auto& column = item->options[i];
        if (row >= 0 && static_cast<std::size_t>(row) < column.size())
            value.push_back(column[static_cast<std::size_t>(row)]);
    }
    item->value = std::move(value);
}

std::size_t FormPickerWheel::numberOfComponentsInPickerView(UIPickerView&) {
    auto item = item_();
    return item ? item->options.size() : 0;
}

std::size_t FormPickerWheel::numberOfRowsInComponent(UIPickerView&, std::size_t component) {
    auto item = item_();
    return item && component < item->options.size() ? item->options[component].size() : 0;
}

std::string FormPickerWheel::titleForRow(UIPickerView&, std::size_t row, std::size_t component) {
    auto item = item_();
    if (!item || component >= item->options.size() || row >= item->options[component].size()) return {};
    return item->options[component][row];
}

void FormPickerWheel::didSelectRow(UIPickerView& picker, std::size_t, std::size_t) {
    auto item = item_();
    if (!item) return;
    readValue(picker);
    if (item->onChange) item->onChange(*item);
    picker.reloadAllComponents();
    readValue(picker);
    if (turned_) turned_();
}
