// The tip bubble.
#include "ui/popup/pop_text_view.h"

#include "foundation/numeric.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/popup/text_measure_popup.h"

namespace {
constexpr CGFloat kInfoInset = 5;
constexpr CGSize kInitialSize{100, 100};
}  // namespace

void PopTextView::init() {
    PopTimedText::init();
    bg()->setBackgroundColor(UIColor::clearColor());
    bg()->setUserInteractionEnabled(false);
    setBgColor(popupRed());
    info_ = makePopupTextLabel();
    info_->setUserInteractionEnabled(false);
    container()->addSubview(info_);
    addConstraintsFull(info_, container(), kInfoInset, 0, -kInfoInset, 0);
}

void PopTextView::updateView() {
    setSize(kInitialSize);
    auto root = rootView();
    const float rootWidth = root ? float(root->frame().size.width) : 0;
    const CGFloat limit = maxFloat(rootWidth - float(kTextMargin), float(kMinTextWidth));
    const CGSize text = measurePopupText(attributedText(), limit);
    setSize({text.width + kPadding, text.height + kPadding});
    info_->setAttributedText(attributedText());
}

void PopTextView::tapEnable() {
    tapDisable();
    auto weak = std::weak_ptr<PopTextView>(self<PopTextView>());
    auto onTap = [weak](UIGestureRecognizer&) {
        if (auto s = weak.lock()) s->hideInternal();
    };
    bg()->setUserInteractionEnabled(true);
    tapBG_ = UITapGestureRecognizer::make(onTap);
    UIViewAddGestureRecognizer(*bg(), tapBG_);
    tapInfo_ = UITapGestureRecognizer::make(onTap);
    UIViewAddGestureRecognizer(*info_, tapInfo_);
    info_->setUserInteractionEnabled(true);
}

void PopTextView::tapDisable() {
    bg()->setUserInteractionEnabled(false);
    info_->setUserInteractionEnabled(false);
    if (tapBG_) UIViewRemoveGestureRecognizer(*bg(), tapBG_);
    if (tapInfo_) UIViewRemoveGestureRecognizer(*info_, tapInfo_);
    tapBG_.reset();
    tapInfo_.reset();
}
