// A bitmap laid at a fractional offset by the pixel kernels gives the bytes Cairo's own paint gives:
// random pictures (clear runs, opaque runs, translucent pixels) through near-unit scales and
// offsets anywhere on a wide target, clipped to whole-pixel rectangles that reach past the picture
// (its padded edges) or lie within it, over stale pixels.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "platform/ui/layer/pixel_compose.h"
#include "platform/ui/layer/resampled_paint.h"

namespace {

struct Case {
    int sw, sh;
    cairo_matrix_t toTarget;
    int cx, cy, cw, ch;  // the clip
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

cairo_surface_t* filled(int w, int h, cairo_format_t format, std::mt19937& rng) {
    cairo_surface_t* s = cairo_image_surface_create(format, w, h);
    cairo_surface_flush(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < w; ++x) row[x] = (x / 9 + y / 5) % 3 == 0 ? 0 : premultiplied(rng);
    }
    cairo_surface_mark_dirty(s);
    return s;
}

// Stale target pixels of every shade, the same for a seed.
cairo_surface_t* stale(cairo_format_t format, unsigned seed) {
    cairo_surface_t* s = cairo_image_surface_create(format, kTW, kTH);
    cairo_surface_flush(s);
    for (int y = 0; y < kTH; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
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
    cairo_rectangle(cr, c.cx, c.cy, c.cw, c.ch);
    cairo_clip(cr);
    return cr;
}

std::string firstDifference(cairo_surface_t* a, cairo_surface_t* b) {
    auto row = [](cairo_surface_t* s, int y) {
        return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
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
    // A layer's bitmap stretched by its rounded size, or a wider scale now and then.
    auto scale = [&] {
        const int kind = static_cast<int>(rng() % 4);
        if (kind == 0) return 1.0;
        if (kind == 3) return 0.8 + 0.4 * unit(rng);
        return 1 + (unit(rng) - 0.5) * 0.004;
    };
    const double x0 = -30 + unit(rng) * (kTW - c.sw / 2.0), y0 = -10 + unit(rng) * 80;
    cairo_matrix_init(&c.toTarget, scale(), 0, 0, scale(), x0, rng() % 2 ? std::floor(y0) : y0);
    // Around the picture, a little past it, or within it.
    c.cx = static_cast<int>(x0) - 4 + static_cast<int>(rng() % 12);
    c.cy = static_cast<int>(y0) - 4 + static_cast<int>(rng() % 12);
    c.cw = 1 + static_cast<int>(rng() % (c.sw + 8));
    c.ch = 1 + static_cast<int>(rng() % (c.sh + 8));
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
        cairo_set_matrix(cr, &c.toTarget);
        cairo_set_source_surface(cr, source, 0, 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(expected);

        cr = clipped(actual, c);
        const bool took = paintResampled(cr, source, c.toTarget);
        cairo_destroy(cr);
        cairo_surface_flush(actual);
        taken += took;
        if (took)
            ASSERT_EQ(firstDifference(actual, expected), "")
                << "case " << i << ": " << c.sw << "x" << c.sh << " scale " << c.toTarget.xx << "," << c.toTarget.yy
                << " at " << c.toTarget.x0 << "," << c.toTarget.y0 << " clip " << c.cx << "," << c.cy << " " << c.cw
                << "x" << c.ch;
        else {
            cairo_surface_t* untouched = stale(c.targetFormat, i);
            EXPECT_EQ(firstDifference(actual, untouched), "") << "case " << i << " drew though it declined";
            cairo_surface_destroy(untouched);
        }
        cairo_surface_destroy(source);
        cairo_surface_destroy(expected);
        cairo_surface_destroy(actual);
    }
    // Only whole-pixel translations (scale one, whole offsets) are left to Cairo.
    EXPECT_GT(taken, 220);
}

TEST(ResampledPaint, LeavesToCairoWhatItCannotMatch) {
    cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20);
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 60, 60);
    cairo_matrix_t shifted;
    cairo_matrix_init_translate(&shifted, 10.4, 3);
    auto takes = [&](auto&& prepare, const cairo_matrix_t& m) {
        cairo_t* cr = cairo_create(target);
        prepare(cr);
        const bool took = paintResampled(cr, source, m);
        cairo_destroy(cr);
        return took;
    };
    auto none = [](cairo_t*) {};
    EXPECT_TRUE(takes([](cairo_t* cr) { cairo_rectangle(cr, 5, 5, 30, 30), cairo_clip(cr); }, shifted));
    EXPECT_FALSE(takes([](cairo_t* cr) { cairo_rectangle(cr, 5.5, 5, 30, 30), cairo_clip(cr); }, shifted));
    EXPECT_FALSE(takes([](cairo_t* cr) { cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE); }, shifted));
    cairo_matrix_t whole, turned;
    cairo_matrix_init_translate(&whole, 10, 3);
    cairo_matrix_init_rotate(&turned, 0.1);
    EXPECT_FALSE(takes(none, whole));
    EXPECT_FALSE(takes(none, turned));
    cairo_surface_destroy(source);
    cairo_surface_destroy(target);
}

}  // namespace
