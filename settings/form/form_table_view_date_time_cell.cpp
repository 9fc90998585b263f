// Date and time row and inline date picker row.
#include "settings/form/form_table_view_date_time_cell.h"

#include "platform/dispatch/clock.h"
#include "platform/runtime/weak_bind.h"
#include "settings/form/form_inline_row.h"

std::shared_ptr<UIColor> FormTableViewDateTimeCell::detailTextLabelColor() {
    return UIColor::colorWithRed(0.556863, 0.556863, 0.576471, 1);
}

bool FormTableViewDateTimeCell::canFocusWithItem(const FormItem& item) {
    auto date = std::dynamic_pointer_cast<FormDateTimeItem>(formItemObject(item));
    return date && !date->inlineDatePicker;
}

bool FormTableViewDateTimeCell::editsInline() const {
    auto item = dateItem();
    return item && item->inlineDatePicker;
}

void FormTableViewDateTimeCell::cellDidLoad() {
    FormInlineEditorCell::cellDidLoad();
    picker_ = UIDatePicker::make();
    picker_->addAction(
        weakBind(self<FormTableViewDateTimeCell>(), &FormTableViewDateTimeCell::datePickerValueDidChange),
        UIControlEventValueChanged);
}

void FormTableViewDateTimeCell::showValue() {
    auto item = dateItem();
    if (!item) return;
    FormInlineEditorCell::showValue(item->value ? formatter_.stringFromDate(*item->value) : "", item->placeholder,
                                    item->title);
}

void FormTableViewDateTimeCell::cellWillAppear() {
    auto item = dateItem();
    if (!item) return;
    showTitle(item->title);
    textField()->setInputView(picker_);
    item->configurePicker(*picker_);
    picker_->setDate(item->value.value_or(item->pickerStartDate.value_or(Clock::absoluteTime())));
    item->configureFormatter(formatter_);
    showValue();
    valueLabel()->setTextColor(item->inlinePickerItem ? tintColor() : detailTextLabelColor());
    setEnabled(item->enabled());
}

void FormTableViewDateTimeCell::toggleInlineRow() {
    auto item = dateItem();
    bool open = formToggleInlineRow<FormInlineDatePickerItem, FormDateTimeItem>(
        *this, item, item->inlinePickerItem, &FormInlineDatePickerItem::itemWithDateTimeItem);
    valueLabel()->setTextColor(open ? tintColor() : detailTextLabelColor());
}

void FormTableViewDateTimeCell::setEditorEnabled(bool e) {
    picker_->setEnabled(e);
}

void FormTableViewDateTimeCell::datePickerValueDidChange() {
    auto item = dateItem();
    if (!item) return;
    item->value = picker_->date();
    showValue();
    if (item->onChange) item->onChange(*item);
}

void FormTableViewDateTimeCell::commitEditorValue() {
    auto item = dateItem();
    if (!item) return;
    item->value = picker_->date();
    showValue();
}

// ---- inline date picker row ----

void FormTableViewInlineDatePickerCell::cellDidLoad() {
    FormInlineEditorRowCell::cellDidLoad();
    picker_ = UIDatePicker::make();
    picker_->addAction(weakBind(self<FormTableViewInlineDatePickerCell>(),
                                &FormTableViewInlineDatePickerCell::datePickerValueDidChange),
                       UIControlEventValueChanged);
    setEditor(picker_);
}

void FormTableViewInlineDatePickerCell::cellWillAppear() {
    FormInlineEditorRowCell::cellWillAppear();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    auto item = inlineItem();
    auto owner = item ? item->dateTimeItem() : nullptr;
    if (owner) {
        owner->configurePicker(*picker_);
        picker_->setDate(owner->value.value_or(Clock::absoluteTime()));
    }
    if (item) setEnabled(item->enabled());
}

void FormTableViewInlineDatePickerCell::datePickerValueDidChange() {
    auto item = inlineItem();
    auto owner = item ? item->dateTimeItem() : nullptr;
    if (!owner) return;
    owner->value = picker_->date();
    if (owner->onChange) owner->onChange(*owner);
    owner->reloadRowWithAnimation(UITableViewRowAnimation::None);
}
