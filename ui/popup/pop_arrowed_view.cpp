// Placement above, below or in the middle, and the arrow that points at the sender.
#include "ui/popup/pop_arrowed_view.h"

#include "foundation/numeric.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/view/ui_view.h"
#include "ui/layout/view_custom_identified.h"

namespace {

std::shared_ptr<NSLayoutConstraint> arrowConstraint(const std::shared_ptr<UIView>& arrow, NSLayoutAttribute a,
                                                    const std::shared_ptr<UIView>& root, const std::string& id) {
    const bool fixed = !root;
    auto c = NSLayoutConstraint::constraintWithItem(arrow, a, NSLayoutRelation::Equal, root,
                                                    fixed ? NSLayoutAttribute::NotAnAttribute : a, 1,
                                                    fixed ? PopArrowedView::kArrowSide : 0);
    c->setIdentifier(id);
    return c;
}

}  // namespace

PopArrowedView::~PopArrowedView() {
    if (arrow_) arrow_->removeFromSuperview();
}

std::shared_ptr<CAShapeLayer> PopArrowedView::makeTriangle(const std::vector<CGPoint>& points, CGPoint position) const {
    auto layer = CAShapeLayer::make();
    CGPath path;
    path.addLines(points);
    path.closeSubpath();
    layer->setPath(path);
    layer->setLineWidth(0);
    layer->setPosition(position);
    auto fill = bgColor() ? bgColor() : container()->backgroundColor();
    if (fill) layer->setFillColor(fill->cgColor());
    return layer;
}

const std::shared_ptr<CAShapeLayer>& PopArrowedView::layT() {
    if (!layT_)
        layT_ =
            makeTriangle({{0, -kArrowSide}, {kArrowSide / 2, 0}, {-kArrowSide / 2, 0}}, {kArrowSide / 2, kArrowSide});
    return layT_;
}

const std::shared_ptr<CAShapeLayer>& PopArrowedView::layB() {
    if (!layB_) layB_ = makeTriangle({{kArrowSide / 2, 0}, {-kArrowSide / 2, 0}, {0, kArrowSide}}, {kArrowSide / 2, 0});
    return layB_;
}

void PopArrowedView::init() {
    PopSenderView::init();
    offsetCXCY_ = {};
    arrow_ = UIView::make();
    arrow_->layer()->addSublayer(layB());
    arrow_->layer()->addSublayer(layT());
    arrow_->setHidden(true);
    auto root = rootView();
    if (!root) return;
    contHolder()->addSubview(arrow_);
    arrow_->setTranslatesAutoresizingMaskIntoConstraints(false);
    kArrowX_ = getUniqueLayoutConstraint(*root, "arrowX");
    kArrowY_ = getUniqueLayoutConstraint(*root, "arrowY");
    kArrowW_ = getUniqueLayoutConstraint(*arrow_, "arrowW");
    kArrowH_ = getUniqueLayoutConstraint(*arrow_, "arrowH");
    root->addConstraint(arrowConstraint(arrow_, NSLayoutAttribute::Left, root, kArrowX_));
    root->addConstraint(arrowConstraint(arrow_, NSLayoutAttribute::Top, root, kArrowY_));
    arrow_->addConstraint(arrowConstraint(arrow_, NSLayoutAttribute::Width, nullptr, kArrowW_));
    arrow_->addConstraint(arrowConstraint(arrow_, NSLayoutAttribute::Height, nullptr, kArrowH_));
}

void PopArrowedView::show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) {
    track(sender);
    recalcLayout();
    const CGRect s = calcSenderRect();
    const CGRect c = crt();
    setShowAnimDXDY({CGRectGetMidX(c) - CGRectGetMidX(s), CGRectGetMidY(c) - CGRectGetMidY(s)});
    PopView::show(c, std::move(completion), std::move(onDidHide));
}

void PopArrowedView::recalcLayout() {
    auto root = rootView();
    if (!root) return;
    const CGRect s = calcSenderRect();
    const CGRect f = root->frame();
    const CGSize sz = size();
    // The margins differ on purpose: more room is asked above (the thumb is below the pop-up).
    const bool above = s.origin.y > sz.height + kRoomAbove;
    const bool below = (f.origin.y + f.size.height) - (s.origin.y + s.size.height) > sz.height + kRoomBelow;
    if (above && below) {
        if (showAboveIfBothAvailable_)
            recalcLayout_Top(s, f);
        else
            recalcLayout_Bottom(s, f);
    } else if (above) {
        recalcLayout_Top(s, f);
    } else if (below) {
        recalcLayout_Bottom(s, f);
    } else {
        recalcLayout_Center(s, f);
    }
}

void PopArrowedView::recalcLayout_Top(CGRect s, CGRect f) {
    const CGSize sz = size();
    const CGFloat mx = CGRectGetMidX(s);
    const CGFloat left = mx - sz.width / 2;
    const CGFloat shift = shiftLR(left, mx + sz.width / 2, f);
    const CGFloat bottom = s.origin.y - kSenderGap;
    setCrt({{left + shift, bottom - sz.height}, sz});
    arrowVisible_ = true;
    layT()->setHidden(true);
    layB()->setHidden(false);
    arrowRect_ = {{mx - kArrowSide / 2, s.origin.y - 6 + arrowDistance_}, {kArrowSide, kArrowSide}};
}

void PopArrowedView::recalcLayout_Bottom(CGRect s, CGRect f) {
    const CGSize sz = size();
    const CGFloat mx = CGRectGetMidX(s);
    const CGFloat left = mx - sz.width / 2;
    const CGFloat shift = shiftLR(left, mx + sz.width / 2, f);
    const CGFloat senderBottom = s.origin.y + s.size.height;
    setCrt({{left + shift, senderBottom + kSenderGap}, sz});
    arrowVisible_ = true;
    layT()->setHidden(false);
    layB()->setHidden(true);
    arrowRect_ = {{mx - kArrowSide / 2, senderBottom - kSenderGap - arrowDistance_}, {kArrowSide, kArrowSide}};
}

void PopArrowedView::recalcLayout_Center(CGRect, CGRect f) {
    const CGSize sz = size();
    setCrt({{CGRectGetMidX(f) - sz.width / 2, CGRectGetMidY(f) - sz.height / 2}, sz});
    arrowVisible_ = false;
}

void PopArrowedView::updateContainerConstants() {
    PopSenderView::updateContainerConstants();
    arrow_->setHidden(!arrowVisible_);
    auto root = rootView();
    if (!arrowVisible_ || !root) return;
    setLayoutConstant(*root, kArrowX_, maxFloat(float(arrowRect_.origin.x), float(kArrowMinX)));
    setLayoutConstant(*root, kArrowY_, arrowRect_.origin.y);
    setLayoutConstant(*arrow_, kArrowW_, arrowRect_.size.width);
    setLayoutConstant(*arrow_, kArrowH_, arrowRect_.size.height);
}

void PopArrowedView::applyLayout(bool animated) {
    if (!animated) return moveToCrt();
    if (hidden()) return;
    setHidden(true);
    // The caller of the earlier show still hears of the hide that ends it.
    show(last(), nullptr, onDidHide());
}

void PopArrowedView::setBgColor(std::shared_ptr<UIColor> color) {
    PopSenderView::setBgColor(color);
    if (!color) {
        layT()->setFillColor(std::nullopt);
        layB()->setFillColor(std::nullopt);
        return;
    }
    const CGColor fill = color->cgColor();
    layT()->setFillColor(fill);
    layB()->setFillColor(fill);
}

void PopArrowedView::useBlackShadowedLook() {
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::blackColor());
    container()->layer()->setShadowColor(CGColor::gray(0, 1));
    container()->layer()->setShadowOpacity(1);
    container()->layer()->setShadowOffset({5, 5});
}

void PopArrowedView::setAlpha(CGFloat alpha) {
    PopSenderView::setAlpha(alpha);
    arrow_->setAlpha(alpha);
}

void PopArrowedView::setHidden(bool hidden) {
    PopSenderView::setHidden(hidden);
    arrow_->setHidden(hidden || !arrowVisible_);
}

void PopArrowedView::removeFromSuperview() {
    arrow_->removeFromSuperview();
    PopSenderView::removeFromSuperview();
}
