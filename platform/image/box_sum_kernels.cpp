// Box sums in 16-bit lanes, chosen at run time.
#include "platform/image/box_sum_kernels.h"

#include <array>
#include <atomic>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "platform/image/box_sum_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace korva_box_sums {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D16 = hn::ScalableTag<std::uint16_t>;
using D8 = hn::Rebind<std::uint8_t, D16>;

void AddRow(std::uint16_t* sums, const std::uint8_t* row, std::size_t n) {
    const D16 d;
    const D8 d8;
    const std::size_t N = hn::Lanes(d);
    std::size_t k = 0;
    for (; k + N <= n; k += N)
        hn::StoreU(hn::Add(hn::LoadU(d, sums + k), hn::PromoteTo(d, hn::LoadU(d8, row + k))), d, sums + k);
    for (; k < n; ++k) sums[k] = static_cast<std::uint16_t>(sums[k] + row[k]);
}

void SlideRow(std::uint16_t* sums, const std::uint8_t* entering, const std::uint8_t* leaving, std::size_t n) {
    const D16 d;
    const D8 d8;
    const std::size_t N = hn::Lanes(d);
    std::size_t k = 0;
    // Wrapping 16-bit arithmetic: the true sums fit, so the order of adding and taking away does not matter.
    for (; k + N <= n; k += N) {
        const auto in = hn::PromoteTo(d, hn::LoadU(d8, entering + k));
        const auto out = hn::PromoteTo(d, hn::LoadU(d8, leaving + k));
        hn::StoreU(hn::Sub(hn::Add(hn::LoadU(d, sums + k), in), out), d, sums + k);
    }
    for (; k < n; ++k) sums[k] = static_cast<std::uint16_t>(sums[k] + entering[k] - leaving[k]);
}

void BoxMeans(const std::uint16_t* sums, std::size_t n, std::size_t taps, std::size_t stride, std::uint16_t half,
              std::uint16_t multiplier, int shift, std::uint8_t* out) {
    const D16 d;
    const D8 d8;
    const hn::RebindToSigned<D16> di;
    const std::size_t N = hn::Lanes(d);
    const auto m = hn::Set(d, multiplier);
    const auto h = hn::Set(d, half);
    std::size_t k = 0;
    for (; k + N <= n; k += N) {
        auto s = hn::Add(h, hn::LoadU(d, sums + k));
        for (std::size_t i = 1; i < taps; ++i) s = hn::Add(s, hn::LoadU(d, sums + k + i * stride));
        const auto q = hn::ShiftRightSame(hn::MulHigh(s, m), shift);  // at most 255
        hn::StoreU(hn::DemoteTo(d8, hn::BitCast(di, q)), d8, out + k);
    }
    for (; k < n; ++k) {
        std::uint32_t s = half;
        for (std::size_t i = 0; i < taps; ++i) s += sums[k + i * stride];
        out[k] = static_cast<std::uint8_t>((s * multiplier) >> (16 + shift));
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace korva_box_sums
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korva_box_sums {
HWY_EXPORT(AddRow);
HWY_EXPORT(SlideRow);
HWY_EXPORT(BoxMeans);
}  // namespace korva_box_sums

namespace boxsum {
using namespace korva_box_sums;

namespace {

// The first multiplier and shift that divide every numerator up to the limit exactly.
std::optional<Reciprocal> searchReciprocal(std::uint32_t area) {
    const std::uint32_t limit = 255 * area + area / 2;
    for (int shift = 0; shift < 16; ++shift) {
        const std::uint64_t m = ((std::uint64_t{1} << (16 + shift)) + area - 1) / area;
        if (m > 0xFFFF) break;
        bool exact = true;
        for (std::uint32_t x = 0; x <= limit && exact; ++x) exact = (x * m) >> (16 + shift) == x / area;
        if (exact) return Reciprocal{static_cast<std::uint16_t>(m), shift};
    }
    return std::nullopt;
}

}  // namespace

std::optional<Reciprocal> reciprocal(std::uint32_t area) {
    if (area == 0 || area > kMaxArea) return std::nullopt;
    // Found once per box size: multiplier in the high half, shift and a mark of having looked below.
    static std::array<std::atomic<std::uint32_t>, kMaxArea + 1> known{};
    std::uint32_t entry = known[area].load(std::memory_order_relaxed);
    if (!entry) {
        auto found = searchReciprocal(area);
        entry =
            found ? (std::uint32_t{found->multiplier} << 16 | static_cast<std::uint32_t>(found->shift) << 1 | 1u) : 2u;
        known[area].store(entry, std::memory_order_relaxed);
    }
    if (!(entry & 1u)) return std::nullopt;
    return Reciprocal{static_cast<std::uint16_t>(entry >> 16), static_cast<int>((entry >> 1) & 0x1F)};
}

void addRow(std::uint16_t* sums, const std::uint8_t* row, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(AddRow)(sums, row, n);
}

void slideRow(std::uint16_t* sums, const std::uint8_t* entering, const std::uint8_t* leaving, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(SlideRow)(sums, entering, leaving, n);
}

void boxMeans(const std::uint16_t* sums, std::size_t n, std::size_t taps, std::size_t stride, std::uint16_t half,
              const Reciprocal& divide, std::uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(BoxMeans)(sums, n, taps, stride, half, divide.multiplier, divide.shift, out);
}

}  // namespace boxsum
#endif
