// One drawing of a layer tree, handed down the recursion: the device scale, whether it shows the
// model or running animations' presented values, whether the shortcuts are taken, and the backdrop
// captured for a blurring layer until that layer draws it. Main-thread only, like the layers.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "platform/runtime/geometry.h"
#include "platform/ui/layer/ca_layer.h"

typedef struct _cairo_surface cairo_surface_t;

// Which values of the layers a pass draws: what the screen shows (running animations'
// presentation values), or the model (renderInContext).
enum class LayerValues { Presented, Model };

// Whether drawing takes its shortcuts to the same pixels: the all-zero margins of drawn bitmaps
// are not composited, a translucent layer's group is cleared and composited only where the layer
// draws, and plain translucent fills and a picture dimmed by one are composited straight on the
// target's pixels. Off leaves all of it to Cairo (to compare against).
enum class RenderShortcuts { On, Off };

// The blurred pixels under a backdrop layer, captured before the layer draws (device space).
struct CapturedBackdrop {
    std::uint64_t layerId = 0;
    cairo_surface_t* surface = nullptr;  // owned by whoever holds it
    double x = 0, y = 0;
};

// The rounded clip of a layer that masks to its bounds, not yet laid on the target. Cairo draws
// each shape under a rounded clip by intersecting it with the clip's outline of dozens of edges,
// which costs more than the drawing for small layers; what the clip leaves out lies in the corners
// and along the edges, so layers drawn wholly within the pixels it covers fully are drawn under a
// clip of few edges instead, and the others lay the rounded clip on before they draw. Meanwhile the
// target is clipped to the whole device pixels of the rounded clip's extents, which keeps those
// extents and leaves the rounded clip's coverage as it is.
struct DeferredRoundClip {
    CGAffineTransform toDevice;  // the masking layer's space to the device, as the clip is laid
    CGRect bounds;
    CGFloat radius = 0;
    // Device pixels the clip covers fully: the bounds less the corners' width, and less their height.
    CGRect inside[2];
};

class RenderPass {
public:
    explicit RenderPass(CGFloat deviceScale, LayerValues values = LayerValues::Presented,
                        RenderShortcuts shortcuts = RenderShortcuts::On)
        : deviceScale_(deviceScale), values_(values), shortcuts_(shortcuts) {}
    ~RenderPass() { dropBackdrop(); }
    RenderPass(const RenderPass&) = delete;
    RenderPass& operator=(const RenderPass&) = delete;

    // Pixels per point on the target.
    CGFloat deviceScale() const { return deviceScale_; }
    bool drawsModel() const { return values_ == LayerValues::Model; }
    bool takesShortcuts() const { return shortcuts_ == RenderShortcuts::On; }

    // The presentation values drawn for the layer; null when the model's are.
    const CALayerPresentation* presentationOf(const CALayer& layer) const {
        return drawsModel() ? nullptr : layer.presentation();
    }
    // The value drawn for a property: the presented one while an animation sets it, else the model's.
    template <class T>
    T shown(const CALayer& layer, std::optional<T> CALayerPresentation::*field, T model) const {
        const CALayerPresentation* p = presentationOf(layer);
        return p && (p->*field) ? *(p->*field) : std::move(model);
    }
    CGRect shownBounds(const CALayer& layer) const {
        return shown(layer, &CALayerPresentation::bounds, layer.bounds());
    }
    // The layer's bounds space to its superlayer's, as drawn.
    CGAffineTransform transformToSuperlayer(const CALayer& layer) const {
        return drawsModel() ? layer.transformToSuperlayer() : layer.presentedTransformToSuperlayer();
    }

    // Keeps the backdrop until its layer draws (the pass owns its surface); one held before goes.
    void holdBackdrop(const CapturedBackdrop& backdrop) {
        dropBackdrop();
        backdrop_ = backdrop;
    }
    // The backdrop held for the layer, handed over to the caller (who destroys its surface); none
    // when the pass holds none for it.
    std::optional<CapturedBackdrop> takeBackdrop(const CALayer& layer) {
        if (!backdrop_ || backdrop_->layerId != layer.layerId()) return std::nullopt;
        return std::exchange(backdrop_, std::nullopt);
    }
    void dropBackdrop();

    // The rounded clip a masking layer left to the layers under it to lay on; none when laid.
    const std::optional<DeferredRoundClip>& deferredRoundClip() const { return deferredRound_; }
    std::optional<DeferredRoundClip> takeDeferredRoundClip() { return std::exchange(deferredRound_, std::nullopt); }
    void deferRoundClip(std::optional<DeferredRoundClip> clip) { deferredRound_ = std::move(clip); }

private:
    CGFloat deviceScale_;
    LayerValues values_;
    RenderShortcuts shortcuts_;
    std::optional<CapturedBackdrop> backdrop_;
    std::optional<DeferredRoundClip> deferredRound_;
};
