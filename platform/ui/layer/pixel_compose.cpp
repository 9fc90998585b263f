// Pixel compositing kernels with Cairo's rounding, eight pixels at a time on AVX2.
#include "platform/ui/layer/pixel_compose.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

namespace pixel_compose {

namespace {

// One channel's product rounded as Cairo's compositing rounds it.
inline std::uint32_t mul(std::uint32_t x, std::uint32_t y) {
    std::uint32_t t = x * y + 0x80;
    return (t + (t >> 8)) >> 8;
}

inline std::uint32_t over(std::uint32_t s, std::uint32_t d) {
    const std::uint32_t ia = 255 - (s >> 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        std::uint32_t c = mul((d >> shift) & 0xFF, ia) + ((s >> shift) & 0xFF);
        out |= (c > 255 ? 255 : c) << shift;
    }
    return out;
}

// x * k per 16-bit lane (bytes widened), rounded as mul() does: ((t + 128) * 257) >> 16 equals
// (t' + (t' >> 8)) >> 8 with t' = t + 128 for every product of two bytes.
__attribute__((target("avx2"))) inline __m256i mulLanes(__m256i x, __m256i k) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(x, k), _mm256_set1_epi16(0x80)),
                              _mm256_set1_epi16(0x0101));
}

// over(colour, d) for eight pixels.
__attribute__((target("avx2"))) inline __m256i overSolid8(__m256i d, __m256i colour, __m256i inverse) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i lo = mulLanes(_mm256_unpacklo_epi8(d, zero), inverse);
    __m256i hi = mulLanes(_mm256_unpackhi_epi8(d, zero), inverse);
    return _mm256_adds_epu8(_mm256_packus_epi16(lo, hi), colour);
}

// over(s, d) for eight pixels, each with its own alpha.
__attribute__((target("avx2"))) inline __m256i over8(__m256i s, __m256i d) {
    const __m256i zero = _mm256_setzero_si256(), byte = _mm256_set1_epi16(0xFF);
    // Each pixel's alpha spread over its four 16-bit lanes, then 255 minus it.
    const __m256i spread = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7, 6, 7, 6, 7, 6,
                                            7, 14, 15, 14, 15, 14, 15, 14, 15);
    __m256i slo = _mm256_unpacklo_epi8(s, zero), shi = _mm256_unpackhi_epi8(s, zero);
    __m256i ilo = _mm256_xor_si256(_mm256_shuffle_epi8(slo, spread), byte);
    __m256i ihi = _mm256_xor_si256(_mm256_shuffle_epi8(shi, spread), byte);
    __m256i lo = mulLanes(_mm256_unpacklo_epi8(d, zero), ilo);
    __m256i hi = mulLanes(_mm256_unpackhi_epi8(d, zero), ihi);
    return _mm256_adds_epu8(_mm256_packus_epi16(lo, hi), s);
}

__attribute__((target("avx2"))) void overSolidWide(std::uint32_t* row, int n, std::uint32_t colour) {
    const __m256i c = _mm256_set1_epi32(static_cast<int>(colour));
    const __m256i inverse = _mm256_set1_epi16(static_cast<short>(255 - (colour >> 24)));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        auto* p = reinterpret_cast<__m256i*>(row + i);
        _mm256_storeu_si256(p, overSolid8(_mm256_loadu_si256(p), c, inverse));
    }
    for (; i < n; ++i) row[i] = over(colour, row[i]);
}

__attribute__((target("avx2"))) void overPictureThenSolidWide(std::uint32_t* row, const std::uint32_t* picture, int n,
                                                              std::uint32_t colour) {
    const __m256i c = _mm256_set1_epi32(static_cast<int>(colour));
    const __m256i inverse = _mm256_set1_epi16(static_cast<short>(255 - (colour >> 24)));
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        auto* p = reinterpret_cast<__m256i*>(row + i);
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(picture + i));
        // Where all eight are opaque the picture replaces what was there without reading it.
        __m256i under = _mm256_testc_si256(s, opaque) ? s : over8(s, _mm256_loadu_si256(p));
        _mm256_storeu_si256(p, overSolid8(under, c, inverse));
    }
    for (; i < n; ++i) row[i] = over(colour, over(picture[i], row[i]));
}

// One resampled pixel: rows mixed by the vertical weights, then the two columns by 128 - f and f.
inline std::uint32_t resampled(const std::uint32_t* top, const std::uint32_t* bottom, int width, int wTop, int wBottom,
                               std::int32_t vx) {
    const int x1 = std::clamp(vx >> 16, 0, width - 1), x2 = std::clamp((vx >> 16) + 1, 0, width - 1);
    const int f = (vx >> 9) & 0x7F;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        auto at = [&](const std::uint32_t* row, int x) { return static_cast<int>((row[x] >> shift) & 0xFF); };
        const int left = at(top, x1) * wTop + at(bottom, x1) * wBottom;
        const int right = at(top, x2) * wTop + at(bottom, x2) * wBottom;
        out |= static_cast<std::uint32_t>((left * (128 - f) + right * f) >> 14) << shift;
    }
    return out;
}

inline void overResampledPixel(std::uint32_t& d, std::uint32_t s) {
    if (s >> 24 == 0xFF)
        d = s;
    else if (s)
        d = over(s, d);
}

// Bytes of two rows widened to 16-bit lanes and mixed by the vertical weights.
struct WideRows {
    __m256i lo, hi;
};

__attribute__((target("avx2"))) inline WideRows mixRows(__m256i t, __m256i b, __m256i wTop, __m256i wBottom) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i tlo = _mm256_unpacklo_epi8(t, zero), thi = _mm256_unpackhi_epi8(t, zero);
    __m256i blo = _mm256_unpacklo_epi8(b, zero), bhi = _mm256_unpackhi_epi8(b, zero);
    return {_mm256_add_epi16(_mm256_mullo_epi16(tlo, wTop), _mm256_mullo_epi16(blo, wBottom)),
            _mm256_add_epi16(_mm256_mullo_epi16(thi, wTop), _mm256_mullo_epi16(bhi, wBottom))};
}

// Two pixels' channels as (left, right) pairs (pixels 0 and 4, 1 and 5, 2 and 6 or 3 and 7 of
// eight), each weighed by its pixel's pair of column weights and cut to a byte.
__attribute__((target("avx2"))) inline __m256i mixColumns(__m256i leftRight, __m256i pairs, __m256i pick) {
    return _mm256_srli_epi32(_mm256_madd_epi16(leftRight, _mm256_permutevar8x32_epi32(pairs, pick)), 14);
}

// (l * (128 - f) + r * f) >> 7 per 16-bit lane.
__attribute__((target("avx2"))) inline __m256i lerp7(__m256i l, __m256i r, __m256i f, __m256i full) {
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(l, _mm256_sub_epi16(full, f)), _mm256_mullo_epi16(r, f)), 7);
}

// Eight pixels of one row mixed from their left and right columns by each pixel's fraction f
// (eight 32-bit lanes), in 16-bit lanes: each pixel's f spread over its four channels.
__attribute__((target("avx2"))) inline __m256i mixColumnsOfOneRow(__m256i left, __m256i right, __m256i f) {
    const __m256i zero = _mm256_setzero_si256(), full = _mm256_set1_epi16(128);
    const __m256i spreadLow = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5, 0, 1, 0, 1, 0, 1, 0, 1,
                                               4, 5, 4, 5, 4, 5, 4, 5);
    const __m256i spreadHigh = _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13, 8, 9, 8, 9, 8,
                                                9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13);
    const __m256i fLow = _mm256_shuffle_epi8(f, spreadLow), fHigh = _mm256_shuffle_epi8(f, spreadHigh);
    const __m256i low = lerp7(_mm256_unpacklo_epi8(left, zero), _mm256_unpacklo_epi8(right, zero), fLow, full);
    const __m256i high = lerp7(_mm256_unpackhi_epi8(left, zero), _mm256_unpackhi_epi8(right, zero), fHigh, full);
    return _mm256_packus_epi16(low, high);
}

__attribute__((target("avx2"))) void overResampledRowWide(std::uint32_t* row, int n, const std::uint32_t* top,
                                                          const std::uint32_t* bottom, int width, int wTop, int wBottom,
                                                          std::int32_t vx, std::int32_t ux) {
    const bool oneRow = top == bottom;
    const __m256i wt = _mm256_set1_epi16(static_cast<short>(wTop)), wb = _mm256_set1_epi16(static_cast<short>(wBottom));
    const __m256i steps = _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(ux));
    const __m256i fractionMask = _mm256_set1_epi32(0x7F), full = _mm256_set1_epi32(128);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    // Which pixel's weight pair each quarter of the pairs below takes.
    const __m256i pick0 = _mm256_setr_epi32(0, 0, 0, 0, 4, 4, 4, 4), pick1 = _mm256_setr_epi32(1, 1, 1, 1, 5, 5, 5, 5);
    const __m256i pick2 = _mm256_setr_epi32(2, 2, 2, 2, 6, 6, 6, 6), pick3 = _mm256_setr_epi32(3, 3, 3, 3, 7, 7, 7, 7);
    int i = 0;
    while (i + 8 <= n) {
        const std::int32_t x0 = vx >> 16;
        // Eight neighbouring columns within the row: two loads a row give both columns of each.
        if (x0 >= 0 && x0 + 9 <= width && ((vx + 7 * ux) >> 16) - x0 == 7) {
            const __m256i t0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top + x0));
            const __m256i t1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top + x0 + 1));
            __m256i b0 = t0, b1 = t1;
            if (!oneRow) {
                b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom + x0));
                b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom + x0 + 1));
            }
            const __m256i any = _mm256_or_si256(_mm256_or_si256(t0, t1), _mm256_or_si256(b0, b1));
            if (!_mm256_testz_si256(any, any)) {
                // Each pixel's column fraction f (its weights are 128 - f and f).
                const __m256i f = _mm256_and_si256(_mm256_srli_epi32(_mm256_add_epi32(_mm256_set1_epi32(vx), steps), 9),
                                                   fractionMask);
                __m256i s;
                if (oneRow) {
                    // A single row: (left * (128 - f) + right * f) >> 7, the same bytes as the two-row
                    // sum (all 128 times as large) shifted by 14, and within 16 bits.
                    s = mixColumnsOfOneRow(t0, t1, f);
                } else {
                    const WideRows left = mixRows(t0, b0, wt, wb), right = mixRows(t1, b1, wt, wb);
                    const __m256i pairs = _mm256_or_si256(_mm256_slli_epi32(f, 16), _mm256_sub_epi32(full, f));
                    const __m256i p0 = mixColumns(_mm256_unpacklo_epi16(left.lo, right.lo), pairs, pick0);
                    const __m256i p1 = mixColumns(_mm256_unpackhi_epi16(left.lo, right.lo), pairs, pick1);
                    const __m256i p2 = mixColumns(_mm256_unpacklo_epi16(left.hi, right.hi), pairs, pick2);
                    const __m256i p3 = mixColumns(_mm256_unpackhi_epi16(left.hi, right.hi), pairs, pick3);
                    s = _mm256_packus_epi16(_mm256_packs_epi32(p0, p1), _mm256_packs_epi32(p2, p3));
                }
                auto* d = reinterpret_cast<__m256i*>(row + i);
                if (_mm256_testc_si256(s, opaque))
                    _mm256_storeu_si256(d, s);
                else if (!_mm256_testz_si256(s, s))
                    _mm256_storeu_si256(d, over8(s, _mm256_loadu_si256(d)));
            }
            i += 8;
            vx += 8 * ux;
            continue;
        }
        for (int end = i + 8; i < end; ++i, vx += ux)
            overResampledPixel(row[i], resampled(top, bottom, width, wTop, wBottom, vx));
    }
    for (; i < n; ++i, vx += ux) overResampledPixel(row[i], resampled(top, bottom, width, wTop, wBottom, vx));
}

}  // namespace

bool available() {
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide;
}

void overSolid(std::uint32_t* row, int n, std::uint32_t colour) {
    if (available()) return overSolidWide(row, n, colour);
    for (int i = 0; i < n; ++i) row[i] = over(colour, row[i]);
}

void overPictureThenSolid(std::uint32_t* row, const std::uint32_t* picture, int n, std::uint32_t colour) {
    if (available()) return overPictureThenSolidWide(row, picture, n, colour);
    for (int i = 0; i < n; ++i) row[i] = over(colour, over(picture[i], row[i]));
}

void overResampledRow(std::uint32_t* row, int n, const std::uint32_t* top, const std::uint32_t* bottom, int width,
                      int wTop, int wBottom, std::int32_t vx, std::int32_t ux) {
    if (n <= 0 || width <= 0) return;
    if (available()) return overResampledRowWide(row, n, top, bottom, width, wTop, wBottom, vx, ux);
    for (int i = 0; i < n; ++i, vx += ux) overResampledPixel(row[i], resampled(top, bottom, width, wTop, wBottom, vx));
}

}  // namespace pixel_compose
