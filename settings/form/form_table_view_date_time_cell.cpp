// Date and time row and inline date picker row.
#include "settings/form/form_table_view_date_time_cell.h"

#include "platform/dispatch/clock.h"
#include "settings/form/form_inline_row.h"
#include "settings/form/form_string_measure.h"
#include "settings/form/form_value_labels.h"

namespace {
CGFloat textWidth(const UILabel& label) { return form_sizeWithFont(label.text().value_or(""), label.font()).width; }

template <class Cell>
std::function<void(UIControl&)> pickerRelay(const std::shared_ptr<Cell>& cell) {
    std::weak_ptr<Cell> weak = cell;
    return [weak](UIControl&) {
        if (auto c = weak.lock()) c->datePickerValueDidChange();
    };
}
}  // namespace

std::shared_ptr<UIColor> FormTableViewDateTimeCell::detailTextLabelColor() {
    return UIColor::colorWithRed(0.556863, 0.556863, 0.576471, 1);
}

bool FormTableViewDateTimeCell::canFocusWithItem(const FormItem& item) {
    auto date = std::dynamic_pointer_cast<FormDateTimeItem>(formItemObject(item));
    return date && !date->inlineDatePicker;
}

void FormTableViewDateTimeCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    textLabel()->setBackgroundColor(UIColor::clearColor());
    textField_ = UITextField::make(CGRectZero);
    textField_->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
    textField_->setInputAccessoryView(actionBar());
    textField_->setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self<FormTableViewDateTimeCell>()));
    addSubview(textField_);
    dateLabel_ = formValueLabel(detailTextLabelColor());
    dateLabel_->setTextAlignment(NSTextAlignment::Right);
    dateLabel_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    contentView()->addSubview(dateLabel_);
    placeholderLabel_ = formValueLabel(UIColor::lightGrayColor());
    contentView()->addSubview(placeholderLabel_);
    picker_ = UIDatePicker::make();
    picker_->addAction(pickerRelay(self<FormTableViewDateTimeCell>()), UIControlEventValueChanged);
}

void FormTableViewDateTimeCell::showValue() {
    auto item = dateItem();
    if (!item) return;
    formShowValue(*dateLabel_, *placeholderLabel_, item->value ? formatter_.stringFromDate(*item->value) : "",
                  item->placeholder, item->title);
    setNeedsLayout();
}

void FormTableViewDateTimeCell::cellWillAppear() {
    auto item = dateItem();
    if (!item) return;
    showTitle(item->title);
    textField_->setInputView(picker_);
    item->configurePicker(*picker_);
    picker_->setDate(item->value.value_or(item->pickerStartDate.value_or(Clock::absoluteTime())));
    item->configureFormatter(formatter_);
    showValue();
    dateLabel_->setTextColor(item->inlinePickerItem ? tintColor() : detailTextLabelColor());
    setEnabled(item->enabled());
}

void FormTableViewDateTimeCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    textField_->setFrame(CGRectZero);
    textField_->setAlpha(0);
    layoutDetailView(*dateLabel_, textWidth(*dateLabel_));
    layoutDetailView(*placeholderLabel_, textWidth(*placeholderLabel_));
    notifyWillLayoutSubviews();
}

void FormTableViewDateTimeCell::setSelected(bool selected, bool animated) {
    FormTableViewCell::setSelected(selected, animated);
    auto item = dateItem();
    if (!selected || !item) return;
    if (!item->inlineDatePicker) {
        if (!beginning_) textField_->becomeFirstResponder();
        return;
    }
    auto keep = self<FormTableViewDateTimeCell>();
    bool open = formToggleInlineRow<FormInlineDatePickerItem, FormDateTimeItem>(
        *this, item, item->inlinePickerItem, &FormInlineDatePickerItem::itemWithDateTimeItem);
    dateLabel_->setTextColor(open ? tintColor() : detailTextLabelColor());
}

void FormTableViewDateTimeCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (!textField_) return;
    textField_->setEnabled(e);
    dateLabel_->setEnabled(e);
    placeholderLabel_->setEnabled(e);
    picker_->setEnabled(e);
}

void FormTableViewDateTimeCell::datePickerValueDidChange() {
    auto item = dateItem();
    if (!item) return;
    item->value = picker_->date();
    showValue();
    if (item->onChange) item->onChange(*item);
}

bool FormTableViewDateTimeCell::textFieldShouldBeginEditing(UITextField& field) {
    auto keep = self<FormTableViewDateTimeCell>();
    beginning_ = true;
    formBeginRowEditing(*this, field);
    beginning_ = false;
    return true;
}

bool FormTableViewDateTimeCell::textFieldShouldEndEditing(UITextField&) {
    setSelected(false, false);
    auto item = dateItem();
    if (!item) return true;
    item->deselectRowAnimated(false);
    // The shown moment is kept even when the picker was never turned.
    item->value = picker_->date();
    showValue();
    return true;
}

// ---- inline date picker row ----

void FormTableViewInlineDatePickerCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    picker_ = UIDatePicker::make();
    picker_->addAction(pickerRelay(self<FormTableViewInlineDatePickerCell>()), UIControlEventValueChanged);
    contentView()->addSubview(picker_);
}

void FormTableViewInlineDatePickerCell::cellWillAppear() {
    FormTableViewCell::cellWillAppear();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    auto item = inlineItem();
    auto owner = item ? item->dateTimeItem() : nullptr;
    if (owner) {
        owner->configurePicker(*picker_);
        picker_->setDate(owner->value.value_or(Clock::absoluteTime()));
    }
    if (item) setEnabled(item->enabled());
}

void FormTableViewInlineDatePickerCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    picker_->setFrame(bounds());
    notifyWillLayoutSubviews();
}

void FormTableViewInlineDatePickerCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (picker_) picker_->setUserInteractionEnabled(e);
}

void FormTableViewInlineDatePickerCell::datePickerValueDidChange() {
    auto item = inlineItem();
    auto owner = item ? item->dateTimeItem() : nullptr;
    if (!owner) return;
    owner->value = picker_->date();
    if (owner->onChange) owner->onChange(*owner);
    owner->reloadRowWithAnimation(UITableViewRowAnimation::None);
}
