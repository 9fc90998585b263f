// Colour cube kernels: trilinear lookups over float planes, and straight from 8-bit pixels to
// 8-bit pixels for chains that are a cube alone. Built per instruction set, chosen at run time.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "platform/image/engine/kernels.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "platform/image/engine/cube_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "platform/image/engine/kernel_helpers-inl.h"

HWY_BEFORE_NAMESPACE();
namespace korva_kernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET != HWY_SCALAR && HWY_MAX_BYTES >= 32
// One pixel's lookup: eight floats hold a corner and its red neighbour, so four loads read all
// eight corners; green and blue are lerped on both halves at once, then the halves across red.
// Both kernels below use this, so the 8-bit path gives the very bits of the float path.
HWY_INLINE hn::Vec<hn::FixedTag<float, 4>> CubeAt(const float* HWY_RESTRICT e, float fx, float fy, float fz,
                                                  std::size_t stepG, std::size_t stepB) {
    const hn::FixedTag<float, 8> d8;
    const hn::FixedTag<float, 4> d4;
    const auto vy = hn::Set(d8, fy), vz = hn::Set(d8, fz);
    const auto c0 = Lerp(hn::LoadU(d8, e), hn::LoadU(d8, e + stepG), vy);
    const auto c1 = Lerp(hn::LoadU(d8, e + stepB), hn::LoadU(d8, e + stepB + stepG), vy);
    const auto c = Lerp(c0, c1, vz);
    return Lerp(hn::LowerHalf(d4, c), hn::UpperHalf(d4, c), hn::Set(d4, fx));
}
#endif

// The corner reads and lerps of one batch of pixels, written as RGBA quadruples. A plain
// function with local pointers, so the compiler keeps everything in registers.
HWY_NOINLINE void CubeLanes(const float* HWY_RESTRICT cube, const std::int32_t* HWY_RESTRICT index,
                            const float* HWY_RESTRICT fxs, const float* HWY_RESTRICT fys, const float* HWY_RESTRICT fzs,
                            float* HWY_RESTRICT rgba, std::size_t n, std::size_t stepG, std::size_t stepB) {
#if HWY_TARGET != HWY_SCALAR && HWY_MAX_BYTES >= 32
    const hn::FixedTag<float, 4> d4;
    for (std::size_t lane = 0; lane < n; ++lane)
        hn::Store(CubeAt(cube + index[lane], fxs[lane], fys[lane], fzs[lane], stepG, stepB), d4, rgba + 4 * lane);
#elif HWY_TARGET != HWY_SCALAR
    const hn::FixedTag<float, 4> d4;
    for (std::size_t lane = 0; lane < n; ++lane) {
        const float* e = cube + index[lane];
        const auto fx = hn::Set(d4, fxs[lane]), fy = hn::Set(d4, fys[lane]), fz = hn::Set(d4, fzs[lane]);
        const auto c00 = Lerp(hn::LoadU(d4, e), hn::LoadU(d4, e + 4), fx);
        const auto c10 = Lerp(hn::LoadU(d4, e + stepG), hn::LoadU(d4, e + stepG + 4), fx);
        const auto c01 = Lerp(hn::LoadU(d4, e + stepB), hn::LoadU(d4, e + stepB + 4), fx);
        const auto c11 = Lerp(hn::LoadU(d4, e + stepB + stepG), hn::LoadU(d4, e + stepB + stepG + 4), fx);
        hn::Store(Lerp(Lerp(c00, c10, fy), Lerp(c01, c11, fy), fz), d4, rgba + 4 * lane);
    }
#else
    for (std::size_t lane = 0; lane < n; ++lane) {
        const float* e = cube + index[lane];
        const float fx = fxs[lane], fy = fys[lane], fz = fzs[lane];
        auto lerp = [](float p, float q, float t) { return (q - p) * t + p; };
        for (std::size_t c = 0; c < 4; ++c) {
            float c00 = lerp(e[c], e[4 + c], fx), c10 = lerp(e[stepG + c], e[stepG + 4 + c], fx);
            float c01 = lerp(e[stepB + c], e[stepB + 4 + c], fx);
            float c11 = lerp(e[stepB + stepG + c], e[stepB + stepG + 4 + c], fx);
            rgba[4 * lane + c] = lerp(lerp(c00, c10, fy), lerp(c01, c11, fy), fz);
        }
    }
#endif
}

// Trilinear cube lookup. Lattice positions are found for a whole vector of pixels; then each
// pixel reads its eight corners as four-float entries (whole RGBA entries are contiguous, so
// this beats gathering channel by channel) and the results are de-interleaved back to planes.
void ColorCube(float* r, float* g, float* b, float* a, std::size_t n, const float* cube, int dim, bool withAlpha) {
    const DF df;
    const DI di;
    const std::size_t N = hn::Lanes(df);
    const VF scale = hn::Set(df, static_cast<float>(dim - 1));
    const VF top = hn::Set(df, static_cast<float>(dim - 2));
    const auto vdim = hn::Set(di, dim);
    const auto four = hn::Set(di, 4);
    const std::size_t stepG = 4 * static_cast<std::size_t>(dim), stepB = stepG * static_cast<std::size_t>(dim);
    // Work in batches: lattice positions for the batch, corner reads for the batch, then planes
    // again. The interleaved results are read back long after they were written.
    constexpr std::size_t kBatch = 256;
    alignas(64) std::int32_t index[kBatch + kMaxLanes];
    alignas(64) float fxs[kBatch + kMaxLanes], fys[kBatch + kMaxLanes], fzs[kBatch + kMaxLanes];
    alignas(64) float rgba[(kBatch + kMaxLanes) * 4];
    for (std::size_t start = 0; start < n; start += kBatch) {
        const std::size_t m = std::min(kBatch, n - start);
        ForPlanes(r + start, g + start, b + start, nullptr, m,
                  [&](float* pr, float* pg, float* pb, float*, std::size_t i) {
                      const VF x = hn::Mul(Clamp01(hn::LoadU(df, pr)), scale);
                      const VF y = hn::Mul(Clamp01(hn::LoadU(df, pg)), scale);
                      const VF z = hn::Mul(Clamp01(hn::LoadU(df, pb)), scale);
                      const VF x0 = hn::Min(hn::Floor(x), top), y0 = hn::Min(hn::Floor(y), top),
                               z0 = hn::Min(hn::Floor(z), top);
                      hn::Store(hn::Sub(x, x0), df, fxs + i);
                      hn::Store(hn::Sub(y, y0), df, fys + i);
                      hn::Store(hn::Sub(z, z0), df, fzs + i);
                      const auto cell =
                          hn::Add(hn::ConvertTo(di, x0),
                                  hn::Mul(vdim, hn::Add(hn::ConvertTo(di, y0), hn::Mul(vdim, hn::ConvertTo(di, z0)))));
                      hn::Store(hn::Mul(cell, four), di, index + i);
                  });
        CubeLanes(cube, index, fxs, fys, fzs, rgba, m, stepG, stepB);
        std::size_t i = 0;
        VF outR, outG, outB, outA;
        for (; i + N <= m; i += N) {
            hn::LoadInterleaved4(df, rgba + 4 * i, outR, outG, outB, outA);
            hn::StoreU(outR, df, r + start + i);
            hn::StoreU(outG, df, g + start + i);
            hn::StoreU(outB, df, b + start + i);
            if (withAlpha) hn::StoreU(hn::Mul(hn::LoadU(df, a + start + i), outA), df, a + start + i);
        }
        for (; i < m; ++i) {
            r[start + i] = rgba[4 * i];
            g[start + i] = rgba[4 * i + 1];
            b[start + i] = rgba[4 * i + 2];
            if (withAlpha) a[start + i] *= rgba[4 * i + 3];
        }
    }
}

bool AllOpaqueRGBA8(const std::uint8_t* src, std::size_t n) {
    const DU du;
    const std::size_t N = hn::Lanes(du);
    auto all = hn::Set(du, 0xFFFFFFFFu);
    std::size_t i = 0;
    for (; i + N <= n; i += N) all = hn::And(all, hn::LoadU(du, reinterpret_cast<const std::uint32_t*>(src + 4 * i)));
    const auto top = hn::Set(du, 0xFF000000u);
    bool opaque = hn::AllTrue(du, hn::Eq(hn::And(all, top), top));
    for (; i < n; ++i) opaque = opaque && src[4 * i + 3] == 255;
    return opaque;
}

#if HWY_TARGET != HWY_SCALAR && HWY_MAX_BYTES >= 64
// Four pixels at a time: four lookups, then one clamp, rounding and narrowing for all of them.
// Returns how many pixels were done: all of the whole groups of four, or up to the first group
// that is not wholly opaque. (The channel orders are template arguments, so the loop has no
// per-pixel tests.)
template <bool kBgraIn, bool kBgraOut>
std::size_t CubeGroupsRGBA8(const std::uint8_t* HWY_RESTRICT src, std::uint8_t* HWY_RESTRICT dst, std::size_t n,
                            const float* HWY_RESTRICT cube, int dim, const kernels::CubeByteTables& t) {
    const std::size_t stepG = 4 * static_cast<std::size_t>(dim), stepB = stepG * static_cast<std::size_t>(dim);
    constexpr int rAt = kBgraIn ? 2 : 0, bAt = kBgraIn ? 0 : 2;
    const hn::FixedTag<float, 4> d4;
    const hn::FixedTag<float, 8> d8;
    const hn::FixedTag<float, 16> d16;
    const hn::FixedTag<std::uint32_t, 4> du4;
    const hn::RebindToUnsigned<decltype(d16)> du16;
    const hn::Rebind<std::uint8_t, decltype(d16)> dbytes;
    const auto s = hn::Set(d16, 255.0f), zero = hn::Zero(d16), one = hn::Set(d16, 1.0f);
    const auto magic = hn::Set(d16, 12582912.0f);
    const auto opaque = hn::Set(du4, 0xFF000000u);
    const auto swap = hn::SetTableIndices(d4, std::array<std::int32_t, 4>{2, 1, 0, 3}.data());
    auto at = [&](const std::uint8_t* p) {
        const unsigned r = p[rAt], g = p[1], b = p[bAt];
        const auto v = CubeAt(cube + t.cell[0][r] + t.cell[1][g] + t.cell[2][b], t.frac[0][r], t.frac[1][g],
                              t.frac[2][b], stepG, stepB);
        if constexpr (kBgraOut) return hn::TableLookupLanes(v, swap);
        return v;
    };
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const std::uint8_t* p = src + 4 * i;
        const auto alpha = hn::And(hn::LoadU(du4, reinterpret_cast<const std::uint32_t*>(p)), opaque);
        if (!hn::AllTrue(du4, hn::Eq(alpha, opaque))) break;
        const auto lo = hn::Combine(d8, at(p + 4), at(p)), hi = hn::Combine(d8, at(p + 12), at(p + 8));
        // Adding 1.5 x 2^23 rounds 0...255 to the nearest integer (ties to even, as a float to
        // integer conversion does) into the low bits, so the low byte is the result.
        // (Multiply, then add: one rounding each, as the float path rounds.)
        const auto v = hn::Add(hn::Mul(hn::Min(hn::Max(hn::Combine(d16, hi, lo), zero), one), s), magic);
        hn::StoreU(hn::TruncateTo(dbytes, hn::BitCast(du16, v)), dbytes, dst + 4 * i);
    }
    return i;
}
#endif

// Opaque 8-bit pixels through the cube straight to 8-bit pixels: the tables give each byte's
// lattice cell and fraction exactly as loading to floats would, so no planes are needed. Stops
// with false at the first group of pixels that is not wholly opaque.
bool ColorCubeRGBA8(const std::uint8_t* HWY_RESTRICT src, bool bgraIn, std::uint8_t* HWY_RESTRICT dst, bool bgraOut,
                    std::size_t n, const float* HWY_RESTRICT cube, int dim, const kernels::CubeByteTables& t) {
    std::size_t i = 0;
#if HWY_TARGET != HWY_SCALAR && HWY_MAX_BYTES >= 64
    const auto groups = bgraIn ? (bgraOut ? CubeGroupsRGBA8<true, true> : CubeGroupsRGBA8<true, false>)
                               : (bgraOut ? CubeGroupsRGBA8<false, true> : CubeGroupsRGBA8<false, false>);
    i = groups(src, dst, n, cube, dim, t);
    if (i + 4 <= n) return false;  // a group with a pixel that is not opaque
#endif
    if (i < n) {
        // The float path a short run at a time (the same bits, by construction).
        if (!AllOpaqueRGBA8(src + 4 * i, n - i)) return false;
        constexpr std::size_t kRun = 64;
        alignas(64) float r[kRun], g[kRun], b[kRun], a[kRun];
        for (std::size_t start = i; start < n; start += kRun) {
            const std::size_t m = std::min(kRun, n - start);
            kernels::loadRGBA8(src + 4 * start, m, bgraIn, r, g, b, a);
            ColorCube(r, g, b, a, m, cube, dim, false);
            kernels::storeRGBA8(r, g, b, a, m, dst + 4 * start, bgraOut);
        }
    }
    (void)t;
    return true;
}

}  // namespace HWY_NAMESPACE
}  // namespace korva_kernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korva_kernels {
HWY_EXPORT(ColorCube);
HWY_EXPORT(ColorCubeRGBA8);
}  // namespace korva_kernels

namespace kernels {
using namespace korva_kernels;

void colorCube(float* r, float* g, float* b, float* a, std::size_t n, const float* cube, int dim, bool withAlpha) {
    HWY_DYNAMIC_DISPATCH(ColorCube)(r, g, b, a, n, cube, dim, withAlpha);
}

CubeByteTables cubeByteTables(int dim) {
    // The float path's arithmetic, one byte value at a time: v / 255 as loading gives it, then
    // the cell and fraction as the cube kernel finds them.
    CubeByteTables t;
    const float scale = static_cast<float>(dim - 1), top = static_cast<float>(dim - 2);
    const std::int32_t step[3] = {4, 4 * dim, 4 * dim * dim};
    for (int v = 0; v < 256; ++v) {
        const float x = std::min(std::max(static_cast<float>(v) * (1.0f / 255.0f), 0.0f), 1.0f) * scale;
        const float x0 = std::min(std::floor(x), top);
        for (int c = 0; c < 3; ++c) {
            t.cell[c][v] = static_cast<std::int32_t>(x0) * step[c];
            t.frac[c][v] = x - x0;
        }
    }
    return t;
}

bool colorCubeRGBA8(const std::uint8_t* src, bool bgraIn, std::uint8_t* dst, bool bgraOut, std::size_t n,
                    const float* cube, int dim, const CubeByteTables& tables) {
    return HWY_DYNAMIC_DISPATCH(ColorCubeRGBA8)(src, bgraIn, dst, bgraOut, n, cube, dim, tables);
}

}  // namespace kernels
#endif
