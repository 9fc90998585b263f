// Geometry texts: written with the shortest round-trip form, read with a small scanner that takes
// the numbers in order and ignores the punctuation around them.
#include "platform/runtime/geometry_string.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

std::string shortest(CGFloat v) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

}  // namespace

std::string geometryText(const CGFloat* values, std::size_t count) {
    std::string out = "{";
    for (std::size_t i = 0; i < count; ++i) out += (i ? ", " : "") + shortest(values[i]);
    return out + "}";
}

std::size_t readGeometryNumbers(std::string_view text, CGFloat* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) out[i] = 0;
    const std::string s(text);
    const char* p = s.c_str();
    std::size_t found = 0;
    while (*p && found < count) {
        char c = *p;
        bool starts = (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
        if (!starts) {
            ++p;
            continue;
        }
        char* end = nullptr;
        double v = std::strtod(p, &end);
        if (end == p) {
            ++p;
            continue;
        }
        out[found++] = std::isfinite(v) ? v : 0;
        p = end;
    }
    return found;
}

std::string NSStringFromCGPoint(CGPoint point) {
    const CGFloat values[2] = {point.x, point.y};
    return geometryText(values, 2);
}

CGPoint CGPointFromString(std::string_view text) {
    CGFloat numbers[2];
    if (readGeometryNumbers(text, numbers, 2) < 2) return CGPointZero;
    return {numbers[0], numbers[1]};
}
