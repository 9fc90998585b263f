// Geometry to and from text.
#include "platform/ui/view/ui_geometry_strings.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string number(CGFloat v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    // The shortest form that reads back the same.
    for (int precision = 1; precision <= 17; ++precision) {
        char shorter[32];
        std::snprintf(shorter, sizeof shorter, "%.*g", precision, v);
        if (std::strtod(shorter, nullptr) == v) return shorter;
    }
    return buffer;
}

template <std::size_t N>
std::string braced(const std::array<CGFloat, N>& values) {
    std::string out = "{";
    for (std::size_t i = 0; i < N; ++i) out += (i ? ", " : "") + number(values[i]);
    return out + "}";
}

template <std::size_t N>
std::array<CGFloat, N> numbers(std::string_view text) {
    std::array<CGFloat, N> out{};
    std::string s(text);
    const char* p = s.c_str();
    std::size_t found = 0;
    while (*p && found < N) {
        if ((*p >= '0' && *p <= '9') || *p == '-' || *p == '+' || *p == '.') {
            char* end = nullptr;
            double v = std::strtod(p, &end);
            if (end == p) {
                ++p;
                continue;
            }
            out[found++] = std::isfinite(v) ? v : 0;
            p = end;
        } else {
            ++p;
        }
    }
    return out;
}

}  // namespace

std::string NSStringFromCGPoint(CGPoint point) { return braced<2>({point.x, point.y}); }
std::string NSStringFromCGSize(CGSize size) { return braced<2>({size.width, size.height}); }
std::string NSStringFromUIEdgeInsets(UIEdgeInsets i) { return braced<4>({i.top, i.left, i.bottom, i.right}); }

CGPoint CGPointFromString(std::string_view text) {
    auto v = numbers<2>(text);
    return {v[0], v[1]};
}

CGSize CGSizeFromString(std::string_view text) {
    auto v = numbers<2>(text);
    return {v[0], v[1]};
}

UIEdgeInsets UIEdgeInsetsFromString(std::string_view text) {
    auto v = numbers<4>(text);
    return {v[0], v[1], v[2], v[3]};
}
