// The bitmap a layer's display drew, at the scale it was drawn at, with what is known of the
// pixels its drawing touched.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "platform/runtime/geometry.h"
#include "platform/ui/layer/ink_box.h"

typedef struct _cairo_surface cairo_surface_t;

// Layers whose bitmap would exceed this many pixels are not drawn (a runaway size is not a crash).
constexpr double kMaxBackingPixels = 1 << 26;

struct LayerBackingStore {
    cairo_surface_t* surface = nullptr;
    CGFloat scale = 1;
    CGSize size;
    // Where the drawing's calls could reach (when they all told), and the pixels it touched (all
    // others are transparent black), found within that reach when first asked for.
    std::mutex inkLock;
    std::optional<PixelBox> reach;
    std::optional<PixelBox> ink;

    // A w x h bitmap at the scale to draw a layer's content into, cleared: the layer's current
    // one when it is of that size and nothing else holds it (a fresh one costs the kernel a new
    // mapping and zeroing each time a layer draws, text of scrolled rows), else a new one.
    static std::shared_ptr<LayerBackingStore> readyToDraw(const std::shared_ptr<LayerBackingStore>& current, int w,
                                                          int h, CGFloat scale);

    PixelBox drawnPixels();
    // What may be drawn: the exact pixels when found, else the reach.
    std::optional<PixelBox> mayBeDrawn() const { return ink ? ink : reach; }
    // Notes where the drawing's calls could reach in the w x h bitmap (its pixels, when they all told).
    void noteReach(const std::optional<CGRect>& pixels, int w, int h);

    LayerBackingStore() = default;
    LayerBackingStore(const LayerBackingStore&) = delete;
    LayerBackingStore& operator=(const LayerBackingStore&) = delete;
    ~LayerBackingStore();
};
