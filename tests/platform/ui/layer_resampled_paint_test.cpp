// A bitmap laid at a fractional offset by the pixel kernels gives the bytes Cairo's own paint gives:
// random pictures (clear runs and margins, opaque runs, translucent pixels) through near-unit
// scales and offsets anywhere on a wide target, clipped to rectangles that reach past the picture
// (its padded edges) or lie within it, in whole pixels or cutting through them, over stale pixels.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "platform/ui/layer/ink_box.h"
#include "platform/ui/layer/pixel_compose.h"
#include "platform/ui/layer/resampled_paint.h"

namespace {

// A layer's bitmap as the renderer lays it: the layer's bounds in its user space (a device scale,
// the layer's place), the bitmap stretched over them, clipped by the frame's damaged box, the bounds
// and a box of whole pixels around the drawing.
struct Case {
    int sw, sh;
    cairo_matrix_t layerSpace;  // the context's matrix while the layer draws
    cairo_rectangle_t bounds;   // in that space
    cairo_matrix_t toTarget;    // bitmap pixels to target pixels
    PixelBox outer, reach;      // whole target pixels
    cairo_format_t targetFormat;
};

constexpr int kTW = 1200, kTH = 160;

std::uint32_t premultiplied(std::mt19937& rng) {
    const int kind = static_cast<int>(rng() % 6);
    if (kind < 2) return 0;  // clear, as most of a text bitmap is
    const std::uint32_t a = kind == 2 ? 255 : rng() % 256;
    auto channel = [&] { return a ? static_cast<std::uint32_t>(rng() % (a + 1)) : 0u; };
    return (a << 24) | (channel() << 16) | (channel() << 8) | channel();
}

// A picture with clear margins of a few pixels (none on some sides), as a layer's drawing has.
cairo_surface_t* filled(int w, int h, cairo_format_t format, std::mt19937& rng) {
    cairo_surface_t* s = cairo_image_surface_create(format, w, h);
    cairo_surface_flush(s);
    const int left = rng() % 5, right = w - static_cast<int>(rng() % 5), top = rng() % 5,
              bottom = h - static_cast<int>(rng() % 5);
    for (int y = 0; y < h; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < w; ++x)
            row[x] =
                (x / 9 + y / 5) % 3 == 0 || x < left || x >= right || y < top || y >= bottom ? 0 : premultiplied(rng);
    }
    cairo_surface_mark_dirty(s);
    return s;
}

// Stale target pixels of every shade, the same for a seed.
cairo_surface_t* stale(cairo_format_t format, unsigned seed) {
    cairo_surface_t* s = cairo_image_surface_create(format, kTW, kTH);
    cairo_surface_flush(s);
    for (int y = 0; y < kTH; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < kTW; ++x) {
            const std::uint32_t a = (x * 7 + y * 3 + seed) % 256;
            row[x] = (a << 24) | ((x + seed) % (a + 1)) << 16 | ((y * 5) % (a + 1)) << 8 | ((x * y) % (a + 1));
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

cairo_t* clipped(cairo_surface_t* target, const Case& c) {
    cairo_t* cr = cairo_create(target);
    cairo_rectangle(cr, c.outer.x0, c.outer.y0, c.outer.x1 - c.outer.x0, c.outer.y1 - c.outer.y0);
    cairo_clip(cr);
    cairo_set_matrix(cr, &c.layerSpace);
    return cr;
}

std::string firstDifference(cairo_surface_t* a, cairo_surface_t* b) {
    auto row = [](cairo_surface_t* s, int y) {
        return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s) +
                                                      y * cairo_image_surface_get_stride(s));
    };
    for (int y = 0; y < kTH; ++y) {
        if (std::memcmp(row(a, y), row(b, y), kTW * 4) == 0) continue;
        for (int x = 0; x < kTW; ++x)
            if (row(a, y)[x] != row(b, y)[x]) {
                char buf[64];
                std::snprintf(buf, sizeof buf, "%d,%d: %08x %08x", x, y, row(a, y)[x], row(b, y)[x]);
                return buf;
            }
    }
    return "";
}

Case randomCase(std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0, 1);
    Case c;
    c.sw = 3 + static_cast<int>(rng() % 400);
    c.sh = 3 + static_cast<int>(rng() % 90);
    // Drawn at a device scale of 1 or 3, anywhere on a wide target.
    const double k = rng() % 3 ? 3 : 1;
    cairo_matrix_init(&c.layerSpace, k, 0, 0, k, std::floor(unit(rng) * 100), std::floor(unit(rng) * 20));
    // The bitmap stretched over bounds a little narrower than its pixels (a layer's rounded size),
    // exactly as wide, or a wider scale now and then.
    auto stretch = [&] {
        const int kind = static_cast<int>(rng() % 4);
        if (kind == 0) return 1.0;
        if (kind == 3) return 0.8 + 0.4 * unit(rng);
        return 1 - unit(rng) * 0.002;
    };
    const double x = (unit(rng) * (kTW - c.sw / 2.0) - 120) / k, y = (unit(rng) * 80 - 20) / k;
    c.bounds = {rng() % 4 ? x : std::floor(x), rng() % 2 ? y : std::floor(y), c.sw * stretch() / k,
                c.sh * stretch() / k};
    c.toTarget = c.layerSpace;
    cairo_matrix_translate(&c.toTarget, c.bounds.x, c.bounds.y);
    cairo_matrix_scale(&c.toTarget, c.bounds.width / c.sw, c.bounds.height / c.sh);
    // The damaged box: the whole target or a part; the reach: around the drawing, past it or within.
    const double left = c.toTarget.x0, top = c.toTarget.y0;
    c.outer = rng() % 2
                  ? PixelBox{0, 0, kTW, kTH}
                  : PixelBox{static_cast<int>(left) + static_cast<int>(rng() % 40) - 20, static_cast<int>(rng() % 30),
                             static_cast<int>(left) + c.sw, kTH - static_cast<int>(rng() % 30)};
    const int rx = static_cast<int>(std::floor(left)) - 4 + static_cast<int>(rng() % 12);
    const int ry = static_cast<int>(std::floor(top)) - 4 + static_cast<int>(rng() % 12);
    c.reach = {rx, ry, rx + 1 + static_cast<int>(rng() % (c.sw + 8)), ry + 1 + static_cast<int>(rng() % (c.sh + 8))};
    c.targetFormat = rng() % 5 == 0 ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32;
    return c;
}

TEST(ResampledPaint, GivesCairosBytesAtAnyFractionalOffset) {
    if (!pixel_compose::available()) GTEST_SKIP() << "no wide kernels on this machine";
    std::mt19937 rng(7);
    int taken = 0;
    for (unsigned i = 0; i < 300; ++i) {
        const Case c = randomCase(rng);
        cairo_surface_t* source = filled(c.sw, c.sh, CAIRO_FORMAT_ARGB32, rng);
        cairo_surface_t* expected = stale(c.targetFormat, i);
        cairo_surface_t* actual = stale(c.targetFormat, i);

        cairo_t* cr = clipped(expected, c);
        cairo_rectangle(cr, c.bounds.x, c.bounds.y, c.bounds.width, c.bounds.height);
        cairo_clip(cr);
        cairo_identity_matrix(cr);
        cairo_rectangle(cr, c.reach.x0, c.reach.y0, c.reach.x1 - c.reach.x0, c.reach.y1 - c.reach.y0);
        cairo_clip(cr);
        cairo_set_matrix(cr, &c.toTarget);
        cairo_set_source_surface(cr, source, 0, 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(expected);

        cr = clipped(actual, c);
        const PixelBox ink =
            inkBox(cairo_image_surface_get_data(source), cairo_image_surface_get_stride(source), c.sw, c.sh);
        const bool took = paintResampled(cr, {source, c.toTarget, ink, c.bounds, c.reach});
        cairo_destroy(cr);
        cairo_surface_flush(actual);
        taken += took;
        if (took)
            ASSERT_EQ(firstDifference(actual, expected), "")
                << "case " << i << ": " << c.sw << "x" << c.sh << " scale " << c.toTarget.xx << "," << c.toTarget.yy
                << " at " << c.toTarget.x0 << "," << c.toTarget.y0;
        else {
            cairo_surface_t* untouched = stale(c.targetFormat, i);
            EXPECT_EQ(firstDifference(actual, untouched), "") << "case " << i << " drew though it declined";
            cairo_surface_destroy(untouched);
        }
        cairo_surface_destroy(source);
        cairo_surface_destroy(expected);
        cairo_surface_destroy(actual);
    }
    // Left to Cairo: whole-pixel translations, and clips cutting pixels that sample the picture.
    EXPECT_GT(taken, 150);
}

TEST(ResampledPaint, LeavesToCairoWhatItCannotMatch) {
    cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20);
    {
        cairo_t* cr = cairo_create(source);
        cairo_set_source_rgb(cr, 0.3, 0.6, 0.9);
        cairo_paint(cr);  // drawn to its edges
        cairo_destroy(cr);
    }
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 60, 60);
    const PixelBox ink{0, 0, 20, 20}, reach{0, 0, 60, 60};
    cairo_matrix_t shifted, whole, turned;
    cairo_matrix_init_translate(&shifted, 10.5, 3);
    cairo_matrix_init_translate(&whole, 10, 3);
    cairo_matrix_init_rotate(&turned, 0.1);
    auto takes = [&](auto&& prepare, const cairo_matrix_t& m, cairo_rectangle_t bounds) {
        cairo_t* cr = cairo_create(target);
        cairo_rectangle(cr, 0, 0, 60, 60);
        cairo_clip(cr);
        prepare(cr);
        const bool took = paintResampled(cr, {source, m, ink, bounds, reach});
        cairo_destroy(cr);
        return took;
    };
    auto none = [](cairo_t*) {};
    EXPECT_TRUE(takes(none, shifted, {0, 0, 60, 60}));
    // Pixels half covered by the bounds sample the drawing: Cairo weighs them by their coverage.
    EXPECT_FALSE(takes(none, shifted, {10.5, 3, 20, 20}));
    EXPECT_FALSE(
        takes([](cairo_t* cr) { cairo_rectangle(cr, 5.5, 5, 30, 30), cairo_clip(cr); }, shifted, {0, 0, 60, 60}));
    EXPECT_FALSE(takes([](cairo_t* cr) { cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE); }, shifted, {0, 0, 60, 60}));
    EXPECT_FALSE(takes(none, whole, {0, 0, 60, 60}));
    EXPECT_FALSE(takes(none, turned, {0, 0, 60, 60}));
    cairo_surface_destroy(source);
    cairo_surface_destroy(target);
}

}  // namespace
