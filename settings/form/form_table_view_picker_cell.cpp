// Picker row and inline picker row.
#include "settings/form/form_table_view_picker_cell.h"

#include "settings/form/form_inline_row.h"
#include "settings/form/form_string_measure.h"
#include "settings/form/form_table_view_manager.h"
#include "settings/form/form_value_labels.h"

namespace {
CGFloat textWidth(const UILabel& label) {
    return form_sizeWithFont(label.text().value_or(""), label.font()).width;
}
}  // namespace

bool FormTableViewPickerCell::canFocusWithItem(const FormItem& item) {
    auto picker = std::dynamic_pointer_cast<FormPickerItem>(formItemObject(item));
    return picker && !picker->inlinePicker;
}

void FormTableViewPickerCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    textLabel()->setBackgroundColor(UIColor::clearColor());
    textField_ = UITextField::make(CGRectZero);
    textField_->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
    textField_->setInputAccessoryView(actionBar());
    textField_->setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self<FormTableViewPickerCell>()));
    addSubview(textField_);
    valueLabel_ = formValueLabel(detailTextLabel()->textColor());
    valueLabel_->setTextAlignment(NSTextAlignment::Right);
    valueLabel_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    contentView()->addSubview(valueLabel_);
    placeholderLabel_ = formValueLabel(UIColor::lightGrayColor());
    contentView()->addSubview(placeholderLabel_);
    std::weak_ptr<FormTableViewPickerCell> weak = self<FormTableViewPickerCell>();
    wheel_ = std::make_shared<FormPickerWheel>(
        [weak] {
            auto cell = weak.lock();
            return cell ? cell->pickerItem() : nullptr;
        },
        [weak] {
            if (auto cell = weak.lock()) cell->showValue();
        });
    picker_ = UIPickerView::make();
    picker_->setDataSource(wheel_);
    picker_->setDelegate(wheel_);
}

void FormTableViewPickerCell::showValue() {
    auto item = pickerItem();
    if (!item) return;
    formShowValue(*valueLabel_, *placeholderLabel_, item->valueText(), item->placeholder, item->title);
    setNeedsLayout();
}

void FormTableViewPickerCell::cellWillAppear() {
    auto item = pickerItem();
    if (!item) return;
    showTitle(item->title);
    imageView()->setImage(item->image);
    imageView()->setHighlightedImage(item->highlightedImage);
    textField_->setInputView(picker_);
    picker_->reloadAllComponents();
    showValue();
    setEnabled(item->enabled());
}

void FormTableViewPickerCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    textField_->setFrame(CGRectZero);
    textField_->setAlpha(0);
    layoutDetailView(*valueLabel_, textWidth(*valueLabel_));
    layoutDetailView(*placeholderLabel_, textWidth(*placeholderLabel_));
    notifyWillLayoutSubviews();
}

void FormTableViewPickerCell::setSelected(bool selected, bool animated) {
    FormTableViewCell::setSelected(selected, animated);
    auto item = pickerItem();
    if (!selected || !item) return;
    if (!item->inlinePicker) {
        if (!beginning_) textField_->becomeFirstResponder();
        wheel_->showValue(*picker_);
        return;
    }
    auto keep = self<FormTableViewPickerCell>();
    if (item->inlinePickerItem) valueLabel_->setTextColor(detailTextLabel()->textColor());
    formToggleInlineRow<FormInlinePickerItem, FormPickerItem>(*this, item, item->inlinePickerItem,
                                                               &FormInlinePickerItem::itemWithPickerItem);
}

void FormTableViewPickerCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (!textField_) return;
    textField_->setEnabled(e);
    valueLabel_->setEnabled(e);
    placeholderLabel_->setEnabled(e);
    picker_->setUserInteractionEnabled(e);
}

void FormTableViewPickerCell::shouldUpdateItemValue() {
    wheel_->readValue(*picker_);
    showValue();
}

bool FormTableViewPickerCell::textFieldShouldBeginEditing(UITextField& field) {
    auto keep = self<FormTableViewPickerCell>();
    beginning_ = true;
    formBeginRowEditing(*this, field);
    beginning_ = false;
    return true;
}

bool FormTableViewPickerCell::textFieldShouldEndEditing(UITextField&) {
    setSelected(false, false);
    if (auto item = pickerItem()) item->deselectRowAnimated(false);
    shouldUpdateItemValue();
    return true;
}

// ---- inline wheel row ----

void FormTableViewInlinePickerCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    std::weak_ptr<FormTableViewInlinePickerCell> weak = self<FormTableViewInlinePickerCell>();
    wheel_ = std::make_shared<FormPickerWheel>(
        [weak]() -> std::shared_ptr<FormPickerItem> {
            auto cell = weak.lock();
            auto inlineItem = cell ? cell->inlineItem() : nullptr;
            return inlineItem ? inlineItem->pickerItem() : nullptr;
        },
        [weak] {
            auto cell = weak.lock();
            auto inlineItem = cell ? cell->inlineItem() : nullptr;
            if (auto owner = inlineItem ? inlineItem->pickerItem() : nullptr)
                owner->reloadRowWithAnimation(UITableViewRowAnimation::None);
        });
    picker_ = UIPickerView::make();
    picker_->setDataSource(wheel_);
    picker_->setDelegate(wheel_);
    contentView()->addSubview(picker_);
}

void FormTableViewInlinePickerCell::cellWillAppear() {
    FormTableViewCell::cellWillAppear();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    picker_->reloadAllComponents();
    wheel_->showValue(*picker_);
    if (auto item = inlineItem()) setEnabled(item->enabled());
}

void FormTableViewInlinePickerCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    picker_->setFrame(bounds());
    notifyWillLayoutSubviews();
}

void FormTableViewInlinePickerCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (picker_) picker_->setUserInteractionEnabled(e);
}

void FormTableViewInlinePickerCell::shouldUpdateItemValue() {
    wheel_->readValue(*picker_);
    auto item = inlineItem();
    if (auto owner = item ? item->pickerItem() : nullptr) owner->reloadRowWithAnimation(UITableViewRowAnimation::None);
}
