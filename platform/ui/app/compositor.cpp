// Compositing windows into the screen's Cairo framebuffer.
#include "platform/ui/app/compositor.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "platform/image/cg_image.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/layer/layer_renderer.h"

namespace {

// The damaged rectangles with overlapping ones joined, until none overlap.
std::vector<CGRect> mergedAreas(std::vector<CGRect> rects) {
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < rects.size() && !joined; ++i)
            for (std::size_t j = i + 1; j < rects.size() && !joined; ++j)
                if (CGRectIntersectsRect(rects[i], rects[j])) {
                    rects[i] = CGRectUnion(rects[i], rects[j]);
                    rects.erase(rects.begin() + long(j));
                    joined = true;
                }
    }
    return rects;
}

}  // namespace

struct Compositor::Framebuffer {
    cairo_surface_t* surface = nullptr;
    int width = 0, height = 0;
    ~Framebuffer() {
        if (surface) cairo_surface_destroy(surface);
    }
};

Compositor::Compositor(std::shared_ptr<UIScreen> screen)
    : screen_(std::move(screen)), fb_(std::make_unique<Framebuffer>()) {
    ensureSize();
}

Compositor::~Compositor() = default;

void Compositor::ensureSize() {
    CGRect b = screen_->bounds();
    int w = std::max(1, static_cast<int>(std::lround(b.size.width * screen_->nativeScale())));
    int h = std::max(1, static_cast<int>(std::lround(b.size.height * screen_->nativeScale())));
    if (fb_->surface && fb_->width == w && fb_->height == h) return;
    if (fb_->surface) cairo_surface_destroy(fb_->surface);
    fb_->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    fb_->width = w;
    fb_->height = h;
    forced_ = true;
}

std::vector<std::shared_ptr<UIWindow>> Compositor::visibleWindows() const {
    auto windows = screen_->windows();
    windows.erase(std::remove_if(windows.begin(), windows.end(), [](const auto& w) { return w->isHidden(); }),
                  windows.end());
    std::stable_sort(windows.begin(), windows.end(),
                     [](const auto& a, const auto& b) { return a->windowLevel() < b->windowLevel(); });
    return windows;
}

bool Compositor::update() {
    ensureSize();
    auto windows = visibleWindows();
    for (auto& w : windows) {
        w->layoutIfNeeded();
        w->layer()->layoutIfNeeded();
        LayerRenderer::prepare(*w->layer(), screen_->nativeScale());
    }
    std::uint64_t generation = CALayer::renderGeneration();
    if (!forced_ && generation == lastGeneration_) return false;
    lastGeneration_ = generation;
    CGFloat scale = screen_->nativeScale();
    if (forced_) damage_.reset();
    forced_ = false;
    std::vector<CALayer*> roots;
    for (auto& w : windows) roots.push_back(w->layer().get());
    auto damage =
        damage_.update(roots, CGAffineTransformMakeScale(scale, scale), CGRectMake(0, 0, fb_->width, fb_->height));
    if (damage.empty()) return false;
    // Only the damaged rectangles are painted again; everything else keeps last frame's pixels.
    // Each separate area is painted on its own, so that the groups drawing makes (translucent or
    // masked layers) are only as large as that area, not as the box round all of them.
    cairo_t* cr = cairo_create(fb_->surface);
    for (const auto& r : mergedAreas(damage)) {
        cairo_save(cr);
        cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
        cairo_clip(cr);
        cairo_scale(cr, scale, scale);
        // The area starts black unless a window draws an opaque square over all of it anyway.
        if (std::none_of(windows.begin(), windows.end(),
                         [&](const auto& w) { return LayerRenderer::coversOpaquely(cr, *w->layer(), r); })) {
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_paint(cr);
        }
        RenderPass pass(scale);
        for (auto& w : windows) LayerRenderer::renderLayer(cr, *w->layer(), pass);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(fb_->surface);
    lastDamage_ = std::move(damage);
    ++frames_;
    return true;
}

int Compositor::pixelWidth() const {
    return fb_->width;
}
int Compositor::pixelHeight() const {
    return fb_->height;
}
const std::uint8_t* Compositor::pixels() const {
    return cairo_image_surface_get_data(fb_->surface);
}
int Compositor::stride() const {
    return cairo_image_surface_get_stride(fb_->surface);
}

std::uint32_t Compositor::pixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= fb_->width || y >= fb_->height) return 0;
    auto argb = *reinterpret_cast<const std::uint32_t*>(pixels() + static_cast<std::size_t>(y) * stride() + 4 * x);
    std::uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return (r << 24) | (g << 16) | (b << 8) | a;
}

std::shared_ptr<CGImage> Compositor::snapshot() const {
    return imageFromSurface(fb_->surface);
}

Result<void> Compositor::writePNG(const std::string& path) const {
    cairo_status_t status = cairo_surface_write_to_png(fb_->surface, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) return fail("cannot write " + path + ": " + cairo_status_to_string(status));
    return {};
}
