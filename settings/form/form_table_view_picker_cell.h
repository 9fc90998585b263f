// The cells of the picker row and of its inline wheel row. The row shows the value (or the
// placeholder) after its title; a tap brings the wheel up as the keyboard, or opens or closes the
// inline row. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/control/ui_label.h"
#include "platform/ui/input/ui_picker_view.h"
#include "platform/ui/input/ui_text_field.h"
#include "settings/form/form_picker_items.h"
#include "settings/form/form_picker_wheel.h"
#include "settings/form/form_table_view_cell.h"

class FormTableViewPickerCell : public FormTableViewCell, public UITextFieldDelegate {
public:
    KORVA_MAKE(FormTableViewPickerCell)
    // Only keyboard-style pickers are reached by the bar's Previous and Next.
    static bool canFocusWithItem(const FormItem& item);
    using FormTableViewCell::heightWithItem;

    std::shared_ptr<FormPickerItem> pickerItem() const { return std::dynamic_pointer_cast<FormPickerItem>(formItemObject(item())); }
    const std::shared_ptr<UITextField>& textField() const { return textField_; }
    const std::shared_ptr<UILabel>& valueLabel() const { return valueLabel_; }
    const std::shared_ptr<UILabel>& placeholderLabel() const { return placeholderLabel_; }
    const std::shared_ptr<UIPickerView>& pickerView() const { return picker_; }
    std::shared_ptr<UIView> responder() const override { return textField_; }
    bool becomeResponder() override { return textField_ && textField_->becomeFirstResponder(); }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setSelected(bool selected, bool animated) override;
    void setEnabled(bool e) override;
    // Reads the wheel into the item and shows the value.
    void shouldUpdateItemValue();

    bool textFieldShouldBeginEditing(UITextField& field) override;
    bool textFieldShouldEndEditing(UITextField& field) override;

    std::string className() const override { return "FormTableViewPickerCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    void showValue();

    std::shared_ptr<UITextField> textField_;
    std::shared_ptr<UILabel> valueLabel_, placeholderLabel_;
    std::shared_ptr<UIPickerView> picker_;
    std::shared_ptr<FormPickerWheel> wheel_;
    bool beginning_ = false;
};

class FormTableViewInlinePickerCell : public FormTableViewCell {
public:
    KORVA_MAKE(FormTableViewInlinePickerCell)
    static constexpr double kHeight = 216;
    static double heightWithItem(const FormItem&, const FormTableViewManager&) { return kHeight; }

    std::shared_ptr<FormInlinePickerItem> inlineItem() const {
        return std::dynamic_pointer_cast<FormInlinePickerItem>(formItemObject(item()));
    }
    const std::shared_ptr<UIPickerView>& pickerView() const { return picker_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setEnabled(bool e) override;
    // Reads the wheel into the picker item and refreshes its row.
    void shouldUpdateItemValue();

    std::string className() const override { return "FormTableViewInlinePickerCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    std::shared_ptr<UIPickerView> picker_;
    std::shared_ptr<FormPickerWheel> wheel_;
};
