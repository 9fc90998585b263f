// View creation, geometry, appearance, conversion, hit testing and the responder chain.
#include "platform/ui/view/ui_view.h"

#include <cstdio>

#include "platform/ui/app/ui_window.h"
#include "platform/ui/layout/layout_engine.h"

UIView::UIView(CGRect frame) : initialFrame_(frame) {}

UIView::~UIView() {
    for (auto& s : subviews_) s->superview_.reset();
}

void UIView::init() {
    layer_ = makeLayer();
    layer_->setDelegate(std::static_pointer_cast<CALayerDelegate>(self<UIView>()));
    layer_->setFrame(initialFrame_);
    // Views draw once when first shown; a view without drawRect keeps no bitmap afterwards.
    layer_->setNeedsDisplay();
}

void UIView::setFrame(CGRect frame) {
    CGSize old = bounds().size;
    frame = CGRectStandardize(frame);
    if (CGAffineTransformIsIdentity(transform())) {
        layer_->setFrame(frame);
    } else {
        // A transformed view keeps its transform: the frame's centre and size become the view's.
        layer_->setPosition({CGRectGetMidX(frame), CGRectGetMidY(frame)});
        layer_->setBounds({bounds().origin, frame.size});
    }
    geometryChanged();
    if (old != bounds().size) {
        setNeedsLayout();
        resizeSubviewsWithOldSize(old);
        if (contentMode_ == UIViewContentMode::Redraw) setNeedsDisplay();
    }
}

void UIView::setCenter(CGPoint c) {
    if (c == center()) return;
    layer_->setPosition(c);
    geometryChanged();
}

void UIView::setTransform(const CGAffineTransform& t) {
    layer_->setAffineTransform(t);
}

void UIView::setBounds(CGRect b) {
    CGSize old = bounds().size;
    layer_->setBounds(CGRectStandardize(b));
    if (old != bounds().size) {
        setNeedsLayout();
        resizeSubviewsWithOldSize(old);
        if (contentMode_ == UIViewContentMode::Redraw) setNeedsDisplay();
    }
}

void UIView::setBackgroundColor(std::shared_ptr<UIColor> color) {
    backgroundColor_ = std::move(color);
    if (backgroundColor_)
        layer_->setBackgroundColor(backgroundColor_->resolvedColorWithTraitCollection(traitCollection())->cgColor());
    else
        layer_->setBackgroundColor(std::nullopt);
}

void UIView::setContentMode(UIViewContentMode mode) {
    contentMode_ = mode;
    static const CAContentsGravity gravities[] = {
        CAContentsGravity::Resize,     CAContentsGravity::ResizeAspect, CAContentsGravity::ResizeAspectFill,
        CAContentsGravity::Resize,     CAContentsGravity::Center,       CAContentsGravity::Top,
        CAContentsGravity::Bottom,     CAContentsGravity::Left,         CAContentsGravity::Right,
        CAContentsGravity::TopLeft,    CAContentsGravity::TopRight,     CAContentsGravity::BottomLeft,
        CAContentsGravity::BottomRight};
    layer_->setContentsGravity(gravities[static_cast<int>(mode)]);
}

std::shared_ptr<UIColor> UIView::tintColor() const {
    if (tintColor_) return tintColor_;
    if (auto s = superview()) return s->tintColor();
    return UIColor::systemBlueColor();
}

namespace {
void tellTintChanged(UIView& view) {
    view.tintColorDidChange();
    for (const auto& subview : view.subviews()) tellTintChanged(*subview);
}
}  // namespace

void UIView::setTintColor(std::shared_ptr<UIColor> color) {
    tintColor_ = std::move(color);
    tellTintChanged(*this);
}

UIViewTintAdjustmentMode UIView::tintAdjustmentMode() const {
    if (tintAdjustment_ != UIViewTintAdjustmentMode::Automatic) return tintAdjustment_;
    if (auto s = superview()) return s->tintAdjustmentMode();
    return UIViewTintAdjustmentMode::Normal;
}

void UIView::setTintAdjustmentMode(UIViewTintAdjustmentMode mode) {
    if (mode == tintAdjustment_) return;
    tintAdjustment_ = mode;
    tellTintChanged(*this);
}

UITraitCollection UIView::traitCollection() const {
    UITraitCollection traits = UITraitCollection::currentTraitCollection();
    for (auto v = std::static_pointer_cast<const UIView>(shared_from_this()); v; v = v->superview()) {
        auto controller = v->owningController();
        auto style = controller ? controller->overrideUserInterfaceStyle() : UIUserInterfaceStyle::Unspecified;
        if (style != UIUserInterfaceStyle::Unspecified) {
            traits.userInterfaceStyle = style;
            break;
        }
    }
    return traits;
}

void UIView::traitCollectionDidChange() {
    if (backgroundColor_ && backgroundColor_->isDynamic())
        layer_->setBackgroundColor(backgroundColor_->resolvedColorWithTraitCollection(traitCollection())->cgColor());
    if (drawRectOverridden_) setNeedsDisplay();
    auto subs = subviews_;
    for (auto& s : subs) s->traitCollectionDidChange();
}

// ---- conversion ----

namespace {

const CALayer* targetLayer(const UIView& from, const std::shared_ptr<UIView>& view) {
    if (view) return view->layer().get();
    // Null means the window's space; outside a window, the root view's.
    const UIView* top = &from;
    for (auto p = from.superview(); p; p = p->superview()) top = p.get();
    return top->layer().get();
}

}  // namespace

CGPoint UIView::convertPointToView(CGPoint p, const std::shared_ptr<UIView>& view) const {
    return layer_->convertPointToLayer(p, targetLayer(*this, view));
}

CGPoint UIView::convertPointFromView(CGPoint p, const std::shared_ptr<UIView>& view) const {
    return layer_->convertPointFromLayer(p, targetLayer(*this, view));
}

CGRect UIView::convertRectToView(CGRect r, const std::shared_ptr<UIView>& view) const {
    return layer_->convertRectToLayer(r, targetLayer(*this, view));
}

CGRect UIView::convertRectFromView(CGRect r, const std::shared_ptr<UIView>& view) const {
    return layer_->convertRectFromLayer(r, targetLayer(*this, view));
}

// ---- hit testing ----

bool UIView::pointInside(CGPoint point) const {
    return CGRectContainsPoint(bounds(), point);
}

std::shared_ptr<UIView> UIView::hitTest(CGPoint point) {
    if (isHidden() || !userInteractionEnabled_ || alpha() <= 0.01) return nullptr;
    if (!pointInside(point)) return nullptr;
    auto subs = subviews_;
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        CGPoint p =
            CGPointApplyAffineTransform(point, CGAffineTransformInvert((*it)->layer()->transformToSuperlayer()));
        if (auto hit = (*it)->hitTest(p)) return hit;
    }
    return self<UIView>();
}

// ---- responder chain ----

std::shared_ptr<UIResponder> UIView::nextResponder() const {
    if (auto c = owningController_.lock()) return c;
    return superview();
}

// ---- description ----

std::string UIView::description() const {
    char buf[200];
    CGRect f = frame();
    std::snprintf(buf, sizeof buf, "<%s: %p; frame = (%g %g; %g %g)%s%s>", className().c_str(),
                  static_cast<const void*>(this), f.origin.x, f.origin.y, f.size.width, f.size.height,
                  tag_ ? ("; tag = " + std::to_string(tag_)).c_str() : "", isHidden() ? "; hidden" : "");
    return buf;
}

void UIView::appendDescription(std::string& out, int depth) const {
    out.append(static_cast<std::size_t>(depth) * 3, ' ');
    out += (depth ? "| " : "") + description() + "\n";
    for (const auto& s : subviews_) s->appendDescription(out, depth + 1);
}

std::string UIView::recursiveDescription() const {
    std::string out;
    appendDescription(out, 0);
    return out;
}
