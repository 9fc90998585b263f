// The row of a value picked on an editor control (a date picker or a wheel): the value, or the
// placeholder, after the title. A tap brings the editor up as the keyboard of a hidden text field,
// or, for an inline item, opens or closes the row below that carries it. The date and picker rows
// fill in the item, the editor and the value text. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/control/ui_label.h"
#include "platform/ui/input/ui_text_field.h"
#include "settings/form/form_table_view_cell.h"

class FormInlineEditorCell : public FormTableViewCell, public UITextFieldDelegate {
public:
    const std::shared_ptr<UITextField>& textField() const { return textField_; }
    const std::shared_ptr<UILabel>& valueLabel() const { return valueLabel_; }
    const std::shared_ptr<UILabel>& placeholderLabel() const { return placeholderLabel_; }
    std::shared_ptr<UIView> responder() const override { return textField_; }
    bool becomeResponder() override { return textField_ && textField_->becomeFirstResponder(); }

    void cellDidLoad() override;
    void layoutSubviews() override;
    // A selected row takes the keyboard, or opens or closes its inline row.
    void setSelected(bool selected, bool animated) override;
    void setEnabled(bool e) override;

    bool textFieldShouldBeginEditing(UITextField& field) override;
    // Ends the selection and writes the editor's value into the item.
    bool textFieldShouldEndEditing(UITextField& field) override;

protected:
    using FormTableViewCell::FormTableViewCell;

    // The row's item when it is of the kind the row edits.
    virtual std::shared_ptr<FormTableViewItem> editedItem() const = 0;
    virtual bool editsInline() const = 0;
    // The value text's colour as loaded.
    virtual std::shared_ptr<UIColor> valueColour() = 0;
    // Opens the inline row below, or closes the open one.
    virtual void toggleInlineRow() = 0;
    // After the editor came up as the keyboard.
    virtual void editorCameUp() {}
    virtual void setEditorEnabled(bool e) = 0;
    // The editor's value into the item, shown in the row.
    virtual void commitEditorValue() = 0;

    void showValue(const std::string& text, const std::optional<std::string>& placeholder,
                   const std::optional<std::string>& title);

private:
    std::shared_ptr<UITextField> textField_;
    std::shared_ptr<UILabel> valueLabel_, placeholderLabel_;
    // Set while the text field's own start of editing selects the row.
    bool beginning_ = false;
};
