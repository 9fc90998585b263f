// Pixel compositing kernels with Cairo's rounding, eight pixels at a time on AVX2.
#include "platform/ui/layer/pixel_compose.h"

#include <immintrin.h>

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

}  // namespace pixel_compose
