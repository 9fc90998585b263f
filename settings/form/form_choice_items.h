// Rows that choose from a list of strings: one (radio) or several (multiple choice). Their detail
// text follows the value; selecting the row closes the keyboard and runs the caller's handler,
// which typically pushes the option screen.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/form/form_table_view_item.h"

class FormRadioItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormRadioItem)
    static std::shared_ptr<FormRadioItem> itemWithTitle(std::optional<std::string> title,
                                                        std::optional<std::string> value, Handler selection = nullptr);

    const std::optional<std::string>& value() const { return value_; }
    // Also the detail text.
    void setValue(std::optional<std::string> v);

    std::optional<FormErrors> errors() const override { return validate(value_ ? Value(*value_) : Value()); }
    bool countsForTitleWidth() const override { return true; }
    std::string className() const override { return "FormRadioItem"; }

protected:
    FormRadioItem() = default;

private:
    std::optional<std::string> value_;
};

class FormMultipleChoiceItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormMultipleChoiceItem)
    static std::shared_ptr<FormMultipleChoiceItem> itemWithTitle(std::optional<std::string> title,
                                                                 std::vector<std::string> value,
                                                                 Handler selection = nullptr);

    const std::vector<std::string>& value() const { return value_; }
    // The detail text: empty, the one value, or the localised "%i selected" with the count.
    void setValue(std::vector<std::string> v);

    std::optional<FormErrors> errors() const override;
    bool countsForTitleWidth() const override { return true; }
    std::string className() const override { return "FormMultipleChoiceItem"; }

protected:
    FormMultipleChoiceItem() = default;

private:
    std::vector<std::string> value_;
};
