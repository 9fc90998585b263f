// The cells of the date and time row and of its inline date picker row. The row shows the value
// in the item's format (or the placeholder); a tap brings the picker up as the keyboard, or opens
// or closes the inline row, during which the value is drawn in the tint colour. Main-thread only.
#pragma once

#include <memory>

#include "platform/text/date_formatter.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/input/ui_date_picker.h"
#include "platform/ui/input/ui_text_field.h"
#include "settings/form/form_date_time_items.h"
#include "settings/form/form_table_view_cell.h"

class FormTableViewDateTimeCell : public FormTableViewCell, public UITextFieldDelegate {
public:
    KORVA_MAKE(FormTableViewDateTimeCell)
    static bool canFocusWithItem(const FormItem& item);
    using FormTableViewCell::heightWithItem;
    // The grey of the shown value (142, 142, 147).
    static std::shared_ptr<UIColor> detailTextLabelColor();

    std::shared_ptr<FormDateTimeItem> dateItem() const {
        return std::dynamic_pointer_cast<FormDateTimeItem>(formItemObject(item()));
    }
    const std::shared_ptr<UITextField>& textField() const { return textField_; }
    const std::shared_ptr<UILabel>& dateLabel() const { return dateLabel_; }
    const std::shared_ptr<UILabel>& placeholderLabel() const { return placeholderLabel_; }
    const std::shared_ptr<UIDatePicker>& datePicker() const { return picker_; }
    const NSDateFormatter& dateFormatter() const { return formatter_; }
    std::shared_ptr<UIView> responder() const override { return textField_; }
    bool becomeResponder() override { return textField_ && textField_->becomeFirstResponder(); }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setSelected(bool selected, bool animated) override;
    void setEnabled(bool e) override;
    void datePickerValueDidChange();

    bool textFieldShouldBeginEditing(UITextField& field) override;
    bool textFieldShouldEndEditing(UITextField& field) override;

    std::string className() const override { return "FormTableViewDateTimeCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    void showValue();

    std::shared_ptr<UITextField> textField_;
    std::shared_ptr<UILabel> dateLabel_, placeholderLabel_;
    std::shared_ptr<UIDatePicker> picker_;
    NSDateFormatter formatter_;
    bool beginning_ = false;
};

class FormTableViewInlineDatePickerCell : public FormTableViewCell {
public:
    KORVA_MAKE(FormTableViewInlineDatePickerCell)
    static constexpr double kHeight = 216;
    static double heightWithItem(const FormItem&, const FormTableViewManager&) { return kHeight; }

    std::shared_ptr<FormInlineDatePickerItem> inlineItem() const {
        return std::dynamic_pointer_cast<FormInlineDatePickerItem>(formItemObject(item()));
    }
    const std::shared_ptr<UIDatePicker>& datePicker() const { return picker_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setEnabled(bool e) override;
    void datePickerValueDidChange();

    std::string className() const override { return "FormTableViewInlineDatePickerCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    std::shared_ptr<UIDatePicker> picker_;
};
