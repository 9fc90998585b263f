// The wheel of a picker row: the picker item's columns as the picker's data, the value shown on
// the wheel, and the wheel read back into the value. Both picker cells own one.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/input/ui_picker_view.h"
#include "settings/form/form_picker_items.h"

class FormPickerWheel : public UIPickerViewDataSource, public UIPickerViewDelegate {
public:
    // `turned` runs after the user turned a wheel, with the value already read.
    FormPickerWheel(std::function<std::shared_ptr<FormPickerItem>()> item, std::function<void()> turned)
        : item_(std::move(item)), turned_(std::move(turned)) {}

    // Each column with an entry in the value turns to the first equal row; the others stay.
    void showValue(UIPickerView& picker) const;
    // The entry under each wheel, in column order (a column without rows gives none).
    void readValue(UIPickerView& picker) const;

    std::size_t numberOfComponentsInPickerView(UIPickerView&) override;
    std::size_t numberOfRowsInComponent(UIPickerView&, std::size_t component) override;
    std::string titleForRow(UIPickerView&, std::size_t row, std::size_t component) override;
    // Reads, tells the item, reloads the columns (the handler may replace them) and reads again.
    void didSelectRow(UIPickerView& picker, std::size_t row, std::size_t component) override;

private:
    std::function<std::shared_ptr<FormPickerItem>()> item_;
    std::function<void()> turned_;
};
