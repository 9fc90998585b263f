// Cairo conversions: paths, operators, filters, gradients, image surfaces and shadow blur.
#include "platform/ui/draw/cairo_support.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/image/cg_image.h"
#include "platform/image/engine/kernels.h"
#include "platform/ui/draw/gradient.h"

void appendPath(cairo_t* cr, const CGPath& path, bool skipLeadingMove) {
    bool first = true;
    for (const auto& e : path.elements()) {
        const auto& p = e.points;
        // Cairo turns a non-finite coordinate into a permanent error state; such segments are dropped.
        bool finite = true;
        for (const auto& q : p) finite = finite && std::isfinite(q.x) && std::isfinite(q.y);
        if (!finite) continue;
        switch (e.type) {
            case CGPathElementType::MoveToPoint:
                if (!(first && skipLeadingMove)) cairo_move_to(cr, p[0].x, p[0].y);
                break;
            case CGPathElementType::AddLineToPoint: cairo_line_to(cr, p[0].x, p[0].y); break;
            case CGPathElementType::AddQuadCurveToPoint: {
                double x0, y0;
                cairo_get_current_point(cr, &x0, &y0);
                // A quadratic is the cubic with controls two thirds of the way to its control point.
                cairo_curve_to(cr, x0 + 2.0 / 3.0 * (p[0].x - x0), y0 + 2.0 / 3.0 * (p[0].y - y0),
                               p[1].x + 2.0 / 3.0 * (p[0].x - p[1].x), p[1].y + 2.0 / 3.0 * (p[0].y - p[1].y), p[1].x,
                               p[1].y);
                break;
            }
            case CGPathElementType::AddCurveToPoint:
                cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
                break;
            case CGPathElementType::CloseSubpath: cairo_close_path(cr); break;
        }
        first = false;
    }
}

cairo_operator_t toCairoOperator(CGBlendMode mode) {
    switch (mode) {
        case CGBlendMode::Normal: return CAIRO_OPERATOR_OVER;
        case CGBlendMode::Multiply: return CAIRO_OPERATOR_MULTIPLY;
        case CGBlendMode::Screen: return CAIRO_OPERATOR_SCREEN;
        case CGBlendMode::Overlay: return CAIRO_OPERATOR_OVERLAY;
        case CGBlendMode::Darken: return CAIRO_OPERATOR_DARKEN;
        case CGBlendMode::Lighten: return CAIRO_OPERATOR_LIGHTEN;
        case CGBlendMode::ColorDodge: return CAIRO_OPERATOR_COLOR_DODGE;
        case CGBlendMode::ColorBurn: return CAIRO_OPERATOR_COLOR_BURN;
        case CGBlendMode::SoftLight: return CAIRO_OPERATOR_SOFT_LIGHT;
        case CGBlendMode::HardLight: return CAIRO_OPERATOR_HARD_LIGHT;
        case CGBlendMode::Difference: return CAIRO_OPERATOR_DIFFERENCE;
        case CGBlendMode::Exclusion: return CAIRO_OPERATOR_EXCLUSION;
        case CGBlendMode::Hue: return CAIRO_OPERATOR_HSL_HUE;
        case CGBlendMode::Saturation: return CAIRO_OPERATOR_HSL_SATURATION;
        case CGBlendMode::Color: return CAIRO_OPERATOR_HSL_COLOR;
        case CGBlendMode::Luminosity: return CAIRO_OPERATOR_HSL_LUMINOSITY;
        case CGBlendMode::Clear: return CAIRO_OPERATOR_CLEAR;
        case CGBlendMode::Copy: return CAIRO_OPERATOR_SOURCE;
        case CGBlendMode::SourceIn: return CAIRO_OPERATOR_IN;
        case CGBlendMode::SourceOut: return CAIRO_OPERATOR_OUT;
        case CGBlendMode::SourceAtop: return CAIRO_OPERATOR_ATOP;
        case CGBlendMode::DestinationOver: return CAIRO_OPERATOR_DEST_OVER;
        case CGBlendMode::DestinationIn: return CAIRO_OPERATOR_DEST_IN;
        case CGBlendMode::DestinationOut: return CAIRO_OPERATOR_DEST_OUT;
        case CGBlendMode::DestinationAtop: return CAIRO_OPERATOR_DEST_ATOP;
        case CGBlendMode::XOR: return CAIRO_OPERATOR_XOR;
        // Cairo has no plus-darker; darken is the nearest it offers.
        case CGBlendMode::PlusDarker: return CAIRO_OPERATOR_DARKEN;
        case CGBlendMode::PlusLighter: return CAIRO_OPERATOR_ADD;
    }
    return CAIRO_OPERATOR_OVER;
}

cairo_filter_t toCairoFilter(CGInterpolationQuality quality) {
    switch (quality) {
        case CGInterpolationQuality::None: return CAIRO_FILTER_NEAREST;
        case CGInterpolationQuality::Low: return CAIRO_FILTER_BILINEAR;
        case CGInterpolationQuality::High: return CAIRO_FILTER_BEST;
        case CGInterpolationQuality::Medium:
        case CGInterpolationQuality::Default: break;
    }
    // Good filtering averages all covered pixels when shrinking, as the platform does.
    return CAIRO_FILTER_GOOD;
}

void addColorStops(cairo_pattern_t* pattern, const CGGradient& gradient) {
    const auto& colors = gradient.colors();
    const auto& locations = gradient.locations();
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const CGColor& c = colors[i];
        cairo_pattern_add_color_stop_rgba(pattern, std::clamp<CGFloat>(locations[i], 0, 1), c.red, c.green, c.blue,
                                          c.alpha);
    }
}

namespace {
const cairo_user_data_key_t kImageKey{};

void releaseImage(void* holder) {
    delete static_cast<std::shared_ptr<const CGImage>*>(holder);
}
}  // namespace

cairo_surface_t* createSurfaceForImage(const CGImage& image) {
    int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) return nullptr;
    bool nativeLayout = image.layout() == CGImagePixelLayout::BGRA8Premultiplied && image.bytesPerRow() % 4 == 0 &&
                        static_cast<int>(image.bytesPerRow()) >= cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, w);
    static_assert(std::endian::native == std::endian::little, "Cairo's ARGB32 is BGRA in memory here");
    if (nativeLayout) {
        auto* data = const_cast<unsigned char*>(image.data());
        cairo_surface_t* surface =
            cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, w, h, static_cast<int>(image.bytesPerRow()));
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            return nullptr;
        }
        auto* holder = new std::shared_ptr<const CGImage>(image.self<CGImage>());
        cairo_surface_set_user_data(surface, &kImageKey, holder, releaseImage);
        return surface;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    unsigned char* dst = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = image.row(y);
        unsigned char* out = dst + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = src + x * 4;
            if (image.layout() == CGImagePixelLayout::RGBA8Premultiplied) {
                out[x * 4 + 0] = p[2];
                out[x * 4 + 1] = p[1];
                out[x * 4 + 2] = p[0];
            } else {
                out[x * 4 + 0] = p[0];
                out[x * 4 + 1] = p[1];
                out[x * 4 + 2] = p[2];
            }
            out[x * 4 + 3] = p[3];
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

std::shared_ptr<CGImage> imageFromSurface(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || w <= 0 || h <= 0) return nullptr;
    bool opaque = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
    std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    std::vector<std::uint8_t> pixels(rowBytes * h);
    for (int y = 0; y < h; ++y) {
        std::memcpy(pixels.data() + y * rowBytes, data + static_cast<std::size_t>(y) * stride, rowBytes);
        // An opaque surface leaves its padding byte undefined; the image says fully opaque.
        if (opaque)
            for (int x = 0; x < w; ++x) pixels[y * rowBytes + x * 4 + 3] = 255;
    }
    return CGImage::create(w, h, rowBytes, std::move(pixels), nullptr, CGImagePixelLayout::BGRA8Premultiplied);
}

namespace {
// Lines summed side by side by the pass along rows: a block of them is turned so that the same
// step of every line's running sum is one vector operation.
constexpr int kLanes = 8;

// One box pass along rows (or columns when vertical) with a running sum; edges read as zero.
// Columns are summed side by side, a row at a time, so the vertical pass reads memory in order;
// rows are summed side by side the same way, kLanes at a time, after turning the block. Each
// line's sums are taken in the same order either way, so the result does not depend on how many
// lines go side by side.
void boxPass(std::vector<float>& src, std::vector<float>& dst, int w, int h, int radius, bool vertical) {
    const float norm = 1.0f / (2 * radius + 1);
    if (!vertical) {
        std::vector<float> in(static_cast<std::size_t>(w) * kLanes), out(in.size());
        for (int line0 = 0; line0 < h; line0 += kLanes) {
            const int lines = std::min(kLanes, h - line0);
            if (lines < kLanes) std::fill(in.begin(), in.end(), 0.0f);
            kernels::transpose(src.data() + static_cast<std::size_t>(line0) * w, w, in.data(), kLanes, lines, w);
            float sum[kLanes] = {};
            for (int i = 0; i <= radius && i < w; ++i)
                for (int l = 0; l < kLanes; ++l) sum[l] += in[static_cast<std::size_t>(i) * kLanes + l];
            for (int i = 0; i < w; ++i) {
                float* o = out.data() + static_cast<std::size_t>(i) * kLanes;
                for (int l = 0; l < kLanes; ++l) o[l] = sum[l] * norm;
                const int leave = i - radius, enter = i + radius + 1;
                if (leave >= 0) {
                    const float* x = in.data() + static_cast<std::size_t>(leave) * kLanes;
                    for (int l = 0; l < kLanes; ++l) sum[l] -= x[l];
                }
                if (enter < w) {
                    const float* x = in.data() + static_cast<std::size_t>(enter) * kLanes;
                    for (int l = 0; l < kLanes; ++l) sum[l] += x[l];
                }
            }
            kernels::transpose(out.data(), kLanes, dst.data() + static_cast<std::size_t>(line0) * w, w, w, lines);
        }
        return;
    }
    std::vector<float> sums(static_cast<std::size_t>(w), 0.0f);
    auto row = [&](std::vector<float>& v, int y) { return v.data() + static_cast<std::size_t>(y) * w; };
    for (int i = 0; i <= radius && i < h; ++i) {
        const float* in = row(src, i);
        for (int x = 0; x < w; ++x) sums[x] += in[x];
    }
    for (int i = 0; i < h; ++i) {
        float* out = row(dst, i);
        for (int x = 0; x < w; ++x) out[x] = sums[x] * norm;
        int leave = i - radius, enter = i + radius + 1;
        if (leave >= 0) {
            const float* in = row(src, leave);
            for (int x = 0; x < w; ++x) sums[x] -= in[x];
        }
        if (enter < h) {
            const float* in = row(src, enter);
            for (int x = 0; x < w; ++x) sums[x] += in[x];
        }
    }
}

// std::lround for 0 <= v < 2^52, without the library call: v + 0.5 is exact or rounds to no
// other whole number from 0.5 up; below 0.5 only the nearest double under 0.5 would round up.
inline unsigned char roundLevel(double v) {
    return static_cast<unsigned char>(v < 0.5 ? 0 : static_cast<long>(v + 0.5));
}
// Three box passes each way approximating a Gaussian of the deviation (in pixels).
void gaussianPasses(std::vector<float>& plane, std::vector<float>& scratch, int w, int h, double sigma) {
    if (!(sigma > 0.25)) return;
    for (int radius : gaussianBoxRadii(sigma)) {
        boxPass(plane, scratch, w, h, radius, false);
        boxPass(scratch, plane, w, h, radius, true);
    }
}
}  // namespace

std::array<int, 3> gaussianBoxRadii(double sigma) {
    // A box of radius r has the variance r (r + 1) / 3, and the variances of the passes add up.
    // One radius for all three, rounded, misses by up to a third of the variance: a deviation of
    // 3 pixels (the default shadow at twice the scale) blurred as one of 3.5, spreading a thin
    // line's shadow so that it came out fainter than it should. Mixing the two radii around the
    // ideal one brings the sum nearest the Gaussian's: none, one, two or all three passes wider.
    const double variance = sigma * sigma;
    auto boxVariance = [](int r) { return r * (r + 1) / 3.0; };
    int r = std::max(1, static_cast<int>(std::floor((std::sqrt(4.0 * variance + 1.0) - 1.0) / 2.0)));
    int wider = 0;
    double best = std::abs(3 * boxVariance(r) - variance);
    for (int m = 1; m <= 3; ++m) {
        double miss = std::abs((3 - m) * boxVariance(r) + m * boxVariance(r + 1) - variance);
        if (miss < best) best = miss, wider = m;
    }
    return {wider >= 3 ? r + 1 : r, wider >= 2 ? r + 1 : r, wider >= 1 ? r + 1 : r};
}

void blurSurface(cairo_surface_t* surface, double sigma) {
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || w <= 0 || h <= 0) return;
    std::vector<float> plane(static_cast<std::size_t>(w) * h), scratch(plane.size());
    for (int channel = 0; channel < 4; ++channel) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) plane[static_cast<std::size_t>(y) * w + x] = data[y * stride + x * 4 + channel];
        gaussianPasses(plane, scratch, w, h, sigma);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                data[y * stride + x * 4 + channel] = static_cast<unsigned char>(
                    std::clamp<long>(std::lround(plane[static_cast<std::size_t>(y) * w + x]), 0, 255));
    }
    // Premultiplied colour may not exceed its alpha after rounding.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* px = data + y * stride + x * 4;
            for (int c = 0; c < 3; ++c) px[c] = std::min(px[c], px[3]);
        }
    cairo_surface_mark_dirty(surface);
}

void blurAndTint(cairo_surface_t* surface, double sigma, double r, double g, double b, double a) {
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || w <= 0 || h <= 0) return;
    std::vector<float> alpha(static_cast<std::size_t>(w) * h), scratch(alpha.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) alpha[static_cast<std::size_t>(y) * w + x] = data[y * stride + x * 4 + 3] / 255.0f;
    gaussianPasses(alpha, scratch, w, h, sigma);
    // A black shadow (the usual one) has nothing but its alpha to round.
    const bool black = r == 0 && g == 0 && b == 0;
    for (int y = 0; y < h; ++y) {
        unsigned char* row = data + static_cast<std::size_t>(y) * stride;
        const float* plane = alpha.data() + static_cast<std::size_t>(y) * w;
        if (black) {
            std::uint32_t* pixels = reinterpret_cast<std::uint32_t*>(row);
            for (int x = 0; x < w; ++x)
                pixels[x] = std::uint32_t(roundLevel(std::clamp<double>(plane[x], 0, 1) * a * 255)) << 24;
            continue;
        }
        for (int x = 0; x < w; ++x) {
            double cover = std::clamp<double>(plane[x], 0, 1) * a;
            row[x * 4 + 0] = roundLevel(b * cover * 255);
            row[x * 4 + 1] = roundLevel(g * cover * 255);
            row[x * 4 + 2] = roundLevel(r * cover * 255);
            row[x * 4 + 3] = roundLevel(cover * 255);
        }
    }
    cairo_surface_mark_dirty(surface);
}

DeviceBox deviceClipExtents(cairo_t* cr) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_identity_matrix(cr);
    DeviceBox box;
    cairo_clip_extents(cr, &box.x0, &box.y0, &box.x1, &box.y1);
    cairo_set_matrix(cr, &m);
    return box;
}

std::optional<DeviceBox> deviceBoundsOf(cairo_t* cr, const CGRect& r) {
    DeviceBox box{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (CGPoint p : {r.origin, CGPoint{CGRectGetMaxX(r), r.origin.y}, CGPoint{r.origin.x, CGRectGetMaxY(r)},
                      CGPoint{CGRectGetMaxX(r), CGRectGetMaxY(r)}}) {
        double x = p.x, y = p.y;
        cairo_user_to_device(cr, &x, &y);
        if (!std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
        box.x0 = std::min(box.x0, x), box.x1 = std::max(box.x1, x);
        box.y0 = std::min(box.y0, y), box.y1 = std::max(box.y1, y);
    }
    return box;
}
