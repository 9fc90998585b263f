// Pixel read-back helpers for drawing tests.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/image.h"

struct Rgba8 {
    int r = 0, g = 0, b = 0, a = 0;
};

// Straight-alpha colour of pixel (x, y) of the image's bitmap (row 0 at the top).
inline Rgba8 pixelAt(const CGImage& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + x * 4;
    bool bgra = image.layout() == CGImagePixelLayout::BGRA8Premultiplied;
    int r = p[bgra ? 2 : 0], g = p[1], b = p[bgra ? 0 : 2], a = p[3];
    auto un = [a](int c) { return a == 0 ? 0 : (c * 255 + a / 2) / a; };
    return {un(r), un(g), un(b), a};
}

inline Rgba8 pixelAt(const std::shared_ptr<UIImage>& image, int x, int y) {
    return pixelAt(*image->cgImage(), x, y);
}

inline bool near(const Rgba8& p, const Rgba8& q, int tolerance = 2) {
    auto close = [tolerance](int a, int b) { return a - b <= tolerance && b - a <= tolerance; };
    return close(p.r, q.r) && close(p.g, q.g) && close(p.b, q.b) && close(p.a, q.a);
}

inline std::ostream& operator<<(std::ostream& os, const Rgba8& p) {
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}
