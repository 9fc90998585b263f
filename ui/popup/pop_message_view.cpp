// The centred message.
#include "ui/popup/pop_message_view.h"

#include "foundation/numeric.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/text/attributed_string.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/popup/text_measure_popup.h"

void PopMessageView::init() {
    PopTimedText::init();
    bg()->setBackgroundColor(UIColor::clearColor());
    bg()->setUserInteractionEnabled(false);
    setBgColor(popupRed());
    info_ = makePopupTextLabel();
    container()->addSubview(info_);
    addConstraintsFull(info_, container(), 0, 0, 0, 0);
    contHolder()->setUserInteractionEnabled(false);
}

CGSize PopMessageView::calcSize() const {
    auto root = rootView();
    const float rootWidth = root ? float(root->frame().size.width) : 0;
    const float limit = maxFloat(rootWidth - float(kTextMargin), float(kMinTextWidth));
    const CGSize text = measurePopupText(attributedText(), limit);
    const float tw = float(text.width), th = float(text.height);
    const bool single = !attributedText() || attributedText()->length() < 2;
    const float px = (noPadding_ && single) ? 0 : clampFloat(tw / 2, kMinPadding, kMaxPadding);
    const float py = noPadding_ ? 0 : clampFloat(th / 2, kMinPadding, kMaxPadding);
    // Never narrower than it is tall.
    return {maxFloat(minFloat(tw + px, limit), th + py), th + py};
}

void PopMessageView::updateView() {
    setSize(calcSize());
    info_->setAttributedText(attributedText());
}

void PopMessageView::tapEnable() {
    tapDisable();
    bg()->setUserInteractionEnabled(true);
    auto weak = std::weak_ptr<PopMessageView>(self<PopMessageView>());
    tap_ = UITapGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->onTap(r);
    });
    UIViewAddGestureRecognizer(*bg(), tap_);
}

void PopMessageView::tapDisable() {
    bg()->setUserInteractionEnabled(false);
    if (tap_) UIViewRemoveGestureRecognizer(*bg(), tap_);
    tap_.reset();
}

void PopMessageView::onTap(UIGestureRecognizer& recognizer) {
    if (tapOutsideContainer(recognizer)) hideInternal();
}

void PopMessageView::onTimerHide() {
    if (!hidden()) hideInternal();
}
