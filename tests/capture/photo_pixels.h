// Pixel helpers for the still-capture tests: RGB copies of frames and photos, the crop and the
// turn a photo should have, and the mean difference between two pictures.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/capture/cv_pixel_buffer.h"
#include "platform/image/codec/image_data.h"

struct Rgb {
    int w = 0, h = 0;
    std::vector<std::uint8_t> px;  // r g b per pixel, rows top to bottom
    const std::uint8_t* at(int x, int y) const { return &px[(std::size_t(y) * w + x) * 3]; }
};

inline Rgb rgbOf(const CVPixelBuffer& frame) {
    Rgb out{int(frame.width()), int(frame.height()), {}};
    out.px.reserve(std::size_t(out.w) * out.h * 3);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            const std::uint8_t* p = frame.row(y) + x * 4;
            out.px.insert(out.px.end(), {p[2], p[1], p[0]});
        }
    return out;
}

// The stored pixels of an image file (no orientation applied).
inline Rgb rgbOfFile(const std::string& path) {
    Rgb out;
    auto decoded = decodeImageFile(path);
    if (!decoded) return out;
    const auto& r = decoded->raster;
    out.w = r.width, out.h = r.height;
    for (std::size_t i = 0; i < r.pixels.size(); i += 4)
        out.px.insert(out.px.end(), {r.pixels[i], r.pixels[i + 1], r.pixels[i + 2]});
    return out;
}

// Centre crop to width / height = ratio, rounding halves away from zero; unchanged within 0.05.
inline Rgb cropRgb(const Rgb& in, double ratio) {
    double current = double(in.w) / in.h;
    if (std::fabs(current - ratio) <= 0.05) return in;
    int w = in.w, h = in.h, x0 = 0, y0 = 0;
    if (current > ratio) {
        w = int(std::lround(in.h * ratio));
        x0 = int(std::lround((in.w - w) / 2.0));
    } else {
        h = int(std::lround(in.w / ratio));
        y0 = int(std::lround((in.h - h) / 2.0));
    }
    Rgb out{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto* p = in.at(x0 + x, y0 + y);
            out.px.insert(out.px.end(), {p[0], p[1], p[2]});
        }
    return out;
}

// The picture under a linear map M (a b; c d) of bottom-left-origin coordinates, as the image
// engine's affine transform places it.
inline Rgb transformRgb(const Rgb& in, double a, double b, double c, double d) {
    bool swap = std::fabs(a) < 0.5;
    Rgb out{swap ? in.h : in.w, swap ? in.w : in.h, {}};
    out.px.resize(std::size_t(out.w) * out.h * 3);
    for (int oy = 0; oy < out.h; ++oy)
        for (int ox = 0; ox < out.w; ++ox) {
            double X = ox + 0.5 - out.w / 2.0, Y = out.h / 2.0 - (oy + 0.5);
            // M is orthogonal: its inverse is its transpose.
            double xi = a * X + c * Y, yi = b * X + d * Y;
            int ix = int(std::lround(xi + in.w / 2.0 - 0.5)), iy = int(std::lround(in.h / 2.0 - yi - 0.5));
            ix = std::min(std::max(ix, 0), in.w - 1), iy = std::min(std::max(iy, 0), in.h - 1);
            const auto* p = in.at(ix, iy);
            auto* q = &out.px[(std::size_t(oy) * out.w + ox) * 3];
            q[0] = p[0], q[1] = p[1], q[2] = p[2];
        }
    return out;
}

// Mean absolute difference per channel; 255 when the sizes differ.
inline double meanDifference(const Rgb& a, const Rgb& b) {
    if (a.w != b.w || a.h != b.h || a.px.empty()) return 255;
    double sum = 0;
    for (std::size_t i = 0; i < a.px.size(); ++i) sum += std::abs(int(a.px[i]) - int(b.px[i]));
    return sum / double(a.px.size());
}

// Rec. 709 luma of every pixel, as a colour-controls filter with saturation 0 makes it.
inline Rgb greyRgb(const Rgb& in) {
    Rgb out = in;
    for (std::size_t i = 0; i < out.px.size(); i += 3) {
        double y = 0.2126 * in.px[i] + 0.7152 * in.px[i + 1] + 0.0722 * in.px[i + 2];
        auto v = std::uint8_t(std::lround(std::min(255.0, y)));
        out.px[i] = out.px[i + 1] = out.px[i + 2] = v;
    }
    return out;
}
