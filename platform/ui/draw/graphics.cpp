// Per-thread context stack and image contexts.
#include "platform/ui/draw/graphics.h"

#include <cairo.h>

#include <atomic>
#include <cmath>
#include <vector>

#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/draw/image.h"

namespace {

// A context that draws into its own Cairo image surface.
class ImageContext : public CGContext {
public:
    ImageContext(cairo_t* cr, cairo_surface_t* surface, CGFloat scale)
        : CGContext(cr, CGAffineTransformMakeScale(scale, scale)), surface_(surface), scale_(scale) {}
    ~ImageContext() override { cairo_surface_destroy(surface_); }

    std::shared_ptr<UIImage> image() const {
        cairo_surface_flush(surface_);
        auto bitmap = imageFromSurface(surface_);
        return bitmap ? UIImage::imageWithCGImage(bitmap, scale_) : nullptr;
    }

private:
    cairo_surface_t* surface_;
    CGFloat scale_;
};

struct Entry {
    std::shared_ptr<CGContext> context;
    bool imageContext = false;
};

std::vector<Entry>& stack() {
    thread_local std::vector<Entry> contexts;
    return contexts;
}

std::atomic<double> mainScreenScale{1.0};

}  // namespace

CGContext* UIGraphicsGetCurrentContext() {
    return stack().empty() ? nullptr : stack().back().context.get();
}

std::shared_ptr<CGContext> UIGraphicsGetCurrentContextShared() {
    return stack().empty() ? nullptr : stack().back().context;
}

void UIGraphicsPushContext(std::shared_ptr<CGContext> context) {
    stack().push_back({std::move(context), false});
}

void UIGraphicsPopContext() {
    if (!stack().empty() && !stack().back().imageContext) stack().pop_back();
}

void UIGraphicsSetMainScreenScale(CGFloat scale) {
    if (scale > 0 && std::isfinite(scale)) mainScreenScale = scale;
}

CGFloat UIGraphicsGetMainScreenScale() {
    return mainScreenScale;
}

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale) {
    if (!(scale > 0) || !std::isfinite(scale)) scale = UIGraphicsGetMainScreenScale();
    // A hair of tolerance so that 10.0000001 points at scale 1 stays 10 pixels.
    double w = std::ceil(size.width * scale - 1e-6), h = std::ceil(size.height * scale - 1e-6);
    if (!(w >= 1 && h >= 1) || w * h > double(kMaxImageContextPixels)) {
        stack().push_back({nullptr, true});
        return;
    }
    cairo_surface_t* surface =
        cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, int(w), int(h));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        stack().push_back({nullptr, true});
        return;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    auto context = make<ImageContext>(cr, surface, scale);
    cairo_destroy(cr);  // the context holds its own reference
    stack().push_back({context, true});
}

std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext() {
    if (stack().empty() || !stack().back().imageContext || !stack().back().context) return nullptr;
    return static_cast<ImageContext&>(*stack().back().context).image();
}

void UIGraphicsEndImageContext() {
    if (!stack().empty() && stack().back().imageContext) stack().pop_back();
}

void UIColor::setFill() const {
    if (auto* c = UIGraphicsGetCurrentContext()) c->setFillColorWithColor(cgColor());
}

void UIColor::setStroke() const {
    if (auto* c = UIGraphicsGetCurrentContext()) c->setStrokeColorWithColor(cgColor());
}

void UIColor::set() const {
    setFill();
    setStroke();
}

void UIRectFill(const CGRect& rect) {
    if (auto* c = UIGraphicsGetCurrentContext()) c->fillRect(rect);
}

void UIRectFillUsingBlendMode(const CGRect& rect, CGBlendMode mode) {
    auto* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    c->saveGState();
    c->setBlendMode(mode);
    c->fillRect(rect);
    c->restoreGState();
}

void UIRectFrame(const CGRect& rect) {
    auto* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    // The frame lies inside the rectangle: a one-point line along each edge.
    c->saveGState();
    c->setLineWidth(1);
    c->strokeRect(CGRectInset(rect, 0.5, 0.5));
    c->restoreGState();
}

void UIRectClip(const CGRect& rect) {
    if (auto* c = UIGraphicsGetCurrentContext()) c->clipToRect(rect);
}
