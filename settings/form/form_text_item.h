// Editable text rows: a one-line text, a multi-line text with a placeholder, and a number laid
// out by a pattern. Every edit is written into `value` at once; validation reads it on demand.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/range.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/input/text_input_traits.h"
#include "platform/ui/input/ui_text_field.h"
#include "settings/form/form_table_view_item.h"

class FormTextItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormTextItem)
    using ChangeFilter = std::function<bool(FormTextItem&, NSRange range, const std::string& replacement)>;
    using TextHandler = std::function<void(FormTextItem&)>;

    static std::shared_ptr<FormTextItem> itemWithTitle(std::optional<std::string> title,
                                                       std::optional<std::string> value,
                                                       std::optional<std::string> placeholder = std::nullopt);

    std::optional<std::string> value;
    std::optional<std::string> placeholder;
    UITextFieldViewMode clearButtonMode = UITextFieldViewMode::Never;
    bool clearsOnBeginEditing = false;
    // The longest text; 0 means no limit.
    std::size_t charactersLimit = 0;
    // Keyboard, return key, capitalisation, correction and secure entry of the input.
    UITextInputTraits traits = noTraits();

    TextHandler onBeginEditing;
    TextHandler onEndEditing;
    // After `value` was updated.
    TextHandler onChange;
    TextHandler onReturn;
    // May this edit happen (asked only for edits within the limit).
    ChangeFilter onChangeCharacterInRange;

    std::optional<FormErrors> errors() const override { return validate(value ? Value(*value) : Value()); }
    bool countsForTitleWidth() const override { return true; }
    std::string className() const override { return "FormTextItem"; }

protected:
    FormTextItem() = default;
    static UITextInputTraits noTraits() {
        UITextInputTraits t;
        t.autocapitalizationType = UITextAutocapitalizationType::None;
        return t;
    }
};

class FormLongTextItem : public FormTextItem {
public:
    KORVA_MAKE(FormLongTextItem)
    static std::shared_ptr<FormLongTextItem> itemWithValue(std::optional<std::string> value,
                                                           std::optional<std::string> placeholder);
    static std::shared_ptr<FormLongTextItem> itemWithTitle(std::optional<std::string> title,
                                                           std::optional<std::string> value,
                                                           std::optional<std::string> placeholder);

    std::shared_ptr<UIColor> placeholderColor = UIColor::lightGrayColor();
    bool editable = true;

    std::string className() const override { return "FormLongTextItem"; }

protected:
    FormLongTextItem() = default;
};

class FormNumberItem : public FormTextItem {
public:
    KORVA_MAKE(FormNumberItem)
    static std::shared_ptr<FormNumberItem> itemWithTitle(std::optional<std::string> title,
                                                         std::optional<std::string> value,
                                                         std::optional<std::string> placeholder,
                                                         std::optional<std::string> format);

    // The digit pattern ("X" per digit); none keeps digits only.
    std::optional<std::string> format;

    std::string className() const override { return "FormNumberItem"; }

protected:
    FormNumberItem() = default;
};
