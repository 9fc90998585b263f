// Media time: a rational number of seconds (value / timescale) with validity flags.
#pragma once

#include <cmath>
#include <compare>
#include <cstdint>
#include <numeric>

using CMTimeValue = std::int64_t;
using CMTimeScale = std::int32_t;

enum CMTimeFlags : std::uint32_t {
    kCMTimeFlags_Valid = 1u << 0,
    kCMTimeFlags_HasBeenRounded = 1u << 1,
    kCMTimeFlags_PositiveInfinity = 1u << 2,
    kCMTimeFlags_NegativeInfinity = 1u << 3,
    kCMTimeFlags_Indefinite = 1u << 4,
};

struct CMTime {
    CMTimeValue value = 0;
    CMTimeScale timescale = 0;
    std::uint32_t flags = 0;
    std::int64_t epoch = 0;
};

inline constexpr CMTime kCMTimeInvalid{};
inline constexpr CMTime kCMTimeZero{0, 1, kCMTimeFlags_Valid, 0};
inline constexpr CMTime kCMTimePositiveInfinity{0, 0, kCMTimeFlags_Valid | kCMTimeFlags_PositiveInfinity, 0};

inline bool CMTIME_IS_VALID(const CMTime& t) {
    return (t.flags & kCMTimeFlags_Valid) != 0;
}
inline bool CMTIME_IS_NUMERIC(const CMTime& t) {
    return CMTIME_IS_VALID(t) && t.timescale > 0 &&
           (t.flags & (kCMTimeFlags_PositiveInfinity | kCMTimeFlags_NegativeInfinity | kCMTimeFlags_Indefinite)) == 0;
}

inline CMTime CMTimeMake(CMTimeValue value, CMTimeScale timescale) {
    if (timescale <= 0) return kCMTimeInvalid;
    return {value, timescale, kCMTimeFlags_Valid, 0};
}

// Rounds to the nearest unit of the timescale; NaN or an invalid timescale gives an invalid time.
inline CMTime CMTimeMakeWithSeconds(double seconds, CMTimeScale preferredTimescale) {
    if (std::isnan(seconds) || preferredTimescale <= 0) return kCMTimeInvalid;
    if (std::isinf(seconds))
        return {0, 0,
                kCMTimeFlags_Valid | (seconds > 0 ? kCMTimeFlags_PositiveInfinity : kCMTimeFlags_NegativeInfinity), 0};
    double scaled = seconds * preferredTimescale;
    CMTime t{static_cast<CMTimeValue>(std::llround(scaled)), preferredTimescale, kCMTimeFlags_Valid, 0};
    if (static_cast<double>(t.value) != scaled) t.flags |= kCMTimeFlags_HasBeenRounded;
    return t;
}

// Seconds as a double; NaN for invalid or indefinite times, +-inf for the infinities.
inline double CMTimeGetSeconds(const CMTime& t) {
    if (!CMTIME_IS_VALID(t) || (t.flags & kCMTimeFlags_Indefinite)) return std::nan("");
    if (t.flags & kCMTimeFlags_PositiveInfinity) return INFINITY;
    if (t.flags & kCMTimeFlags_NegativeInfinity) return -INFINITY;
    if (t.timescale <= 0) return std::nan("");
    return static_cast<double>(t.value) / t.timescale;
}

// -1, 0 or 1; invalid times sort before valid ones, as the platform orders them.
inline int CMTimeCompare(const CMTime& a, const CMTime& b) {
    bool va = CMTIME_IS_VALID(a), vb = CMTIME_IS_VALID(b);
    if (!va || !vb) return va == vb ? 0 : (va ? 1 : -1);
    // Cross-multiplication in 128 bits keeps exact rationals exact.
    if (CMTIME_IS_NUMERIC(a) && CMTIME_IS_NUMERIC(b)) {
        __int128 l = static_cast<__int128>(a.value) * b.timescale;
        __int128 r = static_cast<__int128>(b.value) * a.timescale;
        return l < r ? -1 : (l > r ? 1 : 0);
    }
    double sa = CMTimeGetSeconds(a), sb = CMTimeGetSeconds(b);
    return sa < sb ? -1 : (sa > sb ? 1 : 0);
}

inline CMTime CMTimeAdd(const CMTime& a, const CMTime& b) {
    if (!CMTIME_IS_NUMERIC(a) || !CMTIME_IS_NUMERIC(b)) return kCMTimeInvalid;
    if (a.timescale == b.timescale) return CMTimeMake(a.value + b.value, a.timescale);
    // The common timescale keeps the sum exact when it fits; otherwise the larger one, rounded.
    std::int64_t common = std::lcm(std::int64_t(a.timescale), std::int64_t(b.timescale));
    if (common <= INT32_MAX)
        return CMTimeMake(a.value * (common / a.timescale) + b.value * (common / b.timescale), CMTimeScale(common));
    CMTimeScale scale = a.timescale > b.timescale ? a.timescale : b.timescale;
    return CMTimeMakeWithSeconds(CMTimeGetSeconds(a) + CMTimeGetSeconds(b), scale);
}

inline CMTime CMTimeConvertScale(const CMTime& t, CMTimeScale timescale) {
    if (!CMTIME_IS_NUMERIC(t)) return t;
    return CMTimeMakeWithSeconds(CMTimeGetSeconds(t), timescale);
}

inline bool operator==(const CMTime& a, const CMTime& b) {
    return CMTimeCompare(a, b) == 0;
}
inline bool operator<(const CMTime& a, const CMTime& b) {
    return CMTimeCompare(a, b) < 0;
}
inline bool operator>(const CMTime& a, const CMTime& b) {
    return CMTimeCompare(a, b) > 0;
}
