// Blur and vibrancy effects shown through a backdrop layer.
#include "platform/ui/view/ui_visual_effect_view.h"

#include "platform/ui/layer/ca_backdrop_layer.h"

std::shared_ptr<UIBlurEffect> UIBlurEffect::effectWithStyle(UIBlurEffectStyle style) {
    return make<UIBlurEffect>(style);
}

CGFloat UIBlurEffect::blurRadius() const {
    return style_ == UIBlurEffectStyle::ExtraLight ? 12 : 10;
}

CGColor UIBlurEffect::tintColor() const {
    switch (style_) {
        case UIBlurEffectStyle::ExtraLight: return CGColor::rgb(0.97, 0.97, 0.97, 0.8);
        case UIBlurEffectStyle::Dark: return CGColor::rgb(0.11, 0.11, 0.11, 0.73);
        case UIBlurEffectStyle::Prominent: return CGColor::rgb(0.92, 0.92, 0.92, 0.75);
        default: return CGColor::rgb(0.97, 0.97, 0.97, 0.3);
    }
}

std::shared_ptr<UIVibrancyEffect> UIVibrancyEffect::effectForBlurEffect(std::shared_ptr<UIBlurEffect> blur) {
    return make<UIVibrancyEffect>(std::move(blur));
}

std::shared_ptr<CALayer> UIVisualEffectView::makeLayer() const {
    return CABackdropLayer::make();
}

void UIVisualEffectView::init() {
    UIView::init();
    contentView_ = UIView::make(bounds());
    contentView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    addSubview(contentView_);
    applyEffect();
}

void UIVisualEffectView::setEffect(std::shared_ptr<UIVisualEffect> effect) {
    effect_ = std::move(effect);
    applyEffect();
}

void UIVisualEffectView::applyEffect() {
    auto backdrop = std::static_pointer_cast<CABackdropLayer>(layer());
    if (auto blur = std::dynamic_pointer_cast<UIBlurEffect>(effect_)) {
        backdrop->setKind(CABackdropKind::Blur);
        backdrop->setBlurRadius(blur->blurRadius());
        backdrop->setTintColor(blur->tintColor());
    } else if (auto vibrancy = std::dynamic_pointer_cast<UIVibrancyEffect>(effect_)) {
        backdrop->setKind(CABackdropKind::Vibrancy);
        backdrop->setBlurRadius(0);
        backdrop->setTintColor(vibrancy->blurEffect() ? std::optional<CGColor>(vibrancy->blurEffect()->tintColor())
                                                      : std::nullopt);
    } else {
        // No effect: a plain container.
        backdrop->setKind(CABackdropKind::Blur);
        backdrop->setBlurRadius(0);
        backdrop->setTintColor(std::nullopt);
    }
}
