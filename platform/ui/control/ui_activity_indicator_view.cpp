// Activity indicator: twelve fading spokes in shape layers, turned in steps by a key-frame animation.
#include "platform/ui/control/ui_activity_indicator_view.h"

#include <cmath>
#include <limits>

#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/layer/ca_shape_layer.h"

namespace {
constexpr int kSpokes = 12;
constexpr const char* kSpinKey = "spin";
}  // namespace

std::shared_ptr<UIActivityIndicatorView> UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle style) {
    auto v = UIActivityIndicatorView::make();
    v->setActivityIndicatorViewStyle(style);
    return v;
}

void UIActivityIndicatorView::init() {
    UIView::init();
    setUserInteractionEnabled(false);
    spinner_ = CALayer::make();
    layer()->addSublayer(spinner_);
    if (frame().size == CGSizeZero) setFrame({frame().origin, intrinsicContentSize()});
    rebuild();
    setHidden(true);
}

bool UIActivityIndicatorView::large() const {
    return style_ == UIActivityIndicatorViewStyle::WhiteLarge || style_ == UIActivityIndicatorViewStyle::Large;
}

CGSize UIActivityIndicatorView::intrinsicContentSize() const {
    return large() ? CGSize{37, 37} : CGSize{20, 20};
}

void UIActivityIndicatorView::setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle s) {
    style_ = s;
    invalidateIntrinsicContentSize();
    rebuild();
}

void UIActivityIndicatorView::setColor(std::shared_ptr<UIColor> c) {
    color_ = std::move(c);
    rebuild();
}

void UIActivityIndicatorView::setHidesWhenStopped(bool h) {
    hidesWhenStopped_ = h;
    if (!animating_) setHidden(h);
}

void UIActivityIndicatorView::rebuild() {
    auto color = color_;
    if (!color) {
        bool gray = style_ == UIActivityIndicatorViewStyle::Gray || style_ == UIActivityIndicatorViewStyle::Medium ||
                    style_ == UIActivityIndicatorViewStyle::Large;
        color = gray ? UIColor::grayColor() : UIColor::whiteColor();
    }
    CGSize size = intrinsicContentSize();
    CGFloat r = size.width / 2;
    spinner_->setSublayers({});
    spinner_->setBounds({{0, 0}, size});
    // Centred at once: a view that no layout pass reaches still shows its spokes in its middle.
    spinner_->setPosition({CGRectGetMidX(bounds()), CGRectGetMidY(bounds())});
    for (int i = 0; i < kSpokes; ++i) {
        auto spoke = CAShapeLayer::make();
        CGPath p;
        p.moveToPoint({r, r * 0.45});
        p.addLineToPoint({r, r * 0.05});
        spoke->setPath(p);
        spoke->setFrame({{0, 0}, size});
        spoke->setFillColor(std::nullopt);
        spoke->setStrokeColor(color->cgColor());
        spoke->setLineWidth(large() ? 3 : 2);
        spoke->setLineCap(CGLineCap::Round);
        spoke->setOpacity(0.25f + 0.75f * float(kSpokes - i) / kSpokes);
        spoke->setTransform(CATransform3DMakeRotation(-2 * M_PI * i / kSpokes, 0, 0, 1));
        spinner_->addSublayer(spoke);
    }
    setNeedsLayout();
}

void UIActivityIndicatorView::layoutSubviews() {
    UIView::layoutSubviews();
    CGRect b = bounds();
    spinner_->setPosition({CGRectGetMidX(b), CGRectGetMidY(b)});
}

void UIActivityIndicatorView::startAnimating() {
    if (animating_) return;
    animating_ = true;
    setHidden(false);
    // One turn a second, in twelve steps like the spokes.
    auto spin = CAKeyframeAnimation::animationWithKeyPath("transform.rotation.z");
    std::vector<CAValue> values;
    for (int i = 0; i <= kSpokes; ++i) values.push_back(2 * M_PI * i / kSpokes);
    spin->setValues(std::move(values));
    spin->setCalculationMode(CAAnimationCalculationMode::Discrete);
    spin->setDuration(1.0);
    spin->setRepeatCount(std::numeric_limits<float>::infinity());
    CAAnimationEngine::addAnimation(spinner_, spin, kSpinKey);
}

void UIActivityIndicatorView::stopAnimating() {
    if (!animating_) return;
    animating_ = false;
    CAAnimationEngine::removeAnimationForKey(*spinner_, kSpinKey);
    if (hidesWhenStopped_) setHidden(true);
}
