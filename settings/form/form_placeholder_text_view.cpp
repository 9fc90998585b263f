// The placeholder label: made on first need, placed inside the text's inset, shown while empty.
#include "settings/form/form_placeholder_text_view.h"

#include <algorithm>

#include "platform/dispatch/notification_center.h"
#include "platform/runtime/weak_bind.h"

namespace {
constexpr CGFloat kPlaceholderInset = 8;
}

void FormPlaceholderTextView::init() {
    UITextView::init();
    placeholderColor_ = UIColor::lightGrayColor();
    subscription_ = NSNotificationCenter::defaultCenter()->addObserver(
        UITextViewTextDidChangeNotification, nullptr, nullptr,
        weakBind(self<FormPlaceholderTextView>(), &FormPlaceholderTextView::textChanged));
}

FormPlaceholderTextView::~FormPlaceholderTextView() {
    if (subscription_) NSNotificationCenter::defaultCenter()->removeObserver(subscription_);
}

void FormPlaceholderTextView::setPlaceholder(std::string p) {
    placeholder_ = std::move(p);
    if (!placeholder_.empty() && !label_) {
        label_ = UILabel::make();
        label_->setNumberOfLines(0);
        label_->setLineBreakMode(NSLineBreakMode::ByWordWrapping);
        label_->setBackgroundColor(UIColor::clearColor());
        label_->setTag(kPlaceholderTag);
        label_->setAlpha(0);
        addSubview(label_);
    }
    if (label_) label_->setText(placeholder_);
    setNeedsLayout();
    textChanged();
}

void FormPlaceholderTextView::setPlaceholderColor(std::shared_ptr<UIColor> c) {
    placeholderColor_ = c ? std::move(c) : UIColor::lightGrayColor();
    // A colour given after the label exists reaches it too.
    if (label_) label_->setTextColor(placeholderColor_);
}

void FormPlaceholderTextView::setText(std::string text) {
    UITextView::setText(std::move(text));
    textChanged();
}

void FormPlaceholderTextView::layoutSubviews() {
    UITextView::layoutSubviews();
    if (placeholder_.empty() || !label_) return;
    label_->setFont(font());
    label_->setTextColor(placeholderColor_);
    label_->setTextAlignment(textAlignment());
    label_->setText(placeholder_);
    CGFloat width = std::max<CGFloat>(0, bounds().size.width - 2 * kPlaceholderInset);
    CGSize fit = label_->sizeThatFits({width, 10000});
    label_->setFrame(CGRectMake(kPlaceholderInset, kPlaceholderInset, width, fit.height));
    sendSubviewToBack(label_);
    textChanged();
}

void FormPlaceholderTextView::textChanged() {
    if (placeholder_.empty()) {
        if (label_) label_->setAlpha(0);
        return;
    }
    if (label_) label_->setAlpha(text().empty() ? 1 : 0);
}
