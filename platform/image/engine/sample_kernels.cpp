// Sampling kernels for fast down-scaling (bilinear reads of 8-bit rows), chosen at run time.
#include <algorithm>
#include <cstring>

#include "platform/image/engine/kernels.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "platform/image/engine/sample_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "platform/image/engine/kernel_helpers-inl.h"

HWY_BEFORE_NAMESPACE();
namespace korva_kernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void BilinearRGBA8(const std::uint8_t* base, const std::ptrdiff_t* offset, std::ptrdiff_t other, const float* fx,
                   const float* fade, float fy, float rowScale, std::size_t n, bool bgra, float* r, float* g, float* b,
                   float* a) {
    // Each output pixel interpolates a pair of neighbouring 8-bit pixels in each of two rows;
    // results go out interleaved in batches and are split into planes afterwards. Interpolating
    // (rather than weighting and adding) keeps equal neighbours exact, so opaque stays 1.
    const DF df;
    const std::size_t N = hn::Lanes(df);
    float* first = bgra ? b : r;
    float* third = bgra ? r : b;
    constexpr std::size_t kBatch = 256;
    alignas(64) float rgba[(kBatch + kMaxLanes) * 4];
    for (std::size_t start = 0; start < n; start += kBatch) {
        const std::size_t m = std::min(kBatch, n - start);
#if HWY_TARGET != HWY_SCALAR && HWY_MAX_BYTES >= 32
        // A pair of pixels is eight bytes: both rows' pairs are interpolated at once, then the halves.
        const hn::FixedTag<float, 8> d8;
        const hn::FixedTag<float, 4> d4;
        const hn::FixedTag<std::int32_t, 8> di8;
        const hn::FixedTag<std::uint8_t, 8> du8;
        auto pair = [&](const std::uint8_t* p) { return hn::ConvertTo(d8, hn::PromoteTo(di8, hn::LoadU(du8, p))); };
        const auto vy = hn::Set(d8, fy);
        const auto scale = hn::Set(d4, rowScale);
        for (std::size_t i = 0; i < m; ++i) {
            const std::size_t k = start + i;
            const std::uint8_t* p = base + offset[k];
            const auto v = Lerp(pair(p), pair(p + other), vy);
            const auto o = Lerp(hn::LowerHalf(d4, v), hn::UpperHalf(d4, v), hn::Set(d4, fx[k]));
            hn::Store(hn::Mul(o, hn::Mul(scale, hn::Set(d4, fade[k]))), d4, rgba + 4 * i);
        }
#elif HWY_TARGET != HWY_SCALAR
        const hn::FixedTag<float, 4> d4;
        const hn::FixedTag<std::int32_t, 4> di4;
        const hn::FixedTag<std::uint8_t, 4> du4;
        auto pixel = [&](const std::uint8_t* p) { return hn::ConvertTo(d4, hn::PromoteTo(di4, hn::LoadU(du4, p))); };
        const auto vy = hn::Set(d4, fy);
        const auto scale = hn::Set(d4, rowScale);
        for (std::size_t i = 0; i < m; ++i) {
            const std::size_t k = start + i;
            const std::uint8_t* p = base + offset[k];
            const auto lo = Lerp(pixel(p), pixel(p + other), vy);
            const auto hi = Lerp(pixel(p + 4), pixel(p + other + 4), vy);
            const auto o = Lerp(lo, hi, hn::Set(d4, fx[k]));
            hn::Store(hn::Mul(o, hn::Mul(scale, hn::Set(d4, fade[k]))), d4, rgba + 4 * i);
        }
#else
        for (std::size_t i = 0; i < m; ++i) {
            const std::size_t k = start + i;
            const std::uint8_t* p = base + offset[k];
            auto lerp = [](float u, float v, float t) { return (v - u) * t + u; };
            for (int c = 0; c < 4; ++c) {
                const float lo = lerp(p[c], p[other + c], fy), hi = lerp(p[4 + c], p[other + 4 + c], fy);
                rgba[4 * i + c] = lerp(lo, hi, fx[k]) * (rowScale * fade[k]);
            }
        }
#endif
        std::size_t i = 0;
        for (; i + N <= m; i += N) {
            VF c0, c1, c2, c3;
            hn::LoadInterleaved4(df, rgba + 4 * i, c0, c1, c2, c3);
            hn::StoreU(c0, df, first + start + i);
            hn::StoreU(c1, df, g + start + i);
            hn::StoreU(c2, df, third + start + i);
            hn::StoreU(c3, df, a + start + i);
        }
        for (; i < m; ++i) {
            first[start + i] = rgba[4 * i];
            g[start + i] = rgba[4 * i + 1];
            third[start + i] = rgba[4 * i + 2];
            a[start + i] = rgba[4 * i + 3];
        }
    }
}

void Transpose(const float* HWY_RESTRICT src, std::size_t srcStride, float* HWY_RESTRICT dst, std::size_t dstStride,
               std::size_t rows, std::size_t cols) {
    // Blocks of 4 x 4 in registers: two rounds of interleaving turn four rows into four columns.
    std::size_t r0 = 0;
#if HWY_TARGET != HWY_SCALAR
    const hn::FixedTag<float, 4> d4;
    for (; r0 + 4 <= rows; r0 += 4) {
        const float* s = src + r0 * srcStride;
        std::size_t c0 = 0;
        for (; c0 + 4 <= cols; c0 += 4) {
            const auto a = hn::LoadU(d4, s + c0), b = hn::LoadU(d4, s + srcStride + c0);
            const auto c = hn::LoadU(d4, s + 2 * srcStride + c0), d = hn::LoadU(d4, s + 3 * srcStride + c0);
            const auto ab0 = hn::InterleaveLower(d4, a, b), cd0 = hn::InterleaveLower(d4, c, d);
            const auto ab1 = hn::InterleaveUpper(d4, a, b), cd1 = hn::InterleaveUpper(d4, c, d);
            float* o = dst + c0 * dstStride + r0;
            hn::StoreU(hn::ConcatLowerLower(d4, cd0, ab0), d4, o);
            hn::StoreU(hn::ConcatUpperUpper(d4, cd0, ab0), d4, o + dstStride);
            hn::StoreU(hn::ConcatLowerLower(d4, cd1, ab1), d4, o + 2 * dstStride);
            hn::StoreU(hn::ConcatUpperUpper(d4, cd1, ab1), d4, o + 3 * dstStride);
        }
        for (; c0 < cols; ++c0)
            for (std::size_t r = r0; r < r0 + 4; ++r) dst[c0 * dstStride + r] = src[r * srcStride + c0];
    }
#endif
    for (; r0 < rows; ++r0)
        for (std::size_t c = 0; c < cols; ++c) dst[c * dstStride + r0] = src[r0 * srcStride + c];
}

void ReverseRow(const float* HWY_RESTRICT src, float* HWY_RESTRICT dst, std::size_t n) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    std::size_t i = 0;
    for (; i + N <= n; i += N) hn::StoreU(hn::Reverse(df, hn::LoadU(df, src + n - i - N)), df, dst + i);
    for (; i < n; ++i) dst[i] = src[n - 1 - i];
}

}  // namespace HWY_NAMESPACE
}  // namespace korva_kernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korva_kernels {
HWY_EXPORT(BilinearRGBA8);
HWY_EXPORT(Transpose);
HWY_EXPORT(ReverseRow);
}  // namespace korva_kernels

namespace kernels {
using namespace korva_kernels;

void bilinearRGBA8(const std::uint8_t* base, const std::ptrdiff_t* offset, std::ptrdiff_t other, const float* fx,
                   const float* fade, float fy, float rowScale, std::size_t n, bool bgra, float* r, float* g, float* b,
                   float* a) {
    HWY_DYNAMIC_DISPATCH(BilinearRGBA8)(base, offset, other, fx, fade, fy, rowScale, n, bgra, r, g, b, a);
}

void transpose(const float* src, std::size_t srcStride, float* dst, std::size_t dstStride, std::size_t rows,
               std::size_t cols) {
    HWY_DYNAMIC_DISPATCH(Transpose)(src, srcStride, dst, dstStride, rows, cols);
}

void reverseRow(const float* src, float* dst, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(ReverseRow)(src, dst, n);
}

}  // namespace kernels
#endif
