// Text and number rows.
#include "settings/form/form_table_view_text_cell.h"

#include "platform/runtime/utf16.h"
#include "settings/form/form_formatted_number_field.h"
#include "settings/form/form_number_format.h"
#include "settings/form/form_table_view_manager.h"

namespace {
constexpr CGFloat kFieldFontSize = 17;
}

void FormTableViewTextCell::installField(std::shared_ptr<UITextField> field) {
    if (field_) field_->removeFromSuperview();
    field_ = std::move(field);
    field_->setFrame(CGRectZero);
    field_->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
    field_->setInputAccessoryView(actionBar());
    field_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    field_->setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self<FormTableViewTextCell>()));
    std::weak_ptr<FormTableViewTextCell> weak = self<FormTableViewTextCell>();
    field_->addAction(
        [weak](UIControl& c) {
            if (auto cell = weak.lock()) cell->textFieldDidChange(static_cast<UITextField&>(c));
        },
        UIControlEventEditingChanged);
    contentView()->addSubview(field_);
}

void FormTableViewTextCell::styleActionBar(UIKeyboardAppearance appearance) {
    actionBar()->setBarStyle(appearance == UIKeyboardAppearance::Dark ? UIBarStyle::Black : UIBarStyle::Default);
}

void FormTableViewTextCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    textLabel()->setBackgroundColor(UIColor::clearColor());
    installField(UITextField::make());
}

void FormTableViewTextCell::cellWillAppear() {
    FormTableViewCell::cellWillAppear();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    auto item = textItem();
    if (!item) return;
    showTitle(item->title);
    field_->setText(item->value.value_or(""));
    field_->setPlaceholder(item->placeholder.value_or(""));
    field_->setFont(UIFont::systemFontOfSize(kFieldFontSize));
    field_->traits() = item->traits;
    field_->setClearButtonMode(item->clearButtonMode);
    field_->setClearsOnBeginEditing(item->clearsOnBeginEditing);
    styleActionBar(item->traits.keyboardAppearance);
    setEnabled(item->enabled());
}

void FormTableViewTextCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    if (field_) layoutDetailView(*field_, 0);
    notifyWillLayoutSubviews();
}

void FormTableViewTextCell::setSelected(bool selected, bool animated) {
    FormTableViewCell::setSelected(selected, animated);
    if (selected && field_) field_->becomeFirstResponder();
}

void FormTableViewTextCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (field_) field_->setEnabled(e);
}

void FormTableViewTextCell::textFieldDidChange(UITextField& field) {
    auto item = textItem();
    if (!item) return;
    item->value = field.text();
    if (item->onChange) item->onChange(*item);
}

bool FormTableViewTextCell::textFieldShouldBeginEditing(UITextField& field) {
    auto keep = self<FormTableViewTextCell>();
    auto item = textItem();
    field.setReturnKeyType(indexPathForNextResponder()
                               ? UIReturnKeyType::Next
                               : (item ? item->traits.returnKeyType : UIReturnKeyType::Default));
    updateActionBarNavigationControl();
    if (auto table = parentTableView())
        table->scrollToRowAtIndexPath({static_cast<std::size_t>(sectionIndex()), static_cast<std::size_t>(rowIndex())},
                                      UITableViewScrollPosition::Top, true);
    if (item && item->onBeginEditing) item->onBeginEditing(*item);
    return true;
}

bool FormTableViewTextCell::shouldChangeCharactersInRange(UITextField& field, NSRange range, const std::string& text) {
    auto item = textItem();
    if (!item) return true;
    bool allowed = item->charactersLimit == 0 ||
                   utf16Length(field.text()) - std::min(range.length, utf16Length(field.text())) + utf16Length(text) <=
                       item->charactersLimit;
    if (allowed && item->onChangeCharacterInRange) return item->onChangeCharacterInRange(*item, range, text);
    return allowed;
}

bool FormTableViewTextCell::textFieldShouldReturn(UITextField&) {
    auto keep = self<FormTableViewTextCell>();
    auto item = textItem();
    if (item && item->onReturn) item->onReturn(*item);
    if (item && item->onEndEditing) item->onEndEditing(*item);
    auto next = indexPathForNextResponder();
    auto table = parentTableView();
    std::shared_ptr<FormTableViewCell> target;
    if (next && table) {
        if (!table->cellForRowAtIndexPath(*next))
            table->scrollToRowAtIndexPath(*next, UITableViewScrollPosition::Top, false);
        target = std::dynamic_pointer_cast<FormTableViewCell>(table->cellForRowAtIndexPath(*next));
    }
    if (target)
        target->becomeResponder();
    else
        endEditing(*this, true);
    return true;
}

bool FormTableViewTextCell::textFieldShouldEndEditing(UITextField&) {
    auto item = textItem();
    if (item && item->onEndEditing) item->onEndEditing(*item);
    return true;
}

// ---- number row ----

void FormTableViewNumberCell::cellDidLoad() {
    FormTableViewTextCell::cellDidLoad();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    installField(FormFormattedNumberField::make());
}

void FormTableViewNumberCell::cellWillAppear() {
    FormTableViewTextCell::cellWillAppear();
    auto item = std::dynamic_pointer_cast<FormNumberItem>(textItem());
    auto field = std::dynamic_pointer_cast<FormFormattedNumberField>(textField());
    if (!item || !field) return;
    showTitle(item->title);
    field->setText(form_string(item->value, item->format.value_or("")));
    field->setPlaceholder(item->placeholder.value_or(""));
    field->setFormat(item->format);
    field->setFont(UIFont::systemFontOfSize(kFieldFontSize));
    field->setKeyboardAppearance(item->traits.keyboardAppearance);
    field->setKeyboardType(UIKeyboardType::NumberPad);
    setEnabled(item->enabled());
}

void FormTableViewNumberCell::layoutSubviews() {
    FormTableViewTextCell::layoutSubviews();
    notifyWillLayoutSubviews();
}

void FormTableViewNumberCell::textFieldDidChange(UITextField& field) {
    auto item = textItem();
    auto number = dynamic_cast<FormFormattedNumberField*>(&field);
    if (!item || !number) return;
    item->value = number->unformattedText();
    if (item->onChange) item->onChange(*item);
}

void FormTableViewNumberCell::textFieldDidEndEditing(UITextField&) {
    auto item = textItem();
    if (item && item->onEndEditing) item->onEndEditing(*item);
}
