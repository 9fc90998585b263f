// Shared pieces of the vectorised kernels, included once per instruction set.
// (The include guard toggles per target, as Highway's dynamic dispatch requires.)
#if defined(KORVA_IMAGE_KERNEL_HELPERS_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef KORVA_IMAGE_KERNEL_HELPERS_INL_H_
#undef KORVA_IMAGE_KERNEL_HELPERS_INL_H_
#else
#define KORVA_IMAGE_KERNEL_HELPERS_INL_H_
#endif

#include <hwy/highway.h>

#include <cstddef>
#include <cstring>

HWY_BEFORE_NAMESPACE();
namespace korva_kernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using DF = hn::ScalableTag<float>;
using DI = hn::RebindToSigned<DF>;
using DU = hn::RebindToUnsigned<DF>;
using VF = hn::Vec<DF>;

constexpr std::size_t kMaxLanes = 64;

// Copies up to `count` trailing elements into a zeroed buffer a full vector can read.
struct TailBuffer {
    alignas(64) float data[kMaxLanes];
    float* fill(const float* src, std::size_t count) {
        std::memset(data, 0, sizeof data);
        if (src) std::memcpy(data, src, count * sizeof(float));
        return data;
    }
};

HWY_INLINE VF Clamp01(VF v) {
    const DF d;
    return hn::Min(hn::Max(v, hn::Zero(d)), hn::Set(d, 1.0f));
}

// Runs body(i) on full vectors and once on a zero-padded copy of the tail of up to 4 planes.
template <class Body>
HWY_INLINE void ForPlanes(float* p0, float* p1, float* p2, float* p3, std::size_t n, const Body& body) {
    const DF df;
    const std::size_t N = hn::Lanes(df);
    std::size_t i = 0;
    for (; i + N <= n; i += N) body(p0 + i, p1 ? p1 + i : nullptr, p2 ? p2 + i : nullptr, p3 ? p3 + i : nullptr, i);
    if (i < n) {
        std::size_t m = n - i;
        TailBuffer t0, t1, t2, t3;
        float* q0 = t0.fill(p0 + i, m);
        float* q1 = p1 ? t1.fill(p1 + i, m) : nullptr;
        float* q2 = p2 ? t2.fill(p2 + i, m) : nullptr;
        float* q3 = p3 ? t3.fill(p3 + i, m) : nullptr;
        body(q0, q1, q2, q3, i);
        std::memcpy(p0 + i, q0, m * sizeof(float));
        if (p1) std::memcpy(p1 + i, q1, m * sizeof(float));
        if (p2) std::memcpy(p2 + i, q2, m * sizeof(float));
        if (p3) std::memcpy(p3 + i, q3, m * sizeof(float));
    }
}

template <class V>
HWY_INLINE V Lerp(V a, V b, V t) {
    return hn::MulAdd(hn::Sub(b, a), t, a);
}

// Tails run the same code on one-lane vectors, so a pixel gets the same arithmetic (fused or
// not) wherever a tile boundary puts it.
using D1 = hn::CappedTag<float, 1>;

}  // namespace HWY_NAMESPACE
}  // namespace korva_kernels
HWY_AFTER_NAMESPACE();

#endif
