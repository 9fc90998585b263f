// CALayer's drawing: display into the layer's bitmap, and renderInContext.
#include <cairo.h>

#include <cmath>

#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/drawn_area.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/layer_backing_store.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/layer/render_pass.h"

void CALayer::display() {
    CGSize size = bounds_.size;
    CGFloat scale = contentsScale_ > 0 ? contentsScale_ : 1;
    int w = static_cast<int>(std::ceil(size.width * scale)), h = static_cast<int>(std::ceil(size.height * scale));
    bool hasDelegate = !delegate_.expired();
    // A layer without a size yet is drawn once it has one.
    needsDisplay_ = w <= 0 || h <= 0;
    if (w <= 0 || h <= 0 || double(w) * h > kMaxBackingPixels) {
        if (backing_) changed();
        backing_.reset();
        return;
    }
    std::shared_ptr<LayerBackingStore> store = LayerBackingStore::readyToDraw(backing_, w, h, scale);
    store->size = size;
    store->ink.reset();
    cairo_t* cr = cairo_create(store->surface);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -bounds_.origin.x, -bounds_.origin.y);
    auto context = CGContext::makeWithCairo(cr, CGAffineTransformMakeScale(scale, scale));
    baseDrawCalled_ = false;
    delegateDrew_ = false;
    std::optional<CGRect> reach;
    {
        DrawnArea area(cr);
        UIGraphicsPushContext(context);
        drawInContext(*context);
        UIGraphicsPopContext();
        reach = area.pixels();
    }
    context.reset();
    cairo_destroy(cr);
    cairo_surface_flush(store->surface);
    store->noteReach(reach, w, h);
    // A plain layer whose delegate draws nothing keeps no bitmap.
    bool drew = !baseDrawCalled_ || (hasDelegate && delegateDrew_);
    if (drew)
        backing_ = std::move(store);
    else
        backing_.reset();
    changed();
}

void CALayer::drawInContext(CGContext& context) {
    baseDrawCalled_ = true;
    if (auto d = delegate_.lock()) delegateDrew_ = d->drawLayerInContext(*this, context);
}

void CALayer::renderInContext(CGContext& context) {
    const CGAffineTransform& base = context.baseTransform();
    CGFloat scale = std::sqrt(std::abs(base.a * base.d - base.b * base.c));
    if (!(scale > 0)) scale = 1;
    layoutIfNeeded();
    LayerRenderer::prepare(*this, scale);
    cairo_t* cr = context.cairo();
    if (!cr) return;
    DrawnArea::note(cr, std::nullopt);  // layers draw straight through Cairo
    CairoSave save(cr);
    RenderPass model(scale, LayerValues::Model);
    LayerRenderer::renderContents(cr, *this, model);
}
