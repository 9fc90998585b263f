// View rendering, transforms, blink and the loading badge.
#include "ui/layout/view_custom_geometry.h"

#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/lang.h"
#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_label.h"
#include "ui/controller/animation.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"
#include "ui/theme/image_context.h"

namespace {
constexpr const char* kBlinkKey = "opacity";
constexpr CGFloat kLoadingSide = 60;
constexpr CGFloat kSpinnerSide = 25, kSpinnerDy = -12;
constexpr CGSize kLabelSize{100, 30};
constexpr CGFloat kLabelDy = 12;
}  // namespace

std::shared_ptr<UIImage> imageByRenderingView(UIView& view) {
    ImageContext context(view.bounds().size, false, 1);
    if (!context) return nullptr;
    view.layer()->renderInContext(*context);
    return context.take();
}

CGRect originalFrame(UIView& view) {
    const CGAffineTransform saved = view.transform();
    view.setTransform(CGAffineTransformIdentity);
    const CGRect frame = view.frame();
    view.setTransform(saved);
    return frame;
}

CGPoint centerOffset(const UIView& view, CGPoint p) {
    return {p.x - view.center().x, p.y - view.center().y};
}
CGPoint pointRelativeToCenter(const UIView& view, CGPoint p) {
    return {p.x + view.center().x, p.y + view.center().y};
}

CGPoint newPointInView(const UIView& view, CGPoint point) {
    const CGPoint o = centerOffset(view, point);
    const CGAffineTransform t = view.transform();
    return pointRelativeToCenter(view, {t.a * o.x + t.c * o.y + t.tx, t.b * o.x + t.d * o.y + t.ty});
}

CGPoint newTopLeft(UIView& view) {
    const CGRect f = originalFrame(view);
    return newPointInView(view, f.origin);
}
CGPoint newTopRight(UIView& view) {
    const CGRect f = originalFrame(view);
    return newPointInView(view, {f.origin.x + f.size.width, f.origin.y});
}
CGPoint newBottomLeft(UIView& view) {
    const CGRect f = originalFrame(view);
    return newPointInView(view, {f.origin.x, f.origin.y + f.size.height});
}
CGPoint newBottomRight(UIView& view) {
    const CGRect f = originalFrame(view);
    return newPointInView(view, {f.origin.x + f.size.width, f.origin.y + f.size.height});
}

void startBlink(UIView& view) {
    if (auto animation = Global::shared()->animation())
        CAAnimationEngine::addAnimation(view.layer(), animation->blink(), kBlinkKey);
}

void stopBlink(UIView& view) {
    CAAnimationEngine::removeAnimationForKey(*view.layer(), kBlinkKey);
}

bool isBlinking(const UIView& view) {
    return CAAnimationEngine::animationForKey(*view.layer(), kBlinkKey) != nullptr;
}

std::shared_ptr<UIView> loading() {
    auto global = Global::shared();
    auto badge = UIView::make(CGRectMake(0, 0, kLoadingSide, kLoadingSide));
    auto spinner = UIActivityIndicatorView::withStyle(
        global->device()->isDarkMode() ? UIActivityIndicatorViewStyle::White : UIActivityIndicatorViewStyle::Gray);
    spinner->startAnimating();
    badge->addSubview(spinner);
    addConstraintsCenter(spinner, badge, 0, kSpinnerDy, kSpinnerSide, kSpinnerSide);
    auto label = UILabel::make();
    label->setText(global->lang()->get("LOADING"));
    if (auto font = global->font()) label->setFont(font->textSmall2());
    label->setTextColor(UIColor::darkGrayColor());
    label->setTextAlignment(NSTextAlignment::Center);
    badge->addSubview(label);
    addConstraintsCenter(label, badge, 0, kLabelDy, kLabelSize.width, kLabelSize.height);
    return badge;
}
