// The single-band strip.
#include "ui/controls/gradient_scroll_view.h"

#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "ui/layout/view_custom_constraints.h"

namespace {
constexpr CGFloat kScrollAlpha = 0.8;
constexpr CGRect kBand{{-4, 0}, {20, 0}};
}  // namespace

void GradientScrollView::setup() {
    graL_ = CAGradientLayer::make();
    graL_->setColors({CGColor::gray(0, 0), CGColor::gray(0, 1), CGColor::gray(0, 0)});
    graL_->setLocations({0, 0.2, 1});
    graL_->setStartPoint({0, 0.5});
    graL_->setEndPoint({1, 0.5});
    scroll_ = UIScrollView::make();
    scroll_->setBounces(true);
    scroll_->setShowsVerticalScrollIndicator(false);
    scroll_->setAlpha(kScrollAlpha);
    scroll_->setDelegate(std::dynamic_pointer_cast<UIScrollViewDelegate>(shared_from_this()));
    scroll_->setBackgroundColor(bgColor_);
    scroll_->layer()->setShadowColor(CGColor::gray(0, 1));
    scroll_->layer()->setShadowOpacity(0.8f);
    scroll_->layer()->setShadowOffset({2, 2});
}

void GradientScrollView::relayout() {
    scroll_->removeFromSuperview();
    graL_->removeFromSuperlayer();
    addSubview(scroll_);
    addConstraintsFull(scroll_, self<GradientScrollView>(), 0, 0, 0, 0);
    layer()->addSublayer(graL_);
}

void GradientScrollView::updateView() {
    update_.restart(kUpdateDelay, weakBind(self<GradientScrollView>(), &GradientScrollView::updateView0));
}

void GradientScrollView::updateView0() {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    graL_->setFrame({kBand.origin, {kBand.size.width, bounds().size.height}});
    graL_->setHidden(scroll_->contentOffset().x <= kShowAfter);
    CATransaction::commit();
}
