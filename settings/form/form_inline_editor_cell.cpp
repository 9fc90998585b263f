// The value row edited on a keyboard-style or inline editor.
#include "settings/form/form_inline_editor_cell.h"

#include "settings/form/form_inline_row.h"
#include "settings/form/form_string_measure.h"
#include "settings/form/form_value_labels.h"

namespace {
CGFloat textWidth(const UILabel& label) {
    return form_sizeWithFont(label.text().value_or(""), label.font()).width;
}
}  // namespace

void FormInlineEditorCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    textLabel()->setBackgroundColor(UIColor::clearColor());
    textField_ = UITextField::make(CGRectZero);
    textField_->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
    textField_->setInputAccessoryView(actionBar());
    textField_->setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self<FormInlineEditorCell>()));
    addSubview(textField_);
    valueLabel_ = formValueLabel(valueColour());
    valueLabel_->setTextAlignment(NSTextAlignment::Right);
    valueLabel_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    contentView()->addSubview(valueLabel_);
    placeholderLabel_ = formValueLabel(UIColor::lightGrayColor());
    contentView()->addSubview(placeholderLabel_);
}

void FormInlineEditorCell::showValue(const std::string& text, const std::optional<std::string>& placeholder,
                                     const std::optional<std::string>& title) {
    formShowValue(*valueLabel_, *placeholderLabel_, text, placeholder, title);
    setNeedsLayout();
}

void FormInlineEditorCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    textField_->setFrame(CGRectZero);
    textField_->setAlpha(0);
    layoutDetailView(*valueLabel_, textWidth(*valueLabel_));
    layoutDetailView(*placeholderLabel_, textWidth(*placeholderLabel_));
    notifyWillLayoutSubviews();
}

void FormInlineEditorCell::setSelected(bool selected, bool animated) {
    FormTableViewCell::setSelected(selected, animated);
    if (!selected || !editedItem()) return;
    if (!editsInline()) {
        if (!beginning_) textField_->becomeFirstResponder();
        editorCameUp();
        return;
    }
    auto keep = self<FormInlineEditorCell>();
    toggleInlineRow();
}

void FormInlineEditorCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (!textField_) return;
    textField_->setEnabled(e);
    valueLabel_->setEnabled(e);
    placeholderLabel_->setEnabled(e);
    setEditorEnabled(e);
}

bool FormInlineEditorCell::textFieldShouldBeginEditing(UITextField& field) {
    auto keep = self<FormInlineEditorCell>();
    beginning_ = true;
    formBeginRowEditing(*this, field);
    beginning_ = false;
    return true;
}

bool FormInlineEditorCell::textFieldShouldEndEditing(UITextField&) {
    setSelected(false, false);
    if (auto item = editedItem()) item->deselectRowAnimated(false);
    commitEditorValue();
    return true;
}
