// The layer's geometry, tree, conversion, hit testing and layout; drawing is in layer_renderer.cpp.
#include "platform/ui/layer/ca_layer.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/ui/animation/ca_layer_actions.h"

CALayer::CALayer() = default;

namespace {

// Atomic so that a layer made or changed off the main thread (an offscreen render) is no data race.
std::atomic<std::uint64_t>& generation() {
    static std::atomic<std::uint64_t> value{1};
    return value;
}

}  // namespace

bool CALayerDelegate::drawLayerInContext(CALayer&, CGContext&) {
    return false;
}
void CALayerDelegate::layoutSublayersOfLayer(CALayer&) {}

CALayer::~CALayer() {
    // Sublayers outlive us only if someone else holds them; they then have no superlayer.
    for (auto& sub : sublayers_) sub->superlayer_.reset();
}

std::uint64_t CALayer::renderGeneration() {
    return generation();
}

std::uint64_t CALayer::nextLayerId() {
    static std::atomic<std::uint64_t> next{0};
    return ++next;
}
void CALayer::markRenderChanged() {
    ++generation();
}

void CALayer::setPosition(CGPoint p) {
    if (p == position_) return;
    CALayerActions::layerWillChange(*this, "position");
    position_ = p;
    changed();
}

void CALayer::setBounds(CGRect b) {
    if (b == bounds_) return;
    bool resized = b.size != bounds_.size;
    CALayerActions::layerWillChange(*this, "bounds");
    bounds_ = b;
    if (resized) {
        setNeedsLayout();
        if (needsDisplayOnBoundsChange_) setNeedsDisplay();
    }
    changed();
}

void CALayer::setAnchorPoint(CGPoint p) {
    if (p == anchorPoint_) return;
    anchorPoint_ = p;
    changed();
}

void CALayer::setZPosition(CGFloat z) {
    zPosition_ = z;
    changed();
}

CGRect CALayer::frame() const {
    CGRect local{{-anchorPoint_.x * bounds_.size.width, -anchorPoint_.y * bounds_.size.height}, bounds_.size};
    CGAffineTransform t = CATransform3DFlatten(transform_, local);
    CGRect r = CGRectApplyAffineTransform(local, t);
    return CGRectOffset(r, position_.x, position_.y);
}

void CALayer::setFrame(CGRect frame) {
    frame = CGRectStandardize(frame);
    setPosition(
        {frame.origin.x + anchorPoint_.x * frame.size.width, frame.origin.y + anchorPoint_.y * frame.size.height});
    setBounds({bounds_.origin, frame.size});
}

void CALayer::setTransform(const CATransform3D& t) {
    if (t == transform_) return;
    CALayerActions::layerWillChange(*this, "transform");
    transform_ = t;
    changed();
}

void CALayer::setOpacity(float o) {
    o = std::clamp(o, 0.0f, 1.0f);
    if (o == opacity_) return;
    CALayerActions::layerWillChange(*this, "opacity");
    opacity_ = o;
    changed();
}

void CALayer::setHidden(bool h) {
    if (h == hidden_) return;
    hidden_ = h;
    changed();
}

void CALayer::setBackgroundColor(std::optional<CGColor> c) {
    if (c != backgroundColor_) CALayerActions::layerWillChange(*this, "backgroundColor");
    backgroundColor_ = std::move(c);
    changed();
}

void CALayer::setCornerRadius(CGFloat r) {
    r = std::max<CGFloat>(0, r);
    if (r != cornerRadius_) CALayerActions::layerWillChange(*this, "cornerRadius");
    cornerRadius_ = r;
    changed();
}

void CALayer::setMasksToBounds(bool m) {
    masksToBounds_ = m;
    changed();
}

void CALayer::setBorderWidth(CGFloat w) {
    w = std::max<CGFloat>(0, w);
    if (w != borderWidth_) CALayerActions::layerWillChange(*this, "borderWidth");
    borderWidth_ = w;
    changed();
}

void CALayer::setBorderColor(const CGColor& c) {
    if (!(c == borderColor_)) CALayerActions::layerWillChange(*this, "borderColor");
    borderColor_ = c;
    changed();
}

void CALayer::setShadowColor(std::optional<CGColor> c) {
    shadowColor_ = std::move(c);
    changed();
}

void CALayer::setShadowOpacity(float o) {
    o = std::clamp(o, 0.0f, 1.0f);
    if (o != shadowOpacity_) CALayerActions::layerWillChange(*this, "shadowOpacity");
    shadowOpacity_ = o;
    changed();
}

void CALayer::setShadowOffset(CGSize s) {
    shadowOffset_ = s;
    changed();
}

void CALayer::setShadowRadius(CGFloat r) {
    shadowRadius_ = std::max<CGFloat>(0, r);
    changed();
}

void CALayer::setOpaque(bool o) {
    opaque_ = o;
    changed();
}

void CALayer::setContents(std::shared_ptr<CGImage> image) {
    if (image != contents_) CALayerActions::layerWillChange(*this, "contents");
    contents_ = std::move(image);
    changed();
}

void CALayer::setContentsGravity(CAContentsGravity g) {
    contentsGravity_ = g;
    changed();
}

void CALayer::setContentsScale(CGFloat s) {
    if (s <= 0 || s == contentsScale_) return;
    contentsScale_ = s;
    if (backing_) setNeedsDisplay();
    changed();
}

void CALayer::setMask(std::shared_ptr<CALayer> mask) {
    // A layer cannot mask itself or one of its ancestors: that would make a cycle.
    if (mask && (mask.get() == this || mask->isAncestorOf(*this))) return;
    if (mask) mask->removeFromSuperlayer();
    mask_ = std::move(mask);
    changed();
}

// ---- tree ----

bool CALayer::isAncestorOf(const CALayer& layer) const {
    for (auto p = layer.superlayer(); p; p = p->superlayer())
        if (p.get() == this) return true;
    return false;
}

void CALayer::detachFromParentList() {
    auto parent = superlayer_.lock();
    if (!parent) return;
    auto& list = parent->sublayers_;
    list.erase(std::remove_if(list.begin(), list.end(), [this](const auto& l) { return l.get() == this; }), list.end());
    superlayer_.reset();
}

void CALayer::attach(const std::shared_ptr<CALayer>& layer) {
    layer->superlayer_ = self<CALayer>();
    layer->changed();  // its place in the paint order changed
    setNeedsLayout();
    changed();
}

void CALayer::setSublayers(std::vector<std::shared_ptr<CALayer>> layers) {
    for (auto& sub : sublayers_) sub->superlayer_.reset();
    sublayers_.clear();
    for (auto& l : layers)
        if (l) addSublayer(l);
    changed();
}

void CALayer::addSublayer(std::shared_ptr<CALayer> layer) {
    insertSublayerAtIndex(std::move(layer), sublayers_.size() + 1);
}

void CALayer::insertSublayerAtIndex(std::shared_ptr<CALayer> layer, std::size_t index) {
    if (!layer || layer.get() == this || layer->isAncestorOf(*this)) return;
    layer->detachFromParentList();
    index = std::min(index, sublayers_.size());
    sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), layer);
    attach(layer);
}

void CALayer::insertSublayerBelow(std::shared_ptr<CALayer> layer, const std::shared_ptr<CALayer>& sibling) {
    if (!layer) return;
    layer->detachFromParentList();
    auto it = std::find(sublayers_.begin(), sublayers_.end(), sibling);
    std::size_t index = it == sublayers_.end() ? 0 : static_cast<std::size_t>(it - sublayers_.begin());
    insertSublayerAtIndex(std::move(layer), index);
}

void CALayer::insertSublayerAbove(std::shared_ptr<CALayer> layer, const std::shared_ptr<CALayer>& sibling) {
    if (!layer) return;
    layer->detachFromParentList();
    auto it = std::find(sublayers_.begin(), sublayers_.end(), sibling);
    std::size_t index =
        it == sublayers_.end() ? sublayers_.size() : static_cast<std::size_t>(it - sublayers_.begin()) + 1;
    insertSublayerAtIndex(std::move(layer), index);
}

void CALayer::replaceSublayer(const std::shared_ptr<CALayer>& old, std::shared_ptr<CALayer> replacement) {
    auto it = std::find(sublayers_.begin(), sublayers_.end(), old);
    if (it == sublayers_.end() || !replacement) return;
    std::size_t index = static_cast<std::size_t>(it - sublayers_.begin());
    old->removeFromSuperlayer();
    insertSublayerAtIndex(std::move(replacement), index);
}

void CALayer::removeFromSuperlayer() {
    auto parent = superlayer_.lock();
    if (!parent) return;
    auto keep = self<CALayer>();  // the parent's list may hold the last reference
    detachFromParentList();
    parent->changed();
}

// ---- presentation ----

void CALayer::setPresentation(const CALayerPresentation& values) {
    presentation_ = std::make_unique<CALayerPresentation>(values);
    changed();
}

void CALayer::clearPresentation() {
    if (!presentation_) return;
    presentation_.reset();
    changed();
}

// ---- conversion ----

namespace {

CGAffineTransform placeInSuperlayer(CGPoint position, CGRect bounds, CGPoint anchor, const CATransform3D& transform) {
    CGRect local{{-anchor.x * bounds.size.width, -anchor.y * bounds.size.height}, bounds.size};
    CGAffineTransform t =
        CGAffineTransformMakeTranslation(local.origin.x - bounds.origin.x, local.origin.y - bounds.origin.y);
    t = CGAffineTransformConcat(t, CATransform3DFlatten(transform, local));
    return CGAffineTransformConcat(t, CGAffineTransformMakeTranslation(position.x, position.y));
}

}  // namespace

CGAffineTransform CALayer::transformToSuperlayer() const {
    return placeInSuperlayer(position_, bounds_, anchorPoint_, transform_);
}

CGAffineTransform CALayer::presentedTransformToSuperlayer() const {
    if (!presentation_) return transformToSuperlayer();
    const auto& p = *presentation_;
    return placeInSuperlayer(p.position.value_or(position_), p.bounds.value_or(bounds_), anchorPoint_,
                             p.transform.value_or(transform_));
}

std::vector<const CALayer*> CALayer::ancestry() const {
    std::vector<const CALayer*> chain{this};
    for (auto p = superlayer(); p; p = p->superlayer()) chain.push_back(p.get());
    return chain;
}

namespace {

// Bounds space of the layer to the space its tree's root is positioned in.
CGAffineTransform toRootSpace(const std::vector<const CALayer*>& chain) {
    CGAffineTransform t = CGAffineTransformIdentity;
    for (const CALayer* l : chain) t = CGAffineTransformConcat(t, l->transformToSuperlayer());
    return t;
}

}  // namespace

CGPoint CALayer::convertPointFromLayer(CGPoint p, const CALayer* layer) const {
    CGAffineTransform from = layer ? toRootSpace(layer->ancestry()) : CGAffineTransformIdentity;
    CGAffineTransform to = CGAffineTransformInvert(toRootSpace(ancestry()));
    return CGPointApplyAffineTransform(CGPointApplyAffineTransform(p, from), to);
}

CGPoint CALayer::convertPointToLayer(CGPoint p, const CALayer* layer) const {
    CGAffineTransform from = toRootSpace(ancestry());
    CGAffineTransform to = layer ? CGAffineTransformInvert(toRootSpace(layer->ancestry())) : CGAffineTransformIdentity;
    return CGPointApplyAffineTransform(CGPointApplyAffineTransform(p, from), to);
}

CGRect CALayer::convertRectFromLayer(CGRect r, const CALayer* layer) const {
    CGAffineTransform from = layer ? toRootSpace(layer->ancestry()) : CGAffineTransformIdentity;
    CGAffineTransform to = CGAffineTransformInvert(toRootSpace(ancestry()));
    return CGRectApplyAffineTransform(r, CGAffineTransformConcat(from, to));
}

CGRect CALayer::convertRectToLayer(CGRect r, const CALayer* layer) const {
    CGAffineTransform from = toRootSpace(ancestry());
    CGAffineTransform to = layer ? CGAffineTransformInvert(toRootSpace(layer->ancestry())) : CGAffineTransformIdentity;
    return CGRectApplyAffineTransform(r, CGAffineTransformConcat(from, to));
}

bool CALayer::containsPoint(CGPoint p) const {
    return CGRectContainsPoint(bounds_, p);
}

std::shared_ptr<CALayer> CALayer::hitTest(CGPoint pointInSuperlayer) {
    if (hidden_) return nullptr;
    CGPoint p = CGPointApplyAffineTransform(pointInSuperlayer, CGAffineTransformInvert(transformToSuperlayer()));
    bool inside = containsPoint(p);
    if (masksToBounds_ && !inside) return nullptr;
    for (auto it = sublayers_.rbegin(); it != sublayers_.rend(); ++it)
        if (auto hit = (*it)->hitTest(p)) return hit;
    return inside ? self<CALayer>() : nullptr;
}

// ---- display and layout flags ----

void CALayer::setNeedsDisplay() {
    needsDisplay_ = true;
    changed();
}

void CALayer::setNeedsDisplayInRect(CGRect) {
    setNeedsDisplay();
}

void CALayer::displayIfNeeded() {
    if (needsDisplay_) display();
}

void CALayer::setNeedsLayout() {
    needsLayout_ = true;
}

void CALayer::layoutIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSublayers();
    }
    auto subs = sublayers_;
    for (auto& s : subs) s->layoutIfNeeded();
}

void CALayer::layoutSublayers() {
    if (auto d = delegate_.lock()) d->layoutSublayersOfLayer(*this);
}

std::string CALayer::description() const {
    char buf[160];
    CGRect f = frame();
    std::snprintf(buf, sizeof buf, "<%s: %p; frame = (%g %g; %g %g)%s>", className().c_str(),
                  static_cast<const void*>(this), f.origin.x, f.origin.y, f.size.width, f.size.height,
                  name_.empty() ? "" : ("; name = " + name_).c_str());
    return buf;
}
