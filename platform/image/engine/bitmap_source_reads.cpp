// Bitmap sources read whole: a frame on its side pixel for pixel, tile by tile, and the exact sums
// of every pixel; and stored rows asked for ahead of their readers.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/image/engine/bitmap_source.h"
#include "platform/image/engine/render_arena.h"
#include "platform/image/engine/render_pool.h"

void BitmapSource::fetchAhead(long y, long x0, std::size_t n) const {
    if (orientation_ != 1 || n == 0) return;
    const char* run = reinterpret_cast<const char*>(rowBytes(y, x0, n));
    const std::size_t bytes = (format_ == CIFormat::RGBAf ? 4 * sizeof(float) : 4) * n;
    for (std::size_t b = 0; b < bytes; b += 64) __builtin_prefetch(run + b);
    __builtin_prefetch(run + bytes - 1);
}

void BitmapSource::renderTurnedUnit(const Tile& out, double sx, double tx, double sy, double ty,
                                    TileContext& ctx) const {
    // Output pixel (X, Y) is upright pixel (i, k) (k counted from the bottom), the one of the
    // stored bitmap at orientedRow(height_ - 1 - k) + i * step.
    const long ox = static_cast<long>(tx), oy = static_cast<long>(ty);
    const long left = sx > 0 ? ox : ox - width_, bottom = sy > 0 ? oy : oy - height_;
    const long x0 = std::max(out.rect.x, left), x1 = std::min(out.rect.x + out.rect.w, left + width_);
    const long y0 = std::max(out.rect.y, bottom), y1 = std::min(out.rect.y + out.rect.h, bottom + height_);
    if (x1 <= x0 || y1 <= y0) {
        out.clear();
        return;
    }
    out.clearOutside({x0, y0, x1 - x0, y1 - y0});
    const long i = sx > 0 ? x0 - ox : ox - x0 - 1, k = sy > 0 ? y0 - oy : oy - y0 - 1;
    std::ptrdiff_t step = 0;
    const std::uint8_t* first = orientedRow(height_ - 1 - k, step) + i * step;
    // Bytes to the next output pixel of a row, and to the pixel above it (one upright row nearer
    // the top, or farther with sy < 0): a stored row's stride one way, a pixel the other.
    const std::ptrdiff_t across = sx > 0 ? step : -step;
    const std::ptrdiff_t down = orientedRow(1, step) - orientedRow(0, step);
    const std::ptrdiff_t up = sy > 0 ? -down : down;
    // The block turned in the cache: runs of 16 output rows read as one run of a stored row each.
    ArenaScope scope(ctx.arena);
    const std::size_t w = static_cast<std::size_t>(x1 - x0), h = static_cast<std::size_t>(y1 - y0);
    auto* block = static_cast<std::uint32_t*>(ctx.arena.bytes(4 * w * h));
    constexpr std::size_t kRun = 16;
    constexpr std::ptrdiff_t kAhead = 8;
    for (std::size_t j0 = 0; j0 < h; j0 += kRun) {
        const std::size_t n = std::min(kRun, h - j0);
        const std::uint8_t* column = first + static_cast<std::ptrdiff_t>(j0) * up;
        for (std::size_t c = 0; c < w; ++c, column += across) {
            // Each run is a stored row of its own, too far from the last for the hardware to
            // fetch ahead: the run a few rows on is asked for now.
            const auto ahead = reinterpret_cast<std::uintptr_t>(column) + static_cast<std::uintptr_t>(kAhead * across);
            __builtin_prefetch(reinterpret_cast<const void*>(ahead));
            __builtin_prefetch(reinterpret_cast<const void*>(
                ahead + static_cast<std::uintptr_t>(static_cast<std::ptrdiff_t>(n - 1) * up)));
            const std::uint8_t* from = column;
            std::uint32_t* to = block + j0 * w + c;
            for (std::size_t r = 0; r < n; ++r, from += up, to += w) std::memcpy(to, from, 4);
        }
    }
    for (std::size_t r = 0; r < h; ++r) {
        const long j = y0 - out.rect.y + static_cast<long>(r), at = x0 - out.rect.x;
        float* p[4] = {out.row(0, j) + at, out.row(1, j) + at, out.row(2, j) + at, out.row(3, j) + at};
        loadBytes(reinterpret_cast<const std::uint8_t*>(block + r * w), w, p);
    }
}

bool BitmapSource::sumPixels(double sums[4]) const {
    if (format_ == CIFormat::RGBAf || alpha_ != CIAlphaMode::Premultiplied) return false;
    // Exact, in any order: a pixel's bytes 0 and 2, and 1 and 3, add up as 16-bit halves of one
    // 32-bit word (little-endian), which 256 pixels cannot overflow; runs of them into 64 bits,
    // bands of rows on the render threads.
    const long w = orientation_ == 1 ? width_ : storedWidth_, h = orientation_ == 1 ? height_ : storedHeight_;
    constexpr long kRun = 256, kBandRows = 64;
    const std::size_t bands = static_cast<std::size_t>((h + kBandRows - 1) / kBandRows);
    std::vector<std::array<std::uint64_t, 4>> totals(bands, {0, 0, 0, 0});
    auto band = [&](std::size_t b, RenderArena&) {
        std::array<std::uint64_t, 4>& total = totals[b];
        for (long y = static_cast<long>(b) * kBandRows; y < std::min(h, static_cast<long>(b + 1) * kBandRows); ++y) {
            const std::uint8_t* row = pixels_.get() + static_cast<std::size_t>(y) * bytesPerRow_;
            for (long x = 0; x < w; x += kRun) {
                const long n = std::min(kRun, w - x);
                std::uint32_t even = 0, odd = 0;
                for (long i = 0; i < n; ++i) {
                    std::uint32_t v;
                    std::memcpy(&v, row + 4 * (x + i), 4);
                    even += v & 0x00FF00FFu;
                    odd += (v >> 8) & 0x00FF00FFu;
                }
                total[0] += even & 0xFFFFu, total[2] += even >> 16;
                total[1] += odd & 0xFFFFu, total[3] += odd >> 16;
            }
        }
    };
    // (A small bitmap is summed here: waking threads would cost more.)
    const bool large = static_cast<double>(w) * static_cast<double>(h) >= 1 << 20;
    if (!(large && bands > 1 && RenderPool::shared().tryRun(bands, 0, band))) {
        RenderArena unused;
        for (std::size_t b = 0; b < bands; ++b) band(b, unused);
    }
    std::uint64_t total[4] = {0, 0, 0, 0};
    for (const auto& t : totals)
        for (int c = 0; c < 4; ++c) total[c] += t[static_cast<std::size_t>(c)];
    const bool bgra = format_ == CIFormat::BGRA8;
    sums[0] = static_cast<double>(total[bgra ? 2 : 0]) / 255.0;
    sums[1] = static_cast<double>(total[1]) / 255.0;
    sums[2] = static_cast<double>(total[bgra ? 0 : 2]) / 255.0;
    sums[3] = static_cast<double>(total[3]) / 255.0;
    return true;
}
