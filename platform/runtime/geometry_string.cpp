// Point texts: written with the shortest round-trip form, read with a small scanner that takes
// the numbers in order and ignores the punctuation around them.
#include "platform/runtime/geometry_string.h"

#include <charconv>
#include <cstdlib>

namespace {

std::string shortest(CGFloat v) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

}  // namespace

std::string NSStringFromCGPoint(CGPoint point) { return "{" + shortest(point.x) + ", " + shortest(point.y) + "}"; }

CGPoint CGPointFromString(const std::string& text) {
    CGFloat numbers[2] = {0, 0};
    int found = 0;
    const char* p = text.c_str();
    while (*p && found < 2) {
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
        numbers[found++] = v;
        p = end;
    }
    if (found < 2) return CGPointZero;
    return {numbers[0], numbers[1]};
}
