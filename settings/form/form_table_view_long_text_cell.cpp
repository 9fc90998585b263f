// The long-text row.
#include "settings/form/form_table_view_long_text_cell.h"

#include "platform/ui/layout/layout_constraint.h"
#include "settings/form/form_table_view_manager.h"

namespace {
constexpr CGFloat kPadding = 7;
constexpr CGFloat kPaddingWithMargin = 2;
constexpr CGFloat kFontSize = 17;
}  // namespace

bool FormTableViewLongTextCell::canFocusWithItem(const FormItem& item) {
    auto long_ = std::dynamic_pointer_cast<FormLongTextItem>(formItemObject(item));
    return long_ && long_->editable;
}

std::shared_ptr<UIView> FormTableViewLongTextCell::responder() const {
    auto item = longTextItem();
    return item && item->editable ? textView_ : nullptr;
}

bool FormTableViewLongTextCell::becomeResponder() {
    return responder() && textView_->becomeFirstResponder();
}

void FormTableViewLongTextCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    textLabel()->setBackgroundColor(UIColor::clearColor());
    textView_ = FormPlaceholderTextView::make();
    textView_->setTranslatesAutoresizingMaskIntoConstraints(false);
    textView_->setInputAccessoryView(actionBar());
    textView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    textView_->setBackgroundColor(UIColor::clearColor());
    textView_->setDelegate(std::static_pointer_cast<UITextViewDelegate>(self<FormTableViewLongTextCell>()));
    contentView()->addSubview(textView_);

    CGFloat padding = sectionStyle()->contentViewMargin <= 0 ? kPadding : kPaddingWithMargin;
    contentView()->removeConstraints(contentView()->constraints());
    std::map<std::string, std::shared_ptr<UIView>> views{{"textView", textView_}, {"label", textLabel()}};
    std::map<std::string, CGFloat> metrics{{"padding", padding}};
    contentView()->addConstraints(
        NSLayoutConstraint::constraintsWithVisualFormat("V:|[textView]-2-|", 0, metrics, views));
    contentView()->addConstraints(
        NSLayoutConstraint::constraintsWithVisualFormat("H:|-padding-[textView]-padding-|", 0, metrics, views));
}

void FormTableViewLongTextCell::cellWillAppear() {
    FormTableViewCell::cellWillAppear();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    auto item = longTextItem();
    if (!item) return;
    textView_->setEditable(item->editable);
    textView_->setInputAccessoryView(textView_->isEditable() ? actionBar() : nullptr);
    textView_->setText(item->value.value_or(""));
    textView_->setPlaceholder(item->placeholder.value_or(""));
    textView_->setPlaceholderColor(item->placeholderColor);
    textView_->setFont(UIFont::systemFontOfSize(kFontSize));
    textView_->traits() = item->traits;
    textView_->setNeedsDisplay();
    actionBar()->setBarStyle(item->traits.keyboardAppearance == UIKeyboardAppearance::Dark ? UIBarStyle::Black
                                                                                           : UIBarStyle::Default);
    setEnabled(item->enabled());
}

void FormTableViewLongTextCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    notifyWillLayoutSubviews();
}

void FormTableViewLongTextCell::setSelected(bool selected, bool animated) {
    FormTableViewCell::setSelected(selected, animated);
    if (selected) becomeResponder();
}

void FormTableViewLongTextCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (textView_) textView_->setUserInteractionEnabled(e);
}

bool FormTableViewLongTextCell::textViewShouldBeginEditing(UITextView&) {
    auto keep = self<FormTableViewLongTextCell>();
    updateActionBarNavigationControl();
    if (auto table = parentTableView())
        table->scrollToRowAtIndexPath({static_cast<std::size_t>(sectionIndex()), static_cast<std::size_t>(rowIndex())},
                                      UITableViewScrollPosition::Top, true);
    auto item = longTextItem();
    if (item && item->onBeginEditing) item->onBeginEditing(*item);
    return true;
}

void FormTableViewLongTextCell::textViewDidChange(UITextView& view) {
    auto item = longTextItem();
    if (!item) return;
    item->value = view.text();
    if (item->onChange) item->onChange(*item);
}

bool FormTableViewLongTextCell::shouldChangeTextInRange(UITextView& view, NSRange, const std::string& text) {
    auto item = longTextItem();
    if (item && item->onReturn && text == "\n") {
        auto keep = self<FormTableViewLongTextCell>();
        view.resignFirstResponder(false);
        item->onReturn(*item);
        return false;
    }
    return true;
}

bool FormTableViewLongTextCell::textViewShouldEndEditing(UITextView&) {
    auto item = longTextItem();
    if (item && item->onEndEditing) item->onEndEditing(*item);
    return true;
}
