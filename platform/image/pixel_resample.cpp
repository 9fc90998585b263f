// Clamped bilinear resampling on the row kernel.
#include "platform/image/pixel_resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/image/engine/kernels.h"

namespace {

// The pair of source pixels under a position along one axis, clamped to the edge: the first of the
// two and where between them the position lies. The second pixel is always inside (a position on
// the last pixel takes the one before it, wholly the second).
struct Pair {
    long first;
    float t;
};

Pair pairAt(double position, long size) {
    const double p = std::clamp(position, 0.0, static_cast<double>(size - 1));
    const long k = std::min(static_cast<long>(p), size - 2);
    return {k, static_cast<float>(p - static_cast<double>(k))};
}

}  // namespace

void resampleRGBA8Clamped(const std::uint8_t* src, int sw, int sh, std::size_t srcStride, std::uint8_t* dst, int dw,
                          int dh, std::size_t dstStride, double x0, double y0, double step) {
    if (!src || !dst || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    if (sw < 2 || sh < 2) {
        // A single column or row: the nearest pixel (the kernel reads a pair along each axis).
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                auto at = [&](double p, int size) {
                    return static_cast<std::size_t>(std::clamp(std::lround(p), 0L, static_cast<long>(size - 1)));
                };
                const std::size_t sx = at(x0 + (x + 0.5) * step - 0.5, sw), sy = at(y0 + (y + 0.5) * step - 0.5, sh);
                std::copy_n(src + sy * srcStride + 4 * sx, 4, dst + static_cast<std::size_t>(y) * dstStride + 4 * x);
            }
        return;
    }
    const std::size_t n = static_cast<std::size_t>(dw);
    std::vector<std::ptrdiff_t> offset(n);
    std::vector<float> fx(n), fade(n, 1.0f), planes(4 * n);
    float* r = planes.data();
    float* g = r + n;
    float* b = g + n;
    float* a = b + n;
    for (std::size_t i = 0; i < n; ++i) {
        const Pair p = pairAt(x0 + (static_cast<double>(i) + 0.5) * step - 0.5, sw);
        offset[i] = 4 * static_cast<std::ptrdiff_t>(p.first);
        fx[i] = p.t;
    }
    const auto next = static_cast<std::ptrdiff_t>(srcStride);
    for (int y = 0; y < dh; ++y) {
        const Pair p = pairAt(y0 + (static_cast<double>(y) + 0.5) * step - 0.5, sh);
        const std::uint8_t* row = src + static_cast<std::size_t>(p.first) * srcStride;
        kernels::bilinearRGBA8(row, offset.data(), next, fx.data(), fade.data(), p.t, 1.0f / 255.0f, n, false, r, g, b,
                               a);
        kernels::storeRGBA8(r, g, b, a, n, dst + static_cast<std::size_t>(y) * dstStride, false);
    }
}
