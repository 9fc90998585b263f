// Shared pieces of the second filter suite: per-pixel references on small random images.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "image_test_support.h"

namespace filters2 {

using Pixel = std::array<double, 4>;  // straight colour and alpha, 0...1
using PixelFn = std::function<Pixel(const Pixel&, double x, double y)>;

// A bitmap with valid premultiplied pixels (colour <= alpha); opaque when asked.
inline imagetest::Bitmap premultipliedBitmap(int w, int h, unsigned seed, bool opaque) {
    imagetest::Bitmap b = imagetest::randomBitmap(w, h, seed, opaque);
    for (std::size_t i = 0; i < b.rgba.size(); i += 4) {
        if (!opaque) b.rgba[i + 3] = static_cast<std::uint8_t>(std::max<int>(b.rgba[i + 3], 40));
        for (int c = 0; c < 3; ++c) b.rgba[i + c] = static_cast<std::uint8_t>(b.rgba[i + c] * b.rgba[i + 3] / 255);
    }
    return b;
}

inline std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

// Renders the image over the bitmap's area with an unmanaged context and compares every pixel
// with ref(straight input pixel, centre x, centre y), premultiplied again; within `tolerance`.
inline void expectPixels(const std::shared_ptr<CIImage>& image, const imagetest::Bitmap& src, const PixelFn& ref,
                         int tolerance = 1) {
    ASSERT_NE(image, nullptr);
    auto out = imagetest::render(imagetest::plainContext(1), image, CGRectMake(0, 0, src.width, src.height));
    ASSERT_FALSE(out.rgba.empty());
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) {
            const std::uint8_t* s = src.at(x, y);
            const double a = s[3] / 255.0;
            Pixel p{a > 0 ? s[0] / 255.0 / a : 0, a > 0 ? s[1] / 255.0 / a : 0, a > 0 ? s[2] / 255.0 / a : 0, a};
            Pixel q = ref(p, x + 0.5, src.height - y - 0.5);
            const std::uint8_t* o = out.at(x, y);
            const double qa = std::clamp(q[3], 0.0, 1.0);
            for (int c = 0; c < 4; ++c) {
                const double expected = c == 3 ? qa : q[static_cast<std::size_t>(c)] * qa;
                ASSERT_NEAR(o[c], toByte(expected), tolerance) << "pixel " << x << "," << y << " component " << c;
            }
        }
}

inline double luma(const Pixel& p) {
    return 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
}

}  // namespace filters2
