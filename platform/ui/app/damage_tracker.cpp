// Layer boxes in device pixels and their comparison between frames.
#include "platform/ui/app/damage_tracker.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/ca_replicator_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"

namespace {

std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    return h;
}

std::uint64_t maskVersion(const CALayer& layer) {
    auto mask = layer.mask();
    if (!mask) return 0;
    std::uint64_t v = mix(mask->layerId(), mask->version());
    std::vector<const CALayer*> stack{mask.get()};
    while (!stack.empty()) {
        const CALayer* l = stack.back();
        stack.pop_back();
        for (const auto& s : l->sublayers()) {
            v = mix(v, mix(s->layerId(), s->version()));
            stack.push_back(s.get());
        }
    }
    return v;
}

// Where the layer can paint, in its own bounds space; false when that cannot be bounded cheaply.
bool paintBox(const CALayer& layer, CGRect& box) {
    const CALayerPresentation* p = layer.presentation();
    CGRect b = p && p->bounds ? *p->bounds : layer.bounds();
    box = b;
    bool fitted = layer.contentsGravity() == CAContentsGravity::Resize ||
                  layer.contentsGravity() == CAContentsGravity::ResizeAspect;
    if ((layer.contents() || layer.backingStore()) && !fitted && !layer.masksToBounds()) return false;
    if (auto* shape = dynamic_cast<const CAShapeLayer*>(&layer)) {
        const auto& path = p && p->path ? p->path : shape->path();
        if (path && !path->isEmpty()) {
            // A stroke reaches half its width beyond the path, further at mitred corners and
            // square caps.
            CGFloat reach = std::max<CGFloat>(shape->lineJoin() == CGLineJoin::Miter ? shape->miterLimit() : 1, 1.5);
            CGFloat w = shape->lineWidth() / 2 * reach + 1;
            box = CGRectUnion(box, CGRectInset(path->boundingBox(), -w, -w));
        }
    }
    float shadow = p && p->shadowOpacity ? *p->shadowOpacity : layer.shadowOpacity();
    if (shadow > 0 && !layer.masksToBounds()) {
        CGFloat r = layer.shadowRadius() * 1.5 + 2;
        CGRect moved = CGRectOffset(box, layer.shadowOffset().width, layer.shadowOffset().height);
        box = CGRectUnion(box, CGRectInset(moved, -r, -r));
    }
    return true;
}

double area(const CGRect& r) {
    return CGRectIsNull(r) ? 0 : r.size.width * r.size.height;
}

}  // namespace

void DamageTracker::walk(CALayer& layer, const CGAffineTransform& toDevice, std::uint64_t inherited,
                         const CGRect* bound, CGRect screen, Map& out) const {
    const CALayerPresentation* p = layer.presentation();
    float opacity = p && p->opacity ? *p->opacity : layer.opacity();
    if (layer.isHidden() || opacity <= 0) return;
    CGAffineTransform t = CGAffineTransformConcat(layer.presentedTransformToSuperlayer(), toDevice);
    std::uint64_t version = mix(mix(inherited, mix(layer.layerId(), layer.version())), maskVersion(layer));
    CGRect box;
    CGRect rect = screen;
    if (bound)
        rect = *bound;
    else if (paintBox(layer, box))
        rect = CGRectIntegral(CGRectInset(CGRectApplyAffineTransform(box, t), -2, -2));
    out[layer.layerId()] = {rect, version};
    // A replicator's copies can land anywhere: anything inside it counts for the whole screen,
    // or for the replicator's own box when it clips them to its bounds.
    CGRect inside = layer.masksToBounds() ? rect : screen;
    if (!bound && dynamic_cast<CAReplicatorLayer*>(&layer)) bound = &inside;
    for (const auto& s : layer.sublayers()) walk(*s, t, version, bound, screen, out);
}

std::vector<CGRect> DamageTracker::update(const std::vector<CALayer*>& roots, const CGAffineTransform& toDevice,
                                          CGRect screen) {
    Map current;
    std::uint64_t order = 0;
    for (CALayer* root : roots) walk(*root, toDevice, ++order, nullptr, screen, current);
    std::vector<CGRect> damage;
    if (full_) {
        damage.push_back(screen);
    } else {
        auto add = [&](const CGRect& r) {
            CGRect clipped = CGRectIntersection(r, screen);
            if (!CGRectIsEmpty(clipped)) damage.push_back(clipped);
        };
        for (const auto& [id, entry] : current) {
            auto it = last_.find(id);
            if (it == last_.end()) {
                add(entry.rect);
            } else if (it->second.version != entry.version || it->second.rect != entry.rect) {
                // A layer that moved a little (a turn, a pulse) damages one box round both places.
                if (CGRectIntersectsRect(it->second.rect, entry.rect)) {
                    add(CGRectUnion(it->second.rect, entry.rect));
                } else {
                    add(it->second.rect);
                    add(entry.rect);
                }
            }
        }
        for (const auto& [id, entry] : last_)
            if (!current.count(id)) add(entry.rect);
        // A moving layer damages its children's boxes too: boxes inside others add nothing.
        std::stable_sort(damage.begin(), damage.end(),
                         [](const CGRect& a, const CGRect& b) { return area(a) > area(b); });
        std::vector<CGRect> kept;
        for (const auto& r : damage)
            if (std::none_of(kept.begin(), kept.end(), [&](const CGRect& k) { return CGRectContainsRect(k, r); }))
                kept.push_back(r);
        damage = std::move(kept);
        double total = 0;
        for (const auto& r : damage) total += area(r);
        if (total > area(screen) / 2) damage.assign(1, screen);
    }
    full_ = false;
    last_ = std::move(current);
    return damage;
}
