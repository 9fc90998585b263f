// The cells of the picker row and of its inline wheel row. The row shows the value (or the
// placeholder) after its title; a tap brings the wheel up as the keyboard, or opens or closes the
// inline row. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/input/ui_picker_view.h"
#include "settings/form/form_inline_editor_cell.h"
#include "settings/form/form_inline_editor_row_cell.h"
#include "settings/form/form_picker_items.h"
#include "settings/form/form_picker_wheel.h"

class FormTableViewPickerCell : public FormInlineEditorCell {
public:
    KORVA_MAKE(FormTableViewPickerCell)
    // Only keyboard-style pickers are reached by the bar's Previous and Next.
    static bool canFocusWithItem(const FormItem& item);
    using FormTableViewCell::heightWithItem;

    std::shared_ptr<FormPickerItem> pickerItem() const {
        return std::dynamic_pointer_cast<FormPickerItem>(formItemObject(item()));
    }
    const std::shared_ptr<UIPickerView>& pickerView() const { return picker_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    // Reads the wheel into the item and shows the value.
    void shouldUpdateItemValue();

    std::string className() const override { return "FormTableViewPickerCell"; }

protected:
    using FormInlineEditorCell::FormInlineEditorCell;

    std::shared_ptr<FormTableViewItem> editedItem() const override { return pickerItem(); }
    bool editsInline() const override;
    std::shared_ptr<UIColor> valueColour() override { return detailTextLabel()->textColor(); }
    void toggleInlineRow() override;
    void editorCameUp() override { wheel_->showValue(*picker_); }
    void setEditorEnabled(bool e) override { picker_->setUserInteractionEnabled(e); }
    void commitEditorValue() override { shouldUpdateItemValue(); }

private:
    void showValue();

    std::shared_ptr<UIPickerView> picker_;
    std::shared_ptr<FormPickerWheel> wheel_;
};

class FormTableViewInlinePickerCell : public FormInlineEditorRowCell {
public:
    KORVA_MAKE(FormTableViewInlinePickerCell)

    std::shared_ptr<FormInlinePickerItem> inlineItem() const {
        return std::dynamic_pointer_cast<FormInlinePickerItem>(formItemObject(item()));
    }
    const std::shared_ptr<UIPickerView>& pickerView() const { return picker_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    // Reads the wheel into the picker item and refreshes its row.
    void shouldUpdateItemValue();

    std::string className() const override { return "FormTableViewInlinePickerCell"; }

protected:
    using FormInlineEditorRowCell::FormInlineEditorRowCell;

private:
    std::shared_ptr<FormPickerItem> ownerItem() const;
    void reloadOwnerRow();

    std::shared_ptr<UIPickerView> picker_;
    std::shared_ptr<FormPickerWheel> wheel_;
};
