// The flashed caption.
#include "ui/controls/message_view.h"

#include <algorithm>

#include "foundation/text_measure.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"

namespace {
constexpr CGFloat kPadding = 20;
constexpr long kLines = 4;
constexpr double kCornerRadius = 8;
}  // namespace

void MessageView::init() {
    if (auto parent = parent_.lock()) parent->addSubview(label());
}

const std::shared_ptr<UILabel>& MessageView::label() {
    if (!label_) {
        label_ = UILabel::make();
        label_->setNumberOfLines(kLines);
        label_->setHidden(true);
        label_->setTextAlignment(NSTextAlignment::Center);
        label_->layer()->setCornerRadius(kCornerRadius);
        label_->layer()->setMasksToBounds(true);
        label_->layer()->setShadowColor(UIColor::blackColor()->cgColor());
        label_->layer()->setShadowOpacity(0.5);
        label_->layer()->setShadowOffset({1, 1});
        label_->setTextColor(UIColor::whiteColor());
        label_->setBackgroundColor(UIColor::blackColor());
    }
    return label_;
}

void MessageView::showNormal(const std::string& text, bool landscape) {
    show(text, landscape, fontNormal_);
}
void MessageView::showBig(const std::string& text, bool landscape) {
    show(text, landscape, fontBig_);
}

void MessageView::show(const std::string& text, bool landscape, const std::shared_ptr<UIFont>& font) {
    if (auto parent = parent_.lock()) parent->bringSubviewToFront(label());
    label()->setFont(font);
    showMessage0(text, landscape);
    hide();
}

void MessageView::showMessage0(const std::string& text, bool landscape) {
    auto parent = parent_.lock();
    if (!parent) return;
    const auto& l = label();
    l->setTransform(transform_);
    l->setText(text);
    const CGSize area = parent->frame().size;
    const CGSize measured = boundingSize(text, l->font(), area);
    const CGFloat w = measured.width + kPadding, h = measured.height + kPadding;
    const CGFloat m = std::max(w, h);
    const CGSize size = landscape ? CGSize{h, m} : CGSize{m, h};
    l->setFrame({{(area.width - size.width) / 2, (area.height - size.height) / 2}, size});
    l->layer()->setCornerRadius(h / 2);  // a pill
    l->setHidden(false);
    l->setAlpha(kShownAlpha);
    parent->bringSubviewToFront(l);
}

void MessageView::hide() {
    std::weak_ptr<UILabel> weak = label();
    UIViewAnimation::animate(kFadeDuration, kHoldDelay, UIViewAnimationOptionCurveEaseInOut, [weak] {
        if (auto l = weak.lock()) l->setAlpha(0);
    });
}

void MessageView::hideNow() {
    label()->setHidden(true);
}
