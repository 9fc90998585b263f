// The indicator view: picks the builder for its type, builds into its animation layer and freezes
// or runs the result through that layer's speed.
#include "widgets/indicator/busy_indicator_view.h"

#include "platform/ui/animation/ca_transaction.h"
#include "widgets/indicator/indicator_types.h"

std::shared_ptr<BusyIndicatorView> BusyIndicatorView::make(std::uint64_t type, std::shared_ptr<UIColor> tintColor,
                                                           CGFloat size) {
    return ::make<BusyIndicatorView>(type, tintColor ? std::move(tintColor) : UIColor::whiteColor(), size);
}

void BusyIndicatorView::init() {
    UIView::init();
    commonInit();
}

void BusyIndicatorView::initWithCoder(const NSCoder& coder) {
    UIView::init();
    decodeViewProperties(coder);
    commonInit();
}

void BusyIndicatorView::commonInit() {
    setUserInteractionEnabled(false);
    setHidden(true);
    animationLayer_ = CALayer::make();
    layer()->addSublayer(animationLayer_);
    setContentHuggingPriority(UILayoutPriorityRequired, UILayoutConstraintAxis::Horizontal);
    setContentHuggingPriority(UILayoutPriorityRequired, UILayoutConstraintAxis::Vertical);
}

std::shared_ptr<BusyIndicatorAnimation> BusyIndicatorView::activityIndicatorAnimationForAnimationType(
    std::uint64_t type) {
    return makeIndicatorAnimation(type);
}

void BusyIndicatorView::setupAnimation() {
    CATransactionWithoutActions quiet;
    animationLayer_->setSublayers({});
    // A box of no size (or a negative or NaN one) is an empty indicator, like an unknown type.
    if (!(size_ > 0)) return;
    auto animation = activityIndicatorAnimationForAnimationType(type_);
    if (!animation) return;  // nothing built; the speed stays as it was
    animation->setupAnimationInLayer(animationLayer_, {size_, size_}, tint_);
    animationLayer_->setSpeed(0);
}

void BusyIndicatorView::startAnimating() {
    if (animationLayer_->sublayers().empty()) setupAnimation();
    setHidden(false);
    animationLayer_->setSpeed(1);
    animating_ = true;
}

void BusyIndicatorView::stopAnimating() {
    animationLayer_->setSpeed(0);
    animating_ = false;
    setHidden(true);
}

void BusyIndicatorView::setType(std::uint64_t type) {
    if (type == type_) return;
    type_ = type;
    setupAnimation();
}

void BusyIndicatorView::setSize(CGFloat size) {
    if (size == size_) return;
    size_ = size;
    setupAnimation();
    invalidateIntrinsicContentSize();
}

void BusyIndicatorView::setTintColor(std::shared_ptr<UIColor> color) {
    if (!color || (tint_ && tint_->isEqual(*color))) return;
    tint_ = std::move(color);
    CGColor c = tint_->cgColor();
    for (const auto& sub : animationLayer_->sublayers()) {
        sub->setBackgroundColor(c);
        if (auto shape = std::dynamic_pointer_cast<CAShapeLayer>(sub)) {
            shape->setStrokeColor(c);
            shape->setFillColor(c);
        }
    }
}

void BusyIndicatorView::layoutSubviews() {
    UIView::layoutSubviews();
    {
        CATransactionWithoutActions quiet;
        animationLayer_->setFrame(bounds());
    }
    // The builders centre their box in the layer's bounds as they find them, so every layout
    // rebuilds; a running view goes on running.
    if (animating_) {
        stopAnimating();
        setupAnimation();
        startAnimating();
    } else {
        setupAnimation();
    }
}
