// NSRange: a location and a length in UTF-16 units (or items), with NSNotFound for "no match".
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

inline constexpr std::size_t NSNotFound = static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max());

struct NSRange {
    std::size_t location = 0;
    std::size_t length = 0;

    bool operator==(const NSRange&) const = default;
    bool found() const { return location != NSNotFound; }
};

inline constexpr NSRange NSMakeRange(std::size_t location, std::size_t length) {
    return {location, length};
}
inline constexpr std::size_t NSMaxRange(NSRange r) {
    return r.location + r.length;
}
inline constexpr bool NSLocationInRange(std::size_t location, NSRange r) {
    return location >= r.location && location - r.location < r.length;
}
inline constexpr NSRange NSIntersectionRange(NSRange a, NSRange b) {
    std::size_t start = std::max(a.location, b.location), end = std::min(NSMaxRange(a), NSMaxRange(b));
    return end > start ? NSRange{start, end - start} : NSRange{0, 0};
}
inline constexpr NSRange NSUnionRange(NSRange a, NSRange b) {
    std::size_t start = std::min(a.location, b.location), end = std::max(NSMaxRange(a), NSMaxRange(b));
    return {start, end - start};
}
