// The inline row around an editor control.
#include "settings/form/form_inline_editor_row_cell.h"

void FormInlineEditorRowCell::setEditor(std::shared_ptr<UIView> editor) {
    editor_ = std::move(editor);
    contentView()->addSubview(editor_);
}

void FormInlineEditorRowCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    if (editor_) editor_->setFrame(bounds());
    notifyWillLayoutSubviews();
}

void FormInlineEditorRowCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (editor_) editor_->setUserInteractionEnabled(e);
}
