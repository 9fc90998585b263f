// The cells of the date and time row and of its inline date picker row. The row shows the value
// in the item's format (or the placeholder); a tap brings the picker up as the keyboard, or opens
// or closes the inline row, during which the value is drawn in the tint colour. Main-thread only.
#pragma once

#include <memory>

#include "platform/text/date_formatter.h"
#include "platform/ui/input/ui_date_picker.h"
#include "settings/form/form_date_time_items.h"
#include "settings/form/form_inline_editor_cell.h"
#include "settings/form/form_inline_editor_row_cell.h"

class FormTableViewDateTimeCell : public FormInlineEditorCell {
public:
    KORVA_MAKE(FormTableViewDateTimeCell)
    static bool canFocusWithItem(const FormItem& item);
    using FormTableViewCell::heightWithItem;
    // The grey of the shown value (142, 142, 147).
    static std::shared_ptr<UIColor> detailTextLabelColor();

    std::shared_ptr<FormDateTimeItem> dateItem() const {
        return std::dynamic_pointer_cast<FormDateTimeItem>(formItemObject(item()));
    }
    const std::shared_ptr<UIDatePicker>& datePicker() const { return picker_; }
    const NSDateFormatter& dateFormatter() const { return formatter_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void datePickerValueDidChange();

    std::string className() const override { return "FormTableViewDateTimeCell"; }

protected:
    using FormInlineEditorCell::FormInlineEditorCell;

    std::shared_ptr<FormTableViewItem> editedItem() const override { return dateItem(); }
    bool editsInline() const override;
    std::shared_ptr<UIColor> valueColour() override { return detailTextLabelColor(); }
    void toggleInlineRow() override;
    void setEditorEnabled(bool e) override;
    // The shown moment is kept even when the picker was never turned.
    void commitEditorValue() override;

private:
    void showValue();

    std::shared_ptr<UIDatePicker> picker_;
    NSDateFormatter formatter_;
};

class FormTableViewInlineDatePickerCell : public FormInlineEditorRowCell {
public:
    KORVA_MAKE(FormTableViewInlineDatePickerCell)

    std::shared_ptr<FormInlineDatePickerItem> inlineItem() const {
        return std::dynamic_pointer_cast<FormInlineDatePickerItem>(formItemObject(item()));
    }
    const std::shared_ptr<UIDatePicker>& datePicker() const { return picker_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void datePickerValueDidChange();

    std::string className() const override { return "FormTableViewInlineDatePickerCell"; }

protected:
    using FormInlineEditorRowCell::FormInlineEditorRowCell;

private:
    std::shared_ptr<UIDatePicker> picker_;
};
