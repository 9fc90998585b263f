// The one-line text row and the number row: a field after the title that writes every edit into
// the item, limits its length, and moves on to the next row on return.
#pragma once

#include "platform/ui/input/ui_text_field.h"
#include "settings/form/form_table_view_cell.h"
#include "settings/form/form_text_item.h"

class FormTableViewTextCell : public FormTableViewCell, public UITextFieldDelegate {
public:
    KORVA_MAKE(FormTableViewTextCell)

    static bool canFocusWithItem(const FormItem&) { return true; }
    using FormTableViewCell::heightWithItem;

    const std::shared_ptr<UITextField>& textField() const { return field_; }
    std::shared_ptr<FormTextItem> textItem() const {
        return std::dynamic_pointer_cast<FormTextItem>(formItemObject(item()));
    }
    std::shared_ptr<UIView> responder() const override { return field_; }
    bool becomeResponder() override { return field_ && field_->becomeFirstResponder(); }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setSelected(bool selected, bool animated) override;
    void setEnabled(bool e) override;

    // The field's editing-changed action.
    virtual void textFieldDidChange(UITextField& field);
    bool textFieldShouldBeginEditing(UITextField& field) override;
    bool shouldChangeCharactersInRange(UITextField& field, NSRange range, const std::string& text) override;
    bool textFieldShouldReturn(UITextField& field) override;
    bool textFieldShouldEndEditing(UITextField& field) override;

    std::string className() const override { return "FormTableViewTextCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;
    // Puts a field in the content view in place of the current one, set up for this cell.
    void installField(std::shared_ptr<UITextField> field);
    // The bar's look follows the keyboard's.
    void styleActionBar(UIKeyboardAppearance appearance);

private:
    std::shared_ptr<UITextField> field_;
};

class FormTableViewNumberCell : public FormTableViewTextCell {
public:
    KORVA_MAKE(FormTableViewNumberCell)

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void textFieldDidChange(UITextField& field) override;
    void textFieldDidEndEditing(UITextField& field) override;

    std::string className() const override { return "FormTableViewNumberCell"; }

protected:
    using FormTableViewTextCell::FormTableViewTextCell;
};
