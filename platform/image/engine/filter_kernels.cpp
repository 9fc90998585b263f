// Row kernels of the neighbourhood filters, built per instruction set and chosen at run time.
#include "platform/image/engine/filter_kernels.h"

#include <algorithm>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "platform/image/engine/filter_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace korva_filter_kernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

template <class V>
HWY_INLINE void Sort2(V& a, V& b) {
    const V lo = hn::Min(a, b);
    b = hn::Max(a, b);
    a = lo;
}

// The median of nine by the classic 19-exchange network (Paeth / Devillard).
template <class V>
HWY_INLINE V Median9(V p0, V p1, V p2, V p3, V p4, V p5, V p6, V p7, V p8) {
    Sort2(p1, p2);
    Sort2(p4, p5);
    Sort2(p7, p8);
    Sort2(p0, p1);
    Sort2(p3, p4);
    Sort2(p6, p7);
    Sort2(p1, p2);
    Sort2(p4, p5);
    Sort2(p7, p8);
    p3 = hn::Max(p0, p3);
    p5 = hn::Min(p5, p8);
    Sort2(p4, p7);
    p6 = hn::Max(p3, p6);
    p4 = hn::Max(p1, p4);
    p2 = hn::Min(p2, p5);
    p4 = hn::Min(p4, p7);
    Sort2(p4, p2);
    p4 = hn::Max(p6, p4);
    return hn::Min(p4, p2);
}

void Median3Row(const float* const rows[3], float* dst, std::size_t n) {
    const hn::ScalableTag<float> d;
    const std::size_t N = hn::Lanes(d);
    const float* a = rows[0];
    const float* b = rows[1];
    const float* c = rows[2];
    std::size_t i = 0;
    for (; i + N <= n; i += N) {
        auto v = Median9(hn::LoadU(d, a + i - 1), hn::LoadU(d, a + i), hn::LoadU(d, a + i + 1), hn::LoadU(d, b + i - 1),
                         hn::LoadU(d, b + i), hn::LoadU(d, b + i + 1), hn::LoadU(d, c + i - 1), hn::LoadU(d, c + i),
                         hn::LoadU(d, c + i + 1));
        hn::StoreU(v, d, dst + i);
    }
    const hn::CappedTag<float, 1> d1;
    for (; i < n; ++i) {
        auto v = Median9(hn::LoadU(d1, a + i - 1), hn::LoadU(d1, a + i), hn::LoadU(d1, a + i + 1),
                         hn::LoadU(d1, b + i - 1), hn::LoadU(d1, b + i), hn::LoadU(d1, b + i + 1),
                         hn::LoadU(d1, c + i - 1), hn::LoadU(d1, c + i), hn::LoadU(d1, c + i + 1));
        hn::StoreU(v, d1, dst + i);
    }
}

template <class D>
HWY_INLINE void ConvolveClampAt(D d, const float* const* at, const float* weight, std::size_t taps, float bias,
                                float* dst, std::size_t i) {
    auto acc = hn::Set(d, bias);
    for (std::size_t t = 0; t < taps; ++t) acc = hn::MulAdd(hn::LoadU(d, at[t] + i), hn::Set(d, weight[t]), acc);
    hn::StoreU(hn::Min(hn::Max(acc, hn::Zero(d)), hn::Set(d, 1.0f)), d, dst + i);
}

void ConvolveClampRow(const float* const* src, std::size_t rows, std::size_t columns, const float* w, float bias,
                      float* dst, std::size_t n) {
    // The taps that weigh something, in the order they are added: a zero weight adds nothing, and
    // leaving it out keeps an infinite neighbour from making the sum NaN. Kernels are at most 9 x 9.
    constexpr std::size_t kMaxTaps = 81;
    const float* at[kMaxTaps];
    float weight[kMaxTaps];
    std::size_t taps = 0;
    for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t k = 0; k < columns; ++k)
            if (const float wk = w[r * columns + k]; wk != 0 && taps < kMaxTaps) {
                at[taps] = src[r] + k;
                weight[taps++] = wk;
            }
    const hn::ScalableTag<float> d;
    const std::size_t N = hn::Lanes(d);
    std::size_t i = 0;
    // Two vectors at a time: each weight is broadcast once for both.
    for (; i + 2 * N <= n; i += 2 * N) {
        auto acc0 = hn::Set(d, bias), acc1 = acc0;
        for (std::size_t t = 0; t < taps; ++t) {
            const auto wt = hn::Set(d, weight[t]);
            acc0 = hn::MulAdd(hn::LoadU(d, at[t] + i), wt, acc0);
            acc1 = hn::MulAdd(hn::LoadU(d, at[t] + i + N), wt, acc1);
        }
        hn::StoreU(hn::Min(hn::Max(acc0, hn::Zero(d)), hn::Set(d, 1.0f)), d, dst + i);
        hn::StoreU(hn::Min(hn::Max(acc1, hn::Zero(d)), hn::Set(d, 1.0f)), d, dst + i + N);
    }
    for (; i + N <= n; i += N) ConvolveClampAt(d, at, weight, taps, bias, dst, i);
    const hn::CappedTag<float, 1> d1;
    for (; i < n; ++i) ConvolveClampAt(d1, at, weight, taps, bias, dst, i);
}

}  // namespace HWY_NAMESPACE
}  // namespace korva_filter_kernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korva_filter_kernels {
HWY_EXPORT(Median3Row);
HWY_EXPORT(ConvolveClampRow);
}  // namespace korva_filter_kernels

namespace kernels {
void median3Row(const float* const rows[3], float* dst, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(korva_filter_kernels::Median3Row)(rows, dst, n);
}
void convolveClampRow(const float* const* src, std::size_t rows, std::size_t columns, const float* w, float bias,
                      float* dst, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(korva_filter_kernels::ConvolveClampRow)(src, rows, columns, w, bias, dst, n);
}
}  // namespace kernels
#endif
