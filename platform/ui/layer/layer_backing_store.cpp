// The layer's drawn bitmap: reusing it, and finding the pixels its drawing touched.
#include "platform/ui/layer/layer_backing_store.h"

#include <cairo.h>

#include <cstddef>
#include <cstring>

std::shared_ptr<LayerBackingStore> LayerBackingStore::readyToDraw(const std::shared_ptr<LayerBackingStore>& current,
                                                                  int w, int h, CGFloat scale) {
    if (current && current.use_count() == 1 && current->surface && current->scale == scale &&
        cairo_surface_get_reference_count(current->surface) == 1 &&
        cairo_image_surface_get_width(current->surface) == w && cairo_image_surface_get_height(current->surface) == h) {
        cairo_surface_flush(current->surface);
        // Only the pixels the last drawing may have touched need clearing.
        unsigned char* data = cairo_image_surface_get_data(current->surface);
        const int stride = cairo_image_surface_get_stride(current->surface);
        if (auto drawn = current->mayBeDrawn())
            clearPixels(data, stride, *drawn);
        else
            std::memset(data, 0, static_cast<std::size_t>(stride) * h);
        current->ink.reset();
        current->reach.reset();
        cairo_surface_mark_dirty(current->surface);
        return current;
    }
    auto store = std::make_shared<LayerBackingStore>();
    store->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    store->scale = scale;
    return store;
}

PixelBox LayerBackingStore::drawnPixels() {
    std::lock_guard lock(inkLock);
    if (!ink) {
        cairo_surface_flush(surface);
        const PixelBox within =
            reach ? *reach
                  : PixelBox{0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)};
        ink = PixelBox{};
        if (!within.empty()) {
            const int stride = cairo_image_surface_get_stride(surface);
            const unsigned char* corner =
                cairo_image_surface_get_data(surface) + static_cast<std::ptrdiff_t>(within.y0) * stride + within.x0 * 4;
            const PixelBox found = inkBox(corner, stride, within.x1 - within.x0, within.y1 - within.y0);
            if (!found.empty())
                ink = PixelBox{found.x0 + within.x0, found.y0 + within.y0, found.x1 + within.x0, found.y1 + within.y0};
        }
    }
    return *ink;
}

void LayerBackingStore::noteReach(const std::optional<CGRect>& pixels, int w, int h) {
    if (!pixels) return;
    const CGRect r = CGRectIntersection(*pixels, CGRectMake(0, 0, w, h));
    reach = CGRectIsNull(r) || CGRectIsEmpty(r)
                ? PixelBox{}
                : PixelBox{static_cast<int>(r.origin.x), static_cast<int>(r.origin.y),
                           static_cast<int>(CGRectGetMaxX(r)), static_cast<int>(CGRectGetMaxY(r))};
}

LayerBackingStore::~LayerBackingStore() {
    if (surface) cairo_surface_destroy(surface);
}
