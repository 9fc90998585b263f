// Colour cube kernels: trilinear lookups over float planes, and straight from 8-bit pixels to
// 8-bit pixels for chains that are a cube alone. Built per instruction set, chosen at run time.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/image/engine/kernels.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "platform/image/engine/cube_kernels.cpp"
#include <hwy/cache_control.h>
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

#if HWY_TARGET != HWY_SCALAR && HWY_MAX_BYTES >= 64
// Runs group(first, second, dst) over groups of four pixels, each group's pixels read two at a
// time as little-endian numbers (the kernels wait on their loads more than on their arithmetic),
// checking alpha sixteen pixels at a time (four at the end); returns how many groups were done
// before one not wholly opaque.
template <class Group>
HWY_INLINE std::size_t OpaqueGroups(const std::uint8_t* HWY_RESTRICT src, std::uint8_t* HWY_RESTRICT dst,
                                    std::size_t groups, const Group& group) {
    constexpr std::size_t kAhead = 1536;
    const hn::FixedTag<std::uint32_t, 16> du16;
    const hn::FixedTag<std::uint32_t, 4> du4;
    auto run = [&](const std::uint8_t* HWY_RESTRICT s, std::uint8_t* HWY_RESTRICT d) {
        std::uint64_t first, second;
        std::memcpy(&first, s, 8);
        std::memcpy(&second, s + 8, 8);
        group(first, second, d);
    };
    std::size_t i = 0;
    for (; i + 4 <= groups; i += 4) {
        const std::uint8_t* p = src + 16 * i;
        // Fetching both streams ahead (a cache line each, every 16 pixels) keeps the row and its
        // output in the cache by the time they are used. (Harmless past the end.)
        hwy::Prefetch(p + kAhead);
        hwy::Prefetch(dst + 16 * i + kAhead);
        const auto top = hn::Set(du16, 0xFF000000u);
        if (!hn::AllTrue(du16, hn::Eq(hn::And(hn::LoadU(du16, reinterpret_cast<const std::uint32_t*>(p)), top), top)))
            return i;
        for (std::size_t k = 0; k < 4; ++k) run(p + 16 * k, dst + 16 * (i + k));
    }
    for (; i < groups; ++i) {
        const std::uint8_t* p = src + 16 * i;
        const auto top = hn::Set(du4, 0xFF000000u);
        if (!hn::AllTrue(du4, hn::Eq(hn::And(hn::LoadU(du4, reinterpret_cast<const std::uint32_t*>(p)), top), top)))
            return i;
        run(p, dst + 16 * i);
    }
    return groups;
}

// Green x 256 + red of a pixel held in the low 32 bits of a number read little-endian (for
// red-first pixels, its low 16 bits); and its blue.
template <bool kBgraIn>
HWY_INLINE std::size_t RedGreenOf(std::uint64_t px) {
    if constexpr (kBgraIn) return (px >> 8 & 0xFF) << 8 | (px >> 16 & 0xFF);
    return px & 0xFFFF;
}
template <bool kBgraIn>
HWY_INLINE std::size_t BlueOf(std::uint64_t px) {
    return kBgraIn ? px & 0xFF : px >> 16 & 0xFF;
}

// 32-bit sums (each 2^22 times a level, half a level added) to bytes. Rows carry the half level,
// so dropping the fraction rounds; sums stay within 0...255.
HWY_INLINE hn::Vec<hn::FixedTag<std::uint8_t, 16>> SumsToBytes(hn::Vec<hn::FixedTag<std::int32_t, 16>> sums) {
#if HWY_ARCH_X86
    return hn::Vec<hn::FixedTag<std::uint8_t, 16>>{_mm512_cvtepi32_epi8(hn::ShiftRight<22>(sums).raw)};
#else
    const hn::FixedTag<std::uint32_t, 16> du32;
    return hn::TruncateTo(hn::FixedTag<std::uint8_t, 16>(), hn::BitCast(du32, hn::ShiftRight<22>(sums)));
#endif
}

// Planes: a pixel's 32-byte row (four red-green corners per channel, blue already interpolated)
// times its red-green weights, summed in pairs, leaves two partial sums per channel; the sums of
// two pixels are added across in one interleaving step.
template <bool kBgraIn, bool kBgraOut>
std::size_t CubePlanesGroups(const std::uint8_t* HWY_RESTRICT src, std::uint8_t* HWY_RESTRICT dst, std::size_t groups,
                             const kernels::CubeFixed& t) {
    const hn::FixedTag<std::int16_t, 16> d16;
    const hn::FixedTag<std::int32_t, 8> d32;
    const hn::FixedTag<std::int32_t, 16> d32x16;
    const hn::FixedTag<std::uint64_t, 4> du64;
    const hn::FixedTag<std::uint8_t, 16> d8;
    // Sums of pixels a b c d come as a.r a.g b.r b.g a.b a.alpha b.b b.alpha, then c and d alike.
    alignas(16) static constexpr std::uint8_t kToRGBA[16] = {0, 1, 4, 5, 2, 3, 6, 7, 8, 9, 12, 13, 10, 11, 14, 15};
    alignas(16) static constexpr std::uint8_t kToBGRA[16] = {4, 1, 0, 5, 6, 3, 2, 7, 12, 9, 8, 13, 14, 11, 10, 15};
    const auto order = hn::Load(d8, kBgraOut ? kToBGRA : kToRGBA);
    const std::uint8_t* HWY_RESTRICT rows = reinterpret_cast<const std::uint8_t*>(t.rows);
    const std::int32_t* HWY_RESTRICT redGreenOffset = t.places->redGreenOffset.data();
    const std::uint64_t* HWY_RESTRICT redGreen = t.places->redGreen.data();
    // px: a pixel in its low 32 bits, as read from memory.
    auto sums = [&](std::uint64_t px) {
        const std::size_t rg = RedGreenOf<kBgraIn>(px);
        const auto corners = hn::Load(
            d16, reinterpret_cast<const std::int16_t*>(rows + (32 * BlueOf<kBgraIn>(px) + redGreenOffset[rg])));
        auto unused = hn::Zero(d32);
        // The four weights as multiply-add pairs: 00 10, 00 10, 01 11, 01 11 in each block.
        const auto w = hn::BitCast(d32, hn::Set(du64, redGreen[rg]));
        return hn::ReorderWidenMulAccumulate(d32, corners, hn::BitCast(d16, hn::InterleaveLower(d32, w, w)),
                                             hn::Zero(d32), unused);
    };
    auto across = [&](hn::Vec<decltype(d32)> a, hn::Vec<decltype(d32)> b) {
        const auto a64 = hn::BitCast(du64, a), b64 = hn::BitCast(du64, b);
        return hn::Add(hn::BitCast(d32, hn::InterleaveLower(du64, a64, b64)),
                       hn::BitCast(d32, hn::InterleaveUpper(du64, a64, b64)));
    };
    return OpaqueGroups(src, dst, groups, [&](std::uint64_t first, std::uint64_t second, std::uint8_t* HWY_RESTRICT d) {
        const auto ab = across(sums(first), sums(first >> 32)), cd = across(sums(second), sums(second >> 32));
        hn::StoreU(hn::TableLookupBytes(SumsToBytes(hn::Combine(d32x16, cd, ab)), order), d8, d);
    });
}

// Cells: a pixel's eight weights are its red-green weights times its blue ones (one multiply);
// its 64-byte row of corners times the weights, summed in pairs (one multiply-add), leaves four
// partial sums per channel; the four pixels' sums are then added across in two interleaving
// steps, which also lays them out channel by channel.
template <bool kBgraIn, bool kBgraOut>
std::size_t CubeCellsGroups(const std::uint8_t* HWY_RESTRICT src, std::uint8_t* HWY_RESTRICT dst, std::size_t groups,
                            const kernels::CubeFixed& t) {
    const hn::FixedTag<std::int16_t, 32> d16;
    const hn::FixedTag<std::int32_t, 16> d32;
    const hn::FixedTag<std::uint64_t, 8> du64;
    const hn::FixedTag<std::uint8_t, 16> d8;
    // Channel-major sums (four reds, four greens, ...) to pixels in the output's order.
    alignas(16) static constexpr std::uint8_t kToRGBA[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
    alignas(16) static constexpr std::uint8_t kToBGRA[16] = {8, 4, 0, 12, 9, 5, 1, 13, 10, 6, 2, 14, 11, 7, 3, 15};
    const auto order = hn::Load(d8, kBgraOut ? kToBGRA : kToRGBA);
    const std::int32_t* HWY_RESTRICT redGreenOffset = t.places->redGreenOffset.data();
    const std::uint64_t* HWY_RESTRICT redGreen = t.places->redGreen.data();
    const kernels::CubeFixed::Blue* HWY_RESTRICT blue = t.blue;
    auto sums = [&](std::uint64_t px) {
        const std::size_t rg = RedGreenOf<kBgraIn>(px);
        const kernels::CubeFixed::Blue& z = blue[BlueOf<kBgraIn>(px)];
        const auto corners = hn::Load(d16, reinterpret_cast<const std::int16_t*>(z.rows + redGreenOffset[rg]));
        const auto w =
            hn::MulFixedPoint15(hn::BitCast(d16, hn::Set(du64, redGreen[rg])), hn::LoadDup128(d16, z.weights));
        auto unused = hn::Zero(d32);
        return hn::ReorderWidenMulAccumulate(d32, corners, w, hn::Zero(d32), unused);
    };
    return OpaqueGroups(src, dst, groups, [&](std::uint64_t first, std::uint64_t second, std::uint8_t* HWY_RESTRICT d) {
        const auto a = sums(first), b = sums(first >> 32), c = sums(second), e = sums(second >> 32);
        const auto ab = hn::BitCast(du64, hn::Add(hn::InterleaveLower(d32, a, b), hn::InterleaveUpper(d32, a, b)));
        const auto ce = hn::BitCast(du64, hn::Add(hn::InterleaveLower(d32, c, e), hn::InterleaveUpper(d32, c, e)));
        const auto all = hn::Add(hn::BitCast(d32, hn::InterleaveLower(du64, ab, ce)),
                                 hn::BitCast(d32, hn::InterleaveUpper(du64, ab, ce)));
        hn::StoreU(hn::TableLookupBytes(SumsToBytes(all), order), d8, d);
    });
}
#endif

bool HasCubeFixed() {
    return HWY_TARGET != HWY_SCALAR && HWY_MAX_BYTES >= 64;
}

bool ColorCubeFixedRGBA8(const std::uint8_t* HWY_RESTRICT src, bool bgraIn, std::uint8_t* HWY_RESTRICT dst,
                         bool bgraOut, std::size_t n, const kernels::CubeFixed& t) {
#if HWY_TARGET != HWY_SCALAR && HWY_MAX_BYTES >= 64
    const auto groups = t.planes ? (bgraIn ? (bgraOut ? CubePlanesGroups<true, true> : CubePlanesGroups<true, false>)
                                           : (bgraOut ? CubePlanesGroups<false, true> : CubePlanesGroups<false, false>))
                                 : (bgraIn ? (bgraOut ? CubeCellsGroups<true, true> : CubeCellsGroups<true, false>)
                                           : (bgraOut ? CubeCellsGroups<false, true> : CubeCellsGroups<false, false>));
    if (groups(src, dst, n / 4, t) != n / 4) return false;
    const std::size_t done = n / 4 * 4, rest = n - done;
    if (rest) {
        // The last pixels through a padded group, so every pixel gets the same arithmetic.
        alignas(16) std::uint8_t in[16], out[16];
        for (std::size_t k = 0; k < 4; ++k) std::memcpy(in + 4 * k, src + 4 * (n - 1), 4);
        std::memcpy(in, src + 4 * done, 4 * rest);
        if (groups(in, out, 1, t) != 1) return false;
        std::memcpy(dst + 4 * done, out, 4 * rest);
    }
    return true;
#else
    (void)src, (void)bgraIn, (void)dst, (void)bgraOut, (void)n, (void)t;
    return false;
#endif
}

}  // namespace HWY_NAMESPACE
}  // namespace korva_kernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korva_kernels {
HWY_EXPORT(ColorCube);
HWY_EXPORT(ColorCubeRGBA8);
HWY_EXPORT(HasCubeFixed);
HWY_EXPORT(ColorCubeFixedRGBA8);
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

bool colorCubeFixedRGBA8(const std::uint8_t* src, bool bgraIn, std::uint8_t* dst, bool bgraOut, std::size_t n,
                         const CubeFixed& cube) {
    return HWY_DYNAMIC_DISPATCH(ColorCubeFixedRGBA8)(src, bgraIn, dst, bgraOut, n, cube);
}

namespace {

// Offsets and weights for a dimension: cells and fractions exactly as the float path finds them,
// weights in Q15 (1 as 2^15 - 1) and their products rounded as the kernel's multiplies round.
std::shared_ptr<const CubeFixed::Places> makePlaces(int dim) {
    auto at = std::make_shared<CubeFixed::Places>();
    const CubeByteTables where = cubeByteTables(dim);
    const bool planes = dim <= CubeFixed::kPlanesMaxDim;
    const std::int32_t cells = dim - 1;
    // Planes: 8 KiB per red-green cell (a 32-byte row per blue value); cells: 64 bytes per cell.
    const std::int32_t floatStep[3] = {4, 4 * dim, 4 * dim * dim};
    const std::int32_t rowStep[3] = {planes ? 8192 : 64, (planes ? 8192 : 64) * cells, 64 * cells * cells};
    std::int32_t offset[3][256];
    std::uint16_t f[3][256], g[3][256];
    for (int v = 0; v < 256; ++v)
        for (int c = 0; c < 3; ++c) {
            offset[c][v] = where.cell[c][v] / floatStep[c] * rowStep[c];
            const long q = std::lround(where.frac[c][v] * 32768.0f);
            f[c][v] = static_cast<std::uint16_t>(std::min(q, 32767L));
            g[c][v] = static_cast<std::uint16_t>(std::min(32768 - q, 32767L));
        }
    for (int v = 0; v < 256; ++v) {
        at->blueOffset[v] = planes ? 32 * v : offset[2][v];
        for (int k = 0; k < 4; ++k) {
            at->blueWeights[v][k] = static_cast<std::int16_t>(g[2][v]);
            at->blueWeights[v][k + 4] = static_cast<std::int16_t>(f[2][v]);
        }
    }
    auto product = [](std::uint16_t a, std::uint16_t b) {
        return static_cast<std::int16_t>((std::uint32_t{a} * b + 16384) >> 15);
    };
    at->redGreenOffset.resize(65536);
    at->redGreen.resize(65536);
    for (int gv = 0; gv < 256; ++gv)
        for (int r = 0; r < 256; ++r) {
            const auto i = static_cast<std::size_t>(gv << 8 | r);
            at->redGreenOffset[i] = offset[0][r] + offset[1][gv];
            const std::int16_t w00 = product(g[0][r], g[1][gv]), w10 = product(f[0][r], g[1][gv]),
                               w01 = product(g[0][r], f[1][gv]), w11 = product(f[0][r], f[1][gv]);
            auto u = [](std::int16_t w) { return static_cast<std::uint64_t>(static_cast<std::uint16_t>(w)); };
            at->redGreen[i] = u(w00) | u(w10) << 16 | u(w01) << 32 | u(w11) << 48;
        }
    return at;
}

std::shared_ptr<const CubeFixed::Places> placesFor(int dim) {
    static std::mutex mutex;
    static std::map<int, std::shared_ptr<const CubeFixed::Places>> made;
    std::lock_guard lock(mutex);
    auto& at = made[dim];
    if (!at) at = makePlaces(dim);
    return at;
}

}  // namespace

std::size_t cubeFixedPaysAfter(int dim) {
    if (dim < 2 || dim > CubeFixed::kMaxDim || !HWY_DYNAMIC_DISPATCH(HasCubeFixed)()) return SIZE_MAX;
    const auto cells = static_cast<std::size_t>(dim) - 1;
    const std::size_t bytes = dim <= CubeFixed::kPlanesMaxDim ? cells * cells * 256 * 32 : cells * cells * cells * 64;
    return bytes / 2;
}

std::unique_ptr<const CubeFixed> cubeFixed(const float* cube, int dim) {
    if (dim < 2 || dim > CubeFixed::kMaxDim || !HWY_DYNAMIC_DISPATCH(HasCubeFixed)()) return nullptr;
    const std::size_t entries = static_cast<std::size_t>(dim) * dim * dim;
    for (std::size_t i = 0; i < entries; ++i) {
        const float* e = cube + 4 * i;
        // Written so that NaN fails too.
        if (!(e[0] >= 0.0f && e[0] <= 1.0f && e[1] >= 0.0f && e[1] <= 1.0f && e[2] >= 0.0f && e[2] <= 1.0f &&
              e[3] == 1.0f))
            return nullptr;
    }
    auto t = std::make_unique<CubeFixed>();
    t->planes = dim <= CubeFixed::kPlanesMaxDim;
    t->places = placesFor(dim);
    const std::size_t cells = static_cast<std::size_t>(dim) - 1;
    auto entry = [&](std::size_t i, std::size_t j, std::size_t k) { return cube + 4 * ((k * dim + j) * dim + i); };
    // A value in 1/128 levels plus half a level (so that the kernels' truncation rounds).
    auto fixed = [](float v) { return static_cast<std::int16_t>(std::lrint(v * 32640.0f) + 64); };
    const std::int16_t one = 32704;  // makes alpha 255
    const std::size_t words = t->planes ? cells * cells * 256 * 16 : cells * cells * cells * 32;
    t->storage.resize(words + 32);
    const auto address = reinterpret_cast<std::uintptr_t>(t->storage.data());
    auto* rows = t->storage.data() + ((64 - address % 64) % 64) / sizeof(std::int16_t);
    std::int16_t* row = rows;
    if (t->planes) {
        // Per red-green cell and blue value: words 0...7 hold red and green at the cell's corners
        // (red step in bit 0, green step in bit 2, channel in bit 1), 8...15 blue and one likewise,
        // each interpolated along blue as the float path would.
        const CubeByteTables where = cubeByteTables(dim);
        for (std::size_t j = 0; j < cells; ++j)
            for (std::size_t i = 0; i < cells; ++i)
                for (int b = 0; b < 256; ++b, row += 16) {
                    const auto k = static_cast<std::size_t>(where.cell[2][b] / (4 * dim * dim));
                    const float fz = where.frac[2][b];
                    for (std::size_t corner = 0; corner < 4; ++corner) {
                        const std::size_t dx = corner & 1, dy = corner >> 1;
                        const float* low = entry(i + dx, j + dy, k);
                        const float* high = entry(i + dx, j + dy, k + 1);
                        auto at = [&](int c) { return fixed((high[c] - low[c]) * fz + low[c]); };
                        row[4 * dy + dx] = at(0);
                        row[4 * dy + 2 + dx] = at(1);
                        row[8 + 4 * dy + dx] = at(2);
                        row[8 + 4 * dy + 2 + dx] = one;
                    }
                }
        t->bytes = cells * cells * 256 * 32;
    } else {
        // Per cell: word 8 c + corner holds channel c at the corner (red step in bit 0, green in
        // bit 1, blue in bit 2); words 24...31 are one.
        for (std::size_t k = 0; k < cells; ++k)
            for (std::size_t j = 0; j < cells; ++j)
                for (std::size_t i = 0; i < cells; ++i, row += 32) {
                    for (std::size_t corner = 0; corner < 8; ++corner) {
                        const float* e = entry(i + (corner & 1), j + ((corner >> 1) & 1), k + (corner >> 2));
                        for (std::size_t c = 0; c < 3; ++c) row[8 * c + corner] = fixed(e[c]);
                    }
                    std::fill(row + 24, row + 32, one);
                }
        t->bytes = cells * cells * cells * 64;
        for (int v = 0; v < 256; ++v) {
            std::copy(t->places->blueWeights[v], t->places->blueWeights[v] + 8, t->blue[v].weights);
            t->blue[v].rows = reinterpret_cast<const std::uint8_t*>(rows) + t->places->blueOffset[v];
        }
    }
    t->rows = rows;
    return t;
}

}  // namespace kernels
#endif
