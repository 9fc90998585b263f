// The multi-line text row: a text view filling the row, with a placeholder; read-only rows are
// skipped by the keyboard bar and show none.
#pragma once

#include "settings/form/form_placeholder_text_view.h"
#include "settings/form/form_table_view_cell.h"
#include "settings/form/form_text_item.h"

class FormTableViewLongTextCell : public FormTableViewCell, public UITextViewDelegate {
public:
    KORVA_MAKE(FormTableViewLongTextCell)

    static bool canFocusWithItem(const FormItem& item);
    using FormTableViewCell::heightWithItem;

    const std::shared_ptr<FormPlaceholderTextView>& textView() const { return textView_; }
    std::shared_ptr<FormLongTextItem> longTextItem() const {
        return std::dynamic_pointer_cast<FormLongTextItem>(formItemObject(item()));
    }
    std::shared_ptr<UIView> responder() const override;
    bool becomeResponder() override;

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setSelected(bool selected, bool animated) override;
    void setEnabled(bool e) override;

    bool textViewShouldBeginEditing(UITextView& view) override;
    void textViewDidChange(UITextView& view) override;
    bool shouldChangeTextInRange(UITextView& view, NSRange range, const std::string& text) override;
    bool textViewShouldEndEditing(UITextView& view) override;

    std::string className() const override { return "FormTableViewLongTextCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    std::shared_ptr<FormPlaceholderTextView> textView_;
};
