// Shadow blurs: the same bytes as the plain one-line-at-a-time running sums and library rounding,
// whatever the surface's size against the lines summed side by side and the blur's reach.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "platform/ui/draw/cairo_support.h"

namespace {

// The blur and tint written the plain way, one line at a time, rounded by the library.
void plainBoxPass(const std::vector<float>& src, std::vector<float>& dst, int w, int h, int radius, bool vertical) {
    const float norm = 1.0f / (2 * radius + 1);
    const int lines = vertical ? w : h, length = vertical ? h : w;
    auto at = [&](int line, int i) { return vertical ? std::size_t(i) * w + line : std::size_t(line) * w + i; };
    for (int line = 0; line < lines; ++line) {
        float sum = 0;
        for (int i = 0; i <= radius && i < length; ++i) sum += src[at(line, i)];
        for (int i = 0; i < length; ++i) {
            dst[at(line, i)] = sum * norm;
            if (i - radius >= 0) sum -= src[at(line, i - radius)];
            if (i + radius + 1 < length) sum += src[at(line, i + radius + 1)];
        }
    }
}

void plainBlurAndTint(cairo_surface_t* surface, double sigma, double r, double g, double b, double a) {
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<float> plane(std::size_t(w) * h), scratch(plane.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) plane[std::size_t(y) * w + x] = data[y * stride + x * 4 + 3] / 255.0f;
    if (sigma > 0.25) {
        for (int radius : gaussianBoxRadii(sigma)) {
            plainBoxPass(plane, scratch, w, h, radius, false);
            plainBoxPass(scratch, plane, w, h, radius, true);
        }
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double cover = std::clamp<double>(plane[std::size_t(y) * w + x], 0, 1) * a;
            unsigned char* px = data + y * stride + x * 4;
            px[0] = static_cast<unsigned char>(std::lround(b * cover * 255));
            px[1] = static_cast<unsigned char>(std::lround(g * cover * 255));
            px[2] = static_cast<unsigned char>(std::lround(r * cover * 255));
            px[3] = static_cast<unsigned char>(std::lround(cover * 255));
        }
}

// Text-like ink: scattered strokes of every alpha over a clear surface.
cairo_surface_t* inked(int w, int h, unsigned seed) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    std::mt19937 random(seed);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned a = random() % 3 == 0 ? random() % 256 : 0;
            std::memset(data + y * stride + x * 4, int(a), 4);
        }
    cairo_surface_mark_dirty(s);
    return s;
}

std::vector<unsigned char> bytes(cairo_surface_t* s) {
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    std::vector<unsigned char> out;
    for (int y = 0; y < h; ++y) out.insert(out.end(), data + y * stride, data + y * stride + w * 4);
    return out;
}

TEST(DrawBlur, BlurAndTintKeepsThePlainSumsBytes) {
    struct Case {
        int w, h;
        double sigma;
    };
    // Heights below, at and off the lines summed side by side; blurs reaching past the surface.
    const Case cases[] = {{1, 1, 4.5},   {5, 3, 4.5},   {40, 8, 1.5},   {41, 9, 4.5},  {158, 68, 4.5},
                          {97, 15, 0.2}, {12, 70, 9.0}, {200, 17, 3.0}, {3, 40, 30.0}, {64, 64, 0.6}};
    unsigned seed = 1;
    for (const Case& c : cases) {
        for (const auto& tint : {std::vector<double>{0, 0, 0, 0.6}, std::vector<double>{1, 0.5, 0.25, 1},
                                 std::vector<double>{0.3, 0.9, 0.7, 0.37}}) {
            cairo_surface_t* fast = inked(c.w, c.h, seed);
            cairo_surface_t* plain = inked(c.w, c.h, seed++);
            blurAndTint(fast, c.sigma, tint[0], tint[1], tint[2], tint[3]);
            plainBlurAndTint(plain, c.sigma, tint[0], tint[1], tint[2], tint[3]);
            EXPECT_EQ(bytes(fast), bytes(plain)) << c.w << "x" << c.h << " sigma " << c.sigma << " alpha " << tint[3];
            cairo_surface_destroy(fast);
            cairo_surface_destroy(plain);
        }
    }
}

// A one-pixel line blurred spreads as the Gaussian it stands for: the deviation of its profile is
// the one asked for, within a few per cent, also where the best mix widens all three passes.
TEST(DrawBlur, ALineSpreadsAsTheGaussianOfTheDeviationAsked) {
    const int w = 121, h = 64;
    for (double sigma : {2.4, 2.45, 3.4, 3.45, 4.4, 4.45, 6.4, 9.0}) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < h; ++y) std::memset(data + y * stride + (w / 2) * 4, 255, 4);
        cairo_surface_mark_dirty(s);
        blurAndTint(s, sigma, 0, 0, 0, 1);
        cairo_surface_flush(s);
        // The middle row, far from the top and bottom edges that the vertical passes fade.
        const unsigned char* row = data + (h / 2) * stride;
        double mass = 0, moment = 0;
        for (int x = 0; x < w; ++x) {
            const double a = row[x * 4 + 3], d = x - w / 2;
            mass += a;
            moment += a * d * d;
        }
        const double deviation = std::sqrt(moment / mass);
        EXPECT_NEAR(deviation / sigma, 1.0, 0.04) << "sigma " << sigma << " spread as " << deviation;
        cairo_surface_destroy(s);
    }
}

}  // namespace
