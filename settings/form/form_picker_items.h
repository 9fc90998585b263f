// The picker row: one chosen string per column, picked on a wheel that comes up as the keyboard,
// or, for an inline item, opens as a row of its own right below (FormInlinePickerItem) until the
// row is tapped again.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/form/form_table_view_item.h"

class FormInlinePickerItem;

class FormPickerItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormPickerItem)
    using ChangeHandler = std::function<void(FormPickerItem&)>;
    using Columns = std::vector<std::vector<std::string>>;
    static std::shared_ptr<FormPickerItem> itemWithTitle(std::optional<std::string> title,
                                                         std::optional<std::vector<std::string>> value,
                                                         std::optional<std::string> placeholder, Columns options);

    // One column of entries per wheel.
    Columns options;
    // The chosen entry of each column, in column order; none until chosen or given.
    std::optional<std::vector<std::string>> value;
    std::optional<std::string> placeholder;
    bool inlinePicker = false;
    // Present exactly while the inline row is open.
    std::shared_ptr<FormInlinePickerItem> inlinePickerItem;
    // After each turn of a wheel.
    ChangeHandler onChange;

    // The value joined by ", ", empty without one.
    std::string valueText() const;

    std::optional<FormErrors> errors() const override;
    bool countsForTitleWidth() const override { return true; }
    std::string className() const override { return "FormPickerItem"; }

    void init() override;

protected:
    FormPickerItem() = default;
};

class FormInlinePickerItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormInlinePickerItem)
    static std::shared_ptr<FormInlinePickerItem> itemWithPickerItem(const std::shared_ptr<FormPickerItem>& item);

    std::shared_ptr<FormPickerItem> pickerItem() const { return pickerItem_.lock(); }

    std::string className() const override { return "FormInlinePickerItem"; }

protected:
    FormInlinePickerItem() = default;

private:
    std::weak_ptr<FormPickerItem> pickerItem_;
};
