// Pixel buffers for the surfaces a frame draws through (groups of translucent, masked or shadowed
// layers, shadows, backdrops), kept between frames: a frame takes them from the pool and gives
// them back when Cairo lets go of the surface, so no large buffer is made and dropped per frame
// (each such buffer costs the kernel a fresh mapping and zeroing). A kept buffer that no frame has
// taken for kIdleSeconds (on the platform clock) is let go: the groups of a pop-up's animation
// come in sizes of their own and would otherwise fill the budget for the rest of the run.
// Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_pattern cairo_pattern_t;
typedef struct _cairo_rectangle_int cairo_rectangle_int_t;

class SurfacePool {
public:
    // The pool the renderer uses.
    static SurfacePool& shared();

    explicit SurfacePool(std::size_t keptBytes = std::size_t(48) << 20) : keptBytes_(keptBytes) {}
    ~SurfacePool();
    SurfacePool(const SurfacePool&) = delete;
    SurfacePool& operator=(const SurfacePool&) = delete;

    // A transparent ARGB32 image surface of the size whose buffer returns to the pool when the
    // surface is destroyed; null for a size that is not positive or too large.
    cairo_surface_t* transparentSurface(int width, int height);
    // The same with only the box (in its own pixels) cleared: the rest holds what the buffer held.
    cairo_surface_t* surfaceClearedIn(int width, int height, const cairo_rectangle_int_t& cleared);

    // Buffers waiting for reuse, and their bytes (for tests and diagnostics).
    std::size_t keptCount() const;
    std::size_t keptBytesNow() const;
    // Buffers made since the pool was made (reuse keeps this still).
    std::uint64_t madeCount() const;

    // How long a kept buffer waits for reuse.
    static constexpr double kIdleSeconds = 5.0;

private:
    struct Buffer {
        std::unique_ptr<std::uint8_t[]> data;
        std::size_t bytes = 0;
        double keptAt = 0;  // when it came back
    };
    struct Loan;
    static void giveBack(void* loan);
    void put(Buffer buffer);
    // Lets go of the buffers kept longer than kIdleSeconds; under the lock.
    void dropIdle(double now);

    mutable std::mutex mutex_;
    std::vector<Buffer> kept_;
    std::size_t keptBytes_;
    std::size_t keptNow_ = 0;
    std::uint64_t made_ = 0;
};

// Like cairo_push_group/cairo_pop_group, with the group's pixels from the shared pool. The group
// covers the clip of `cr` in device space and draws with its matrix and clip; `cr` itself is left
// as it was. Where the clip cannot be carried over exactly (not a set of rectangles), Cairo's own
// group is used so that what is drawn stays the same. `reach`, when given, holds every device pixel
// the group's drawing can change and the only ones read back from it: only those are cleared (a
// group can span much more of the clip than its layer draws into).
class LayerGroup {
public:
    explicit LayerGroup(cairo_t* cr, const cairo_rectangle_int_t* reach = nullptr);
    ~LayerGroup();
    LayerGroup(const LayerGroup&) = delete;
    LayerGroup& operator=(const LayerGroup&) = delete;

    // Where the group's content is drawn.
    cairo_t* cr() const { return group_; }
    // Ends the group: a pattern of its pixels, placed for `cr`'s current matrix (the caller
    // destroys it). Called once.
    cairo_pattern_t* finish();

private:
    cairo_t* parent_;
    cairo_t* group_ = nullptr;
    bool pushed_ = false;  // Cairo's own group on the parent
    bool finished_ = false;
};
