// Picker row and inline picker row.
#include "settings/form/form_table_view_picker_cell.h"

#include "platform/runtime/weak_bind.h"
#include "settings/form/form_inline_row.h"
#include "settings/form/form_table_view_manager.h"

bool FormTableViewPickerCell::canFocusWithItem(const FormItem& item) {
    auto picker = std::dynamic_pointer_cast<FormPickerItem>(formItemObject(item));
    return picker && !picker->inlinePicker;
}

bool FormTableViewPickerCell::editsInline() const {
    auto item = pickerItem();
    return item && item->inlinePicker;
}

void FormTableViewPickerCell::cellDidLoad() {
    FormInlineEditorCell::cellDidLoad();
    std::weak_ptr<FormTableViewPickerCell> weak = self<FormTableViewPickerCell>();
    wheel_ = std::make_shared<FormPickerWheel>(
        [weak] {
            auto cell = weak.lock();
            return cell ? cell->pickerItem() : nullptr;
        },
        weakBind(self<FormTableViewPickerCell>(), &FormTableViewPickerCell::showValue));
    picker_ = UIPickerView::make();
    picker_->setDataSource(wheel_);
    picker_->setDelegate(wheel_);
}

void FormTableViewPickerCell::showValue() {
    auto item = pickerItem();
    if (!item) return;
    FormInlineEditorCell::showValue(item->valueText(), item->placeholder, item->title);
}

void FormTableViewPickerCell::cellWillAppear() {
    auto item = pickerItem();
    if (!item) return;
    showTitle(item->title);
    imageView()->setImage(item->image);
    imageView()->setHighlightedImage(item->highlightedImage);
    textField()->setInputView(picker_);
    picker_->reloadAllComponents();
    showValue();
    setEnabled(item->enabled());
}

void FormTableViewPickerCell::toggleInlineRow() {
    auto item = pickerItem();
    if (item->inlinePickerItem) valueLabel()->setTextColor(detailTextLabel()->textColor());
    formToggleInlineRow<FormInlinePickerItem, FormPickerItem>(*this, item, item->inlinePickerItem,
                                                              &FormInlinePickerItem::itemWithPickerItem);
}

void FormTableViewPickerCell::shouldUpdateItemValue() {
    wheel_->readValue(*picker_);
    showValue();
}

// ---- inline wheel row ----

std::shared_ptr<FormPickerItem> FormTableViewInlinePickerCell::ownerItem() const {
    auto item = inlineItem();
    return item ? item->pickerItem() : nullptr;
}

void FormTableViewInlinePickerCell::reloadOwnerRow() {
    if (auto owner = ownerItem()) owner->reloadRowWithAnimation(UITableViewRowAnimation::None);
}

void FormTableViewInlinePickerCell::cellDidLoad() {
    FormInlineEditorRowCell::cellDidLoad();
    std::weak_ptr<FormTableViewInlinePickerCell> weak = self<FormTableViewInlinePickerCell>();
    wheel_ = std::make_shared<FormPickerWheel>(
        [weak]() -> std::shared_ptr<FormPickerItem> {
            auto cell = weak.lock();
            return cell ? cell->ownerItem() : nullptr;
        },
        weakBind(self<FormTableViewInlinePickerCell>(), &FormTableViewInlinePickerCell::reloadOwnerRow));
    picker_ = UIPickerView::make();
    picker_->setDataSource(wheel_);
    picker_->setDelegate(wheel_);
    setEditor(picker_);
}

void FormTableViewInlinePickerCell::cellWillAppear() {
    FormInlineEditorRowCell::cellWillAppear();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    picker_->reloadAllComponents();
    wheel_->showValue(*picker_);
    if (auto item = inlineItem()) setEnabled(item->enabled());
}

void FormTableViewInlinePickerCell::shouldUpdateItemValue() {
    wheel_->readValue(*picker_);
    reloadOwnerRow();
}
