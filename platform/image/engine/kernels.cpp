// Kernels that move and resample pixels, built per instruction set and chosen at run time.
#include "platform/image/engine/kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "platform/image/engine/kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "platform/image/engine/kernel_helpers-inl.h"

HWY_BEFORE_NAMESPACE();
namespace korva_kernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void LoadRGBA8(const std::uint8_t* src, std::size_t n, bool bgra, float* r, float* g, float* b, float* a) {
    const DF df;
    const DU du;
    const DI di;
    const std::size_t N = hn::Lanes(df);
    const VF inv = hn::Set(df, 1.0f / 255.0f);
    const auto mask = hn::Set(du, 0xFFu);
    float* first = bgra ? b : r;
    float* third = bgra ? r : b;
    std::size_t i = 0;
    for (; i + N <= n; i += N) {
        const auto px = hn::LoadU(du, reinterpret_cast<const std::uint32_t*>(src + 4 * i));
        auto c0 = hn::ConvertTo(df, hn::BitCast(di, hn::And(px, mask)));
        auto c1 = hn::ConvertTo(df, hn::BitCast(di, hn::And(hn::ShiftRight<8>(px), mask)));
        auto c2 = hn::ConvertTo(df, hn::BitCast(di, hn::And(hn::ShiftRight<16>(px), mask)));
        auto c3 = hn::ConvertTo(df, hn::BitCast(di, hn::ShiftRight<24>(px)));
        hn::StoreU(hn::Mul(c0, inv), df, first + i);
        hn::StoreU(hn::Mul(c1, inv), df, g + i);
        hn::StoreU(hn::Mul(c2, inv), df, third + i);
        hn::StoreU(hn::Mul(c3, inv), df, a + i);
    }
    for (; i < n; ++i) {
        const std::uint8_t* p = src + 4 * i;
        first[i] = p[0] * (1.0f / 255.0f);
        g[i] = p[1] * (1.0f / 255.0f);
        third[i] = p[2] * (1.0f / 255.0f);
        a[i] = p[3] * (1.0f / 255.0f);
    }
}

template <class D>
HWY_INLINE void AccumulateAt(D d, const std::uint8_t* src, bool first, float w, float* p0, float* p1, float* p2,
                             float* p3) {
    const hn::RebindToUnsigned<D> du;
    const hn::RebindToSigned<D> di;
    const auto mask = hn::Set(du, 0xFFu);
    const auto scale = hn::Set(d, w * (1.0f / 255.0f));
    const auto px = hn::LoadU(du, reinterpret_cast<const std::uint32_t*>(src));
    auto chan = [&](decltype(px) v) { return hn::ConvertTo(d, hn::BitCast(di, hn::And(v, mask))); };
    const auto c0 = chan(px), c1 = chan(hn::ShiftRight<8>(px)), c2 = chan(hn::ShiftRight<16>(px)),
               c3 = chan(hn::ShiftRight<24>(px));
    if (first) {
        hn::StoreU(hn::Mul(c0, scale), d, p0);
        hn::StoreU(hn::Mul(c1, scale), d, p1);
        hn::StoreU(hn::Mul(c2, scale), d, p2);
        hn::StoreU(hn::Mul(c3, scale), d, p3);
    } else {
        hn::StoreU(hn::MulAdd(c0, scale, hn::LoadU(d, p0)), d, p0);
        hn::StoreU(hn::MulAdd(c1, scale, hn::LoadU(d, p1)), d, p1);
        hn::StoreU(hn::MulAdd(c2, scale, hn::LoadU(d, p2)), d, p2);
        hn::StoreU(hn::MulAdd(c3, scale, hn::LoadU(d, p3)), d, p3);
    }
}

void AccumulateRGBA8(const std::uint8_t* src, std::size_t n, bool bgra, bool first, float w, float* r, float* g,
                     float* b, float* a) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    float* p0 = bgra ? b : r;
    float* p2 = bgra ? r : b;
    std::size_t i = 0;
    for (; i + N <= n; i += N) AccumulateAt(df, src + 4 * i, first, w, p0 + i, g + i, p2 + i, a + i);
    for (; i < n; ++i) AccumulateAt(D1(), src + 4 * i, first, w, p0 + i, g + i, p2 + i, a + i);
}

HWY_INLINE hn::Vec<DU> PackPixel(VF c0, VF c1, VF c2, VF c3) {
    const DF df;
    const DU du;
    const VF s = hn::Set(df, 255.0f);
    auto q = [&](VF v) { return hn::BitCast(du, hn::NearestInt(hn::Mul(Clamp01(v), s))); };
    return hn::Or(hn::Or(q(c0), hn::ShiftLeft<8>(q(c1))), hn::Or(hn::ShiftLeft<16>(q(c2)), hn::ShiftLeft<24>(q(c3))));
}

void StoreRGBA8(const float* r, const float* g, const float* b, const float* a, std::size_t n, std::uint8_t* dst,
                bool bgra) {
    const DF df;
    const DU du;
    const std::size_t N = hn::Lanes(df);
    const float* first = bgra ? b : r;
    const float* third = bgra ? r : b;
    std::size_t i = 0;
    for (; i + N <= n; i += N) {
        auto px =
            PackPixel(hn::LoadU(df, first + i), hn::LoadU(df, g + i), hn::LoadU(df, third + i), hn::LoadU(df, a + i));
        hn::StoreU(px, du, reinterpret_cast<std::uint32_t*>(dst + 4 * i));
    }
    if (i < n) {
        TailBuffer t0, t1, t2, t3;
        std::size_t m = n - i;
        auto px = PackPixel(hn::Load(df, t0.fill(first + i, m)), hn::Load(df, t1.fill(g + i, m)),
                            hn::Load(df, t2.fill(third + i, m)), hn::Load(df, t3.fill(a + i, m)));
        alignas(64) std::uint32_t out[kMaxLanes];
        hn::Store(px, du, out);
        std::memcpy(dst + 4 * i, out, m * 4);
    }
}

template <class Store>
HWY_INLINE void BlendVector(const float* p0, const float* p1, const float* p2, const float* p3, hn::Vec<DU> px,
                            const Store& store) {
    const DF df;
    const DU du;
    const DI di;
    const VF inv = hn::Set(df, 1.0f / 255.0f);
    const VF one = hn::Set(df, 1.0f);
    const auto mask = hn::Set(du, 0xFFu);
    auto chan = [&](hn::Vec<DU> v) { return hn::Mul(hn::ConvertTo(df, hn::BitCast(di, hn::And(v, mask))), inv); };
    const VF sa = hn::LoadU(df, p3);
    const VF keep = hn::Sub(one, sa);
    const VF o0 = hn::MulAdd(chan(px), keep, hn::LoadU(df, p0));
    const VF o1 = hn::MulAdd(chan(hn::ShiftRight<8>(px)), keep, hn::LoadU(df, p1));
    const VF o2 = hn::MulAdd(chan(hn::ShiftRight<16>(px)), keep, hn::LoadU(df, p2));
    const VF o3 = hn::MulAdd(chan(hn::ShiftRight<24>(px)), keep, sa);
    store(PackPixel(o0, o1, o2, o3));
}

void BlendOverRGBA8(const float* r, const float* g, const float* b, const float* a, std::size_t n, std::uint8_t* dst,
                    bool bgra) {
    const DF df;
    const DU du;
    const std::size_t N = hn::Lanes(df);
    const float* first = bgra ? b : r;
    const float* third = bgra ? r : b;
    std::size_t i = 0;
    const VF one = hn::Set(df, 1.0f);
    for (; i + N <= n; i += N) {
        auto* p = reinterpret_cast<std::uint32_t*>(dst + 4 * i);
        const VF sa = hn::LoadU(df, a + i);
        if (hn::AllTrue(df, hn::Eq(sa, one))) {
            // Opaque pixels cover what is there (dst x 0 adds nothing): no need to read it.
            hn::StoreU(PackPixel(hn::LoadU(df, first + i), hn::LoadU(df, g + i), hn::LoadU(df, third + i), sa), du, p);
            continue;
        }
        BlendVector(first + i, g + i, third + i, a + i, hn::LoadU(du, p), [&](hn::Vec<DU> v) { hn::StoreU(v, du, p); });
    }
    if (i < n) {
        const std::size_t m = n - i;
        TailBuffer t0, t1, t2, t3;
        alignas(64) std::uint32_t buf[kMaxLanes] = {};
        std::memcpy(buf, dst + 4 * i, m * 4);
        BlendVector(t0.fill(first + i, m), t1.fill(g + i, m), t2.fill(third + i, m), t3.fill(a + i, m),
                    hn::Load(du, buf), [&](hn::Vec<DU> v) { hn::Store(v, du, buf); });
        std::memcpy(dst + 4 * i, buf, m * 4);
    }
}

void LoadRGBAf(const float* src, std::size_t n, float* r, float* g, float* b, float* a) {
    for (std::size_t i = 0; i < n; ++i) {
        r[i] = src[4 * i];
        g[i] = src[4 * i + 1];
        b[i] = src[4 * i + 2];
        a[i] = src[4 * i + 3];
    }
}

void StoreRGBAf(const float* r, const float* g, const float* b, const float* a, std::size_t n, float* dst) {
    for (std::size_t i = 0; i < n; ++i) {
        dst[4 * i] = r[i];
        dst[4 * i + 1] = g[i];
        dst[4 * i + 2] = b[i];
        dst[4 * i + 3] = a[i];
    }
}

void Premultiply(float* r, float* g, float* b, const float* a, std::size_t n) {
    const DF df;
    ForPlanes(r, g, b, const_cast<float*>(a), n, [&](float* pr, float* pg, float* pb, float* pa, std::size_t) {
        const VF va = hn::LoadU(df, pa);
        hn::StoreU(hn::Mul(hn::LoadU(df, pr), va), df, pr);
        hn::StoreU(hn::Mul(hn::LoadU(df, pg), va), df, pg);
        hn::StoreU(hn::Mul(hn::LoadU(df, pb), va), df, pb);
    });
}

bool Unpremultiply(float* r, float* g, float* b, const float* a, std::size_t n) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    const VF one = hn::Set(df, 1.0f);
    // A quick scan first: opaque rows (the usual case) need no division.
    bool any = false;
    std::size_t i = 0;
    for (; i + N <= n && !any; i += N) any = !hn::AllTrue(df, hn::Eq(hn::LoadU(df, a + i), one));
    for (std::size_t k = i; k < n && !any; ++k) any = a[k] != 1.0f;
    if (!any) return false;
    ForPlanes(r, g, b, const_cast<float*>(a), n, [&](float* pr, float* pg, float* pb, float* pa, std::size_t) {
        const VF va = hn::LoadU(df, pa);
        const auto positive = hn::Gt(va, hn::Zero(df));
        const VF inv = hn::IfThenElseZero(positive, hn::Div(one, hn::IfThenElse(positive, va, one)));
        hn::StoreU(hn::Mul(hn::LoadU(df, pr), inv), df, pr);
        hn::StoreU(hn::Mul(hn::LoadU(df, pg), inv), df, pg);
        hn::StoreU(hn::Mul(hn::LoadU(df, pb), inv), df, pb);
    });
    return true;
}

template <class D>
HWY_INLINE void ConvolveAt(D d, const float* src, float* dst, const float* w, std::size_t taps) {
    auto acc = hn::Zero(d);
    for (std::size_t k = 0; k < taps; ++k) acc = hn::MulAdd(hn::Set(d, w[k]), hn::LoadU(d, src + k), acc);
    hn::StoreU(acc, d, dst);
}

void ConvolveRow(const float* src, float* dst, std::size_t n, const float* w, std::size_t taps) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    std::size_t i = 0;
    for (; i + N <= n; i += N) ConvolveAt(df, src + i, dst + i, w, taps);
    for (; i < n; ++i) ConvolveAt(D1(), src + i, dst + i, w, taps);
}

void ScaleRow(float* dst, const float* src, float w, std::size_t n) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    const VF vw = hn::Set(df, w);
    std::size_t i = 0;
    for (; i + N <= n; i += N) hn::StoreU(hn::Mul(hn::LoadU(df, src + i), vw), df, dst + i);
    for (; i < n; ++i) dst[i] = src[i] * w;
}

template <class D>
HWY_INLINE void AddScaledAt(D d, float* dst, const float* src, float w) {
    hn::StoreU(hn::MulAdd(hn::LoadU(d, src), hn::Set(d, w), hn::LoadU(d, dst)), d, dst);
}

void AddScaledRow(float* dst, const float* src, float w, std::size_t n) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    std::size_t i = 0;
    for (; i + N <= n; i += N) AddScaledAt(df, dst + i, src + i, w);
    for (; i < n; ++i) AddScaledAt(D1(), dst + i, src + i, w);
}

template <class D>
HWY_INLINE void ResampleAt(D d, const float* line, float* out, const std::int32_t* start, const float* weights,
                           std::size_t taps, std::size_t stride) {
    const hn::RebindToSigned<D> di;
    const auto base = hn::LoadU(di, start);
    auto acc = hn::Zero(d);
    for (std::size_t k = 0; k < taps; ++k) {
        const auto v = hn::GatherIndex(d, line, hn::Add(base, hn::Set(di, static_cast<std::int32_t>(k))));
        acc = hn::MulAdd(v, hn::LoadU(d, weights + k * stride), acc);
    }
    hn::StoreU(acc, d, out);
}

void ResampleRow(const float* line, float* out, std::size_t n, const std::int32_t* start, const float* weights,
                 std::size_t taps, std::size_t stride) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    std::size_t i = 0;
    for (; i + N <= n; i += N) ResampleAt(df, line, out + i, start + i, weights + i, taps, stride);
    for (; i < n; ++i) ResampleAt(D1(), line, out + i, start + i, weights + i, taps, stride);
}

template <class D>
HWY_INLINE void PairAt(D d, const float* line, float* out, const float* w0, const float* w1) {
    hn::Vec<D> even, odd;
    hn::LoadInterleaved2(d, line, even, odd);
    hn::StoreU(hn::MulAdd(odd, hn::LoadU(d, w1), hn::Mul(even, hn::LoadU(d, w0))), d, out);
}

void PairRow(const float* line, float* out, std::size_t n, const float* w0, const float* w1) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    std::size_t i = 0;
    for (; i + N <= n; i += N) PairAt(df, line + 2 * i, out + i, w0 + i, w1 + i);
    for (; i < n; ++i) PairAt(D1(), line + 2 * i, out + i, w0 + i, w1 + i);
}

void Luma(const float* r, const float* g, const float* b, float* y, std::size_t n) {
    // The products are summed in this order and not fused, in the vectors as in the tail.
    const DF df;
    const std::size_t N = hn::Lanes(df);
    const VF kr = hn::Set(df, 0.2126f), kg = hn::Set(df, 0.7152f), kb = hn::Set(df, 0.0722f);
    std::size_t i = 0;
    for (; i + N <= n; i += N)
        hn::StoreU(hn::Add(hn::Add(hn::Mul(kr, hn::LoadU(df, r + i)), hn::Mul(kg, hn::LoadU(df, g + i))),
                           hn::Mul(kb, hn::LoadU(df, b + i))),
                   df, y + i);
    for (; i < n; ++i) y[i] = 0.2126f * r[i] + 0.7152f * g[i] + 0.0722f * b[i];
}

// kSharpen false: sharpness 0, where the box average weighs nothing and is not summed.
template <bool kSharpen, class D>
HWY_INLINE void NoiseReduceAt(D d, const float* const rows[3][3], const float* const lumaRows[3], float* const out[3],
                              std::size_t i, float level, float sharpness) {
    using V = hn::Vec<D>;
    const V invLevel = hn::Set(d, level > 0 ? 1.0f / level : 1e30f);
    const V one = hn::Set(d, 1.0f), zero = hn::Zero(d);
    const V ninth = hn::Set(d, 1.0f / 9.0f), sharp = hn::Set(d, sharpness);
    const V lp = hn::LoadU(d, lumaRows[1] + i);
    // Accumulators as named values (not arrays), so that they stay in registers.
    V wsum = zero, accR = zero, accG = zero, accB = zero, boxR = zero, boxG = zero, boxB = zero;
    for (int k = 0; k < 3; ++k) {
        for (int o = -1; o <= 1; ++o) {
            const V l = hn::LoadU(d, lumaRows[k] + i + o);
            const V w = hn::Max(zero, hn::NegMulAdd(hn::Abs(hn::Sub(l, lp)), invLevel, one));
            wsum = hn::Add(wsum, w);
            const V r = hn::LoadU(d, rows[k][0] + i + o), g = hn::LoadU(d, rows[k][1] + i + o),
                    b = hn::LoadU(d, rows[k][2] + i + o);
            accR = hn::MulAdd(w, r, accR);
            accG = hn::MulAdd(w, g, accG);
            accB = hn::MulAdd(w, b, accB);
            if constexpr (kSharpen) {
                boxR = hn::Add(boxR, r);
                boxG = hn::Add(boxG, g);
                boxB = hn::Add(boxB, b);
            }
        }
    }
    // The centre weighs 1, so wsum >= 1. One division serves all three channels.
    const V inv = hn::Div(one, wsum);
    auto finish = [&](V acc, V box, float* dst) {
        const V smooth = hn::Mul(acc, inv);
        if constexpr (kSharpen)
            hn::StoreU(hn::MulAdd(sharp, hn::NegMulAdd(box, ninth, smooth), smooth), d, dst + i);
        else
            hn::StoreU(smooth, d, dst + i);
    };
    finish(accR, boxR, out[0]);
    finish(accG, boxG, out[1]);
    finish(accB, boxB, out[2]);
}

void NoiseReduceRow(const float* const rows[3][3], const float* const lumaRows[3], float* const out[3], std::size_t n,
                    float level, float sharpness) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    std::size_t i = 0;
    if (sharpness == 0.0f) {
        for (; i + N <= n; i += N) NoiseReduceAt<false>(df, rows, lumaRows, out, i, level, sharpness);
        for (; i < n; ++i) NoiseReduceAt<false>(D1(), rows, lumaRows, out, i, level, sharpness);
        return;
    }
    for (; i + N <= n; i += N) NoiseReduceAt<true>(df, rows, lumaRows, out, i, level, sharpness);
    for (; i < n; ++i) NoiseReduceAt<true>(D1(), rows, lumaRows, out, i, level, sharpness);
}

void SumPlanes(const float* r, const float* g, const float* b, const float* a, std::size_t n, double sums[4]) {
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        s0 += r[i];
        s1 += g[i];
        s2 += b[i];
        s3 += a[i];
    }
    sums[0] += s0;
    sums[1] += s1;
    sums[2] += s2;
    sums[3] += s3;
}

const char* TargetName() {
    return hwy::TargetName(HWY_TARGET);
}

}  // namespace HWY_NAMESPACE
}  // namespace korva_kernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korva_kernels {
HWY_EXPORT(LoadRGBA8);
HWY_EXPORT(AccumulateRGBA8);
HWY_EXPORT(StoreRGBA8);
HWY_EXPORT(BlendOverRGBA8);
HWY_EXPORT(LoadRGBAf);
HWY_EXPORT(StoreRGBAf);
HWY_EXPORT(Premultiply);
HWY_EXPORT(Unpremultiply);
HWY_EXPORT(ConvolveRow);
HWY_EXPORT(ScaleRow);
HWY_EXPORT(AddScaledRow);
HWY_EXPORT(Luma);
HWY_EXPORT(ResampleRow);
HWY_EXPORT(PairRow);
HWY_EXPORT(NoiseReduceRow);
HWY_EXPORT(SumPlanes);
HWY_EXPORT(TargetName);
}  // namespace korva_kernels

namespace kernels {
using namespace korva_kernels;

void loadRGBA8(const std::uint8_t* src, std::size_t n, bool bgra, float* r, float* g, float* b, float* a) {
    HWY_DYNAMIC_DISPATCH(LoadRGBA8)(src, n, bgra, r, g, b, a);
}
void accumulateRGBA8(const std::uint8_t* src, std::size_t n, bool bgra, bool first, float w, float* r, float* g,
                     float* b, float* a) {
    HWY_DYNAMIC_DISPATCH(AccumulateRGBA8)(src, n, bgra, first, w, r, g, b, a);
}
void storeRGBA8(const float* r, const float* g, const float* b, const float* a, std::size_t n, std::uint8_t* dst,
                bool bgra) {
    HWY_DYNAMIC_DISPATCH(StoreRGBA8)(r, g, b, a, n, dst, bgra);
}
void blendOverRGBA8(const float* r, const float* g, const float* b, const float* a, std::size_t n, std::uint8_t* dst,
                    bool bgra) {
    HWY_DYNAMIC_DISPATCH(BlendOverRGBA8)(r, g, b, a, n, dst, bgra);
}
void loadRGBAf(const float* src, std::size_t n, float* r, float* g, float* b, float* a) {
    HWY_DYNAMIC_DISPATCH(LoadRGBAf)(src, n, r, g, b, a);
}
void storeRGBAf(const float* r, const float* g, const float* b, const float* a, std::size_t n, float* dst) {
    HWY_DYNAMIC_DISPATCH(StoreRGBAf)(r, g, b, a, n, dst);
}
void premultiply(float* r, float* g, float* b, const float* a, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(Premultiply)(r, g, b, a, n);
}
bool unpremultiply(float* r, float* g, float* b, const float* a, std::size_t n) {
    return HWY_DYNAMIC_DISPATCH(Unpremultiply)(r, g, b, a, n);
}
void convolveRow(const float* src, float* dst, std::size_t n, const float* w, std::size_t taps) {
    HWY_DYNAMIC_DISPATCH(ConvolveRow)(src, dst, n, w, taps);
}
void scaleRow(float* dst, const float* src, float w, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(ScaleRow)(dst, src, w, n);
}
void addScaledRow(float* dst, const float* src, float w, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(AddScaledRow)(dst, src, w, n);
}
void resampleRow(const float* line, float* out, std::size_t n, const std::int32_t* start, const float* weights,
                 std::size_t taps, std::size_t stride) {
    HWY_DYNAMIC_DISPATCH(ResampleRow)(line, out, n, start, weights, taps, stride);
}
void pairRow(const float* line, float* out, std::size_t n, const float* w0, const float* w1) {
    HWY_DYNAMIC_DISPATCH(PairRow)(line, out, n, w0, w1);
}
void luma(const float* r, const float* g, const float* b, float* y, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(Luma)(r, g, b, y, n);
}
void noiseReduceRow(const float* const rows[3][3], const float* const lumaRows[3], float* const out[3], std::size_t n,
                    float level, float sharpness) {
    HWY_DYNAMIC_DISPATCH(NoiseReduceRow)(rows, lumaRows, out, n, level, sharpness);
}
void sumPlanes(const float* r, const float* g, const float* b, const float* a, std::size_t n, double sums[4]) {
    HWY_DYNAMIC_DISPATCH(SumPlanes)(r, g, b, a, n, sums);
}
const char* targetName() {
    return HWY_DYNAMIC_DISPATCH(TargetName)();
}

}  // namespace kernels
#endif
