// The licence text screen.
#include "settings/licenses/acknowledgement_view_controller.h"

#include "platform/ui/text/ui_font.h"

void AcknowledgementViewController::init() {
    UIViewController::init();
    setTitle(title0_);
}

void AcknowledgementViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    auto textView = UITextView::make(view()->bounds());
    textView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    textView->setFont(UIFont::preferredFontForTextStyle(UIFontTextStyleBody));
    textView->setAlwaysBounceVertical(true);
    textView->setEditable(false);
    textView->setDataDetectorTypes(UIDataDetectorTypeLink);
    textView->setTextContainerInset(UIEdgeInsets{kVerticalInset, kSideInset, kVerticalInset, kSideInset});
    view()->addSubview(textView);
    textView_ = textView;
}

void AcknowledgementViewController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    auto textView = textView_.lock();
    if (!textView) return;
    updateTextViewInsets(*textView);
    if (textView->text() != text_) textView->setText(text_);
}

void AcknowledgementViewController::viewLayoutMarginsDidChange() {
    UIViewController::viewLayoutMarginsDidChange();
    if (auto textView = textView_.lock()) updateTextViewInsets(*textView);
}

void AcknowledgementViewController::updateTextViewInsets(UITextView& textView) {
    UIEdgeInsets margins = view()->layoutMargins();
    textView.setTextContainerInset(UIEdgeInsets{kVerticalInset, margins.left, kVerticalInset, margins.right});
}
