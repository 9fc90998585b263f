// The edge bands of the horizontal strips.
#include "ui/controls/gradient_lr_view.h"

#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/color_custom.h"

namespace {
// Each band reaches this fraction of its width beyond its edge, where it is darkest.
constexpr CGFloat kOutside = 0.2;
constexpr double kEdgeAlpha = 0.5;
}  // namespace

std::shared_ptr<CAGradientLayer> GradientLRView::makeBand(CGFloat middle) const {
    auto layer = CAGradientLayer::make();
    const UIColor& c = color_ ? *color_ : *UIColor::blackColor();
    layer->setColors({::alpha(c, 0)->cgColor(), ::alpha(c, kEdgeAlpha)->cgColor(), ::alpha(c, 0)->cgColor()});
    layer->setLocations({0, middle, 1});
    layer->setStartPoint({0, 0.5});
    layer->setEndPoint({1, 0.5});
    layer->setFrame({{0, 0}, {gradientWidth_, kBandHeight}});
    return layer;
}

void GradientLRView::init() {
    UIView::init();
    auto me = self<GradientLRView>();
    scroll_ = UIScrollView::make();
    scroll_->setDelegate(std::dynamic_pointer_cast<UIScrollViewDelegate>(shared_from_this()));
    scroll_->setBounces(true);
    scroll_->setShowsVerticalScrollIndicator(false);
    addSubview(scroll_);
    addConstraintsFull(scroll_, me, 0, 0, 0, 0);

    const CGFloat w = gradientWidth_;
    graL_ = makeBand(kOutside);
    vL_ = UIView::make();
    vL_->layer()->addSublayer(graL_);
    addSubview(vL_);
    addConstraintsL(vL_, me, 0, 0, -kOutside * w, w);

    graR_ = makeBand(1 - kOutside);
    vR_ = UIView::make();
    vR_->layer()->addSublayer(graR_);
    addSubview(vR_);
    addConstraintsR(vR_, me, 0, 0, kOutside * w, w);

    vL_->setHidden(true);
    vR_->setHidden(true);
}

void GradientLRView::updateView() {
    if (dontShowGradient_ || scroll_->isHidden()) {
        vL_->setHidden(true);
        vR_->setHidden(true);
        return;
    }
    const CGRect band{{0, 0}, {gradientWidth_, scroll_->frame().size.height}};
    // The bands follow the finger; an implicit fade would lag behind it.
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    graL_->setFrame(band);
    graR_->setFrame(band);
    CATransaction::commit();
    const CGFloat x = scroll_->contentOffset().x;
    vL_->setHidden(x <= kEdgeSlack);
    vR_->setHidden(scroll_->contentSize().width - (x + bounds().size.width) <= kEdgeSlack);
    bringSubviewToFront(vL_);
    bringSubviewToFront(vR_);
}
