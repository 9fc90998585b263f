// Pooled pixel buffers and the groups drawn into them.
#include "platform/ui/layer/surface_pool.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/dispatch/clock.h"

namespace {
const cairo_user_data_key_t kLoanKey{};
// A group or shadow larger than this is not a frame's business (the renderer's own limit).
constexpr double kMaxPixels = double(1 << 26);
}  // namespace

struct SurfacePool::Loan {
    SurfacePool* pool;
    Buffer buffer;
};

SurfacePool& SurfacePool::shared() {
    // Never destroyed: surfaces may be given back while the program ends.
    static SurfacePool* pool = new SurfacePool();
    return *pool;
}

SurfacePool::~SurfacePool() = default;

cairo_surface_t* SurfacePool::transparentSurface(int width, int height) {
    cairo_rectangle_int_t all{0, 0, width, height};
    return surfaceClearedIn(width, height, all);
}

cairo_surface_t* SurfacePool::surfaceClearedIn(int width, int height, const cairo_rectangle_int_t& cleared) {
    if (width <= 0 || height <= 0 || double(width) * height > kMaxPixels) return nullptr;
    int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    if (stride <= 0) return nullptr;
    std::size_t need = std::size_t(stride) * std::size_t(height);
    Buffer buffer;
    {
        std::lock_guard lock(mutex_);
        dropIdle(Clock::now());
        // The smallest kept buffer that is large enough, unless it is wastefully large.
        auto best = kept_.end();
        for (auto it = kept_.begin(); it != kept_.end(); ++it)
            if (it->bytes >= need && it->bytes <= need * 4 + (std::size_t(1) << 16) &&
                (best == kept_.end() || it->bytes < best->bytes))
                best = it;
        if (best != kept_.end()) {
            buffer = std::move(*best);
            keptNow_ -= buffer.bytes;
            kept_.erase(best);
        } else {
            ++made_;
        }
    }
    if (!buffer.data) {
        buffer.data.reset(new (std::nothrow) std::uint8_t[need]);
        if (!buffer.data) return nullptr;
        buffer.bytes = need;
    }
    const int x0 = std::clamp(cleared.x, 0, width), x1 = std::clamp(cleared.x + std::max(0, cleared.width), x0, width);
    const int y0 = std::clamp(cleared.y, 0, height),
              y1 = std::clamp(cleared.y + std::max(0, cleared.height), y0, height);
    if (x0 == 0 && x1 == width)
        std::memset(buffer.data.get() + std::size_t(stride) * y0, 0, std::size_t(stride) * (y1 - y0));
    else
        for (int y = y0; y < y1; ++y)
            std::memset(buffer.data.get() + std::size_t(stride) * y + x0 * 4, 0, (x1 - x0) * 4);
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(buffer.data.get(), CAIRO_FORMAT_ARGB32, width, height, stride);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        put(std::move(buffer));
        return nullptr;
    }
    auto* loan = new Loan{this, std::move(buffer)};
    if (cairo_surface_set_user_data(surface, &kLoanKey, loan, &SurfacePool::giveBack) != CAIRO_STATUS_SUCCESS) {
        // The surface cannot tell us when it is done with the buffer: it keeps it for itself.
        cairo_surface_destroy(surface);
        delete loan;
        return nullptr;
    }
    return surface;
}

void SurfacePool::giveBack(void* data) {
    std::unique_ptr<Loan> loan(static_cast<Loan*>(data));
    loan->pool->put(std::move(loan->buffer));
}

void SurfacePool::put(Buffer buffer) {
    const double now = Clock::now();
    std::lock_guard lock(mutex_);
    dropIdle(now);
    if (buffer.bytes > keptBytes_) return;
    buffer.keptAt = now;
    keptNow_ += buffer.bytes;
    kept_.push_back(std::move(buffer));
    // Over the budget, the largest buffers go first: small ones are the most often reused.
    while (keptNow_ > keptBytes_ && !kept_.empty()) {
        auto largest = std::max_element(kept_.begin(), kept_.end(),
                                        [](const Buffer& a, const Buffer& b) { return a.bytes < b.bytes; });
        keptNow_ -= largest->bytes;
        kept_.erase(largest);
    }
}

void SurfacePool::dropIdle(double now) {
    std::erase_if(kept_, [&](const Buffer& b) {
        if (now - b.keptAt < kIdleSeconds) return false;
        keptNow_ -= b.bytes;
        return true;
    });
}

std::size_t SurfacePool::keptCount() const {
    std::lock_guard lock(mutex_);
    return kept_.size();
}

std::size_t SurfacePool::keptBytesNow() const {
    std::lock_guard lock(mutex_);
    return keptNow_;
}

std::uint64_t SurfacePool::madeCount() const {
    std::lock_guard lock(mutex_);
    return made_;
}

LayerGroup::LayerGroup(cairo_t* cr, const cairo_rectangle_int_t* reach) : parent_(cr) {
    cairo_surface_t* target = cairo_get_group_target(cr);
    // The clip is read and carried over in device space: through a scaled matrix its edges
    // would come back a rounding error off whole pixels and be drawn as partly covered.
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_identity_matrix(cr);
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr);
    cairo_set_matrix(cr, &m);
    bool rectangles =
        clip->status == CAIRO_STATUS_SUCCESS && target && cairo_surface_get_type(target) == CAIRO_SURFACE_TYPE_IMAGE;
    cairo_surface_t* surface = nullptr;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (rectangles) {
        // The group spans the clip's extents in device space, in whole pixels, as Cairo's does.
        cairo_identity_matrix(cr);
        cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
        cairo_set_matrix(cr, &m);
        x0 = std::floor(x0), y0 = std::floor(y0), x1 = std::ceil(x1), y1 = std::ceil(y1);
        const int w = std::max(1, int(x1 - x0)), h = std::max(1, int(y1 - y0));
        if (reach) {
            cairo_rectangle_int_t cleared{reach->x - int(x0), reach->y - int(y0), reach->width, reach->height};
            surface = SurfacePool::shared().surfaceClearedIn(w, h, cleared);
        } else {
            surface = SurfacePool::shared().transparentSurface(w, h);
        }
    }
    if (!surface) {
        cairo_rectangle_list_destroy(clip);
        cairo_push_group(cr);
        pushed_ = true;
        group_ = cr;
        return;
    }
    cairo_surface_set_device_offset(surface, -x0, -y0);
    group_ = cairo_create(surface);
    cairo_surface_destroy(surface);  // the context holds it
    // The parent's clip applies inside the group too (Cairo's groups keep it), so edges that
    // the clip cuts are covered alike.
    for (int i = 0; i < clip->num_rectangles; ++i) {
        const cairo_rectangle_t& r = clip->rectangles[i];
        cairo_rectangle(group_, r.x, r.y, r.width, r.height);
    }
    if (clip->num_rectangles == 0) cairo_rectangle(group_, 0, 0, 0, 0);
    cairo_clip(group_);
    cairo_rectangle_list_destroy(clip);
    cairo_set_matrix(group_, &m);
    cairo_set_antialias(group_, cairo_get_antialias(cr));
    cairo_set_tolerance(group_, cairo_get_tolerance(cr));
}

LayerGroup::~LayerGroup() {
    if (!finished_) cairo_pattern_destroy(finish());
}

cairo_pattern_t* LayerGroup::finish() {
    finished_ = true;
    if (pushed_) return cairo_pop_group(parent_);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(cairo_get_target(group_));
    // The pattern's space is device space, as for the parent's own groups.
    cairo_matrix_t m;
    cairo_get_matrix(parent_, &m);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_destroy(group_);
    group_ = nullptr;
    return pattern;
}
