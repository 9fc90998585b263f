// Laying a bitmap over a target at a fractional offset with the pixel kernels, sampling where
// Cairo's image compositor samples.
#include "platform/ui/layer/resampled_paint.h"

#include <pixman.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/ui/layer/pixel_compose.h"

namespace {

// Target pixel (x, y) samples the source at (xx * X + x0, yy * Y + y0) in 16.16 fixed point, with
// X = x + offsetX + 1/2 and Y = y + offsetY + 1/2.
struct ResampleMap {
    std::int32_t xx = 0, x0 = 0, yy = 0, y0 = 0;
    int offsetX = 0, offsetY = 0;
};

// Coefficients beyond this do not fit the fixed-point map (and Cairo refuses them).
constexpr double kLargestCoefficient = 32767;
// Cairo's tolerance for a scale that counts as one: one step of its 24.8 fixed point.
constexpr double kUnityScaleTolerance = 1.0 / 256;

// A double rounded to 16.16 fixed point to the nearest, ties to even: the low word of the double
// once 1.5 * 2^36 is added, whose last mantissa bit then weighs 2^-16.
std::int32_t toFixed(double d) {
    const double shifted = d + 103079215104.0;
    std::uint64_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
}

bool hasUnityScale(const cairo_matrix_t& m) {
    const double det = m.xx * m.yy - m.yx * m.xy;
    if (std::fabs(det * det - 1.0) >= kUnityScaleTolerance) return false;
    return (std::fabs(m.xy) < kUnityScaleTolerance && std::fabs(m.yx) < kUnityScaleTolerance) ||
           (std::fabs(m.xx) < kUnityScaleTolerance && std::fabs(m.yy) < kUnityScaleTolerance);
}

// The whole-pixel offset that leaves the smallest translation in the matrix (the fixed-point
// map's translation and the offset share pixman's 16 bits), taken out of `m`.
void splitOffset(cairo_matrix_t& m, int& offsetX, int& offsetY) {
    offsetX = offsetY = 0;
    if (m.x0 == 0.0 && m.y0 == 0.0) return;
    double tx = m.x0, ty = m.y0;
    double norm = std::max(std::fabs(tx), std::fabs(ty));
    for (int i = -1; i < 2; i += 2)
        for (int j = -1; j < 2; j += 2) {
            double den = (m.xx + i) * (m.yy + j) - m.xy * m.yx;
            if (std::fabs(den) < DBL_EPSILON) continue;
            double x = m.y0 * m.xy - m.x0 * (m.yy + j);
            double y = m.x0 * m.yx - m.y0 * (m.xx + i);
            den = 1 / den;
            x *= den;
            y *= den;
            const double candidate = std::max(std::fabs(x), std::fabs(y));
            if (norm > candidate) {
                norm = candidate;
                tx = x;
                ty = y;
            }
        }
    tx = std::floor(tx);
    ty = std::floor(ty);
    offsetX = static_cast<int>(-tx);
    offsetY = static_cast<int>(-ty);
    cairo_matrix_translate(&m, tx, ty);
}

pixman_transform_t fixedTransform(const cairo_matrix_t& m) {
    pixman_transform_t t{};
    t.matrix[0][0] = toFixed(m.xx);
    t.matrix[0][1] = toFixed(m.xy);
    t.matrix[0][2] = toFixed(m.x0);
    t.matrix[1][0] = toFixed(m.yx);
    t.matrix[1][1] = toFixed(m.yy);
    t.matrix[1][2] = toFixed(m.y0);
    t.matrix[2][2] = 1 << 16;
    return t;
}

// The rounded coefficients move the translation away from the double matrix the farther from
// the origin; the translation is corrected so that both agree at the centre (cx, cy).
void correctAt(pixman_transform_t& t, const cairo_matrix_t& m, double cx, double cy) {
    cairo_matrix_t inverse = m;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) return;
    for (int round = 0; round < 5; ++round) {
        pixman_vector_t v{{toFixed(cx), toFixed(cy), 1 << 16}};
        if (!pixman_transform_point_3d(&t, &v)) return;
        double x = v.vector[0] / 65536.0, y = v.vector[1] / 65536.0;
        cairo_matrix_transform_point(&inverse, &x, &y);
        x -= cx;
        y -= cy;
        cairo_matrix_transform_distance(&m, &x, &y);
        const std::int32_t dx = toFixed(x), dy = toFixed(y);
        t.matrix[0][2] -= dx;
        t.matrix[1][2] -= dy;
        if (dx == 0 && dy == 0) return;
    }
}

bool isWhole(double v) {
    return v == std::floor(v);
}

// Cairo's 24.8 fixed point: a double rounded to the nearest 1/256, ties to even (the low word once
// 1.5 * 2^44 is added).
std::int64_t toFixed8(double d) {
    const double shifted = d + 26388279066624.0;
    std::uint64_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
}

// A clip box in 24.8 fixed point.
struct FixedBox {
    std::int64_t x1, y1, x2, y2;
    void intersect(const FixedBox& o) {
        x1 = std::max(x1, o.x1);
        y1 = std::max(y1, o.y1);
        x2 = std::min(x2, o.x2);
        y2 = std::min(y2, o.y2);
    }
    static FixedBox of(const PixelBox& b) {
        return {std::int64_t{b.x0} * 256, std::int64_t{b.y0} * 256, std::int64_t{b.x1} * 256, std::int64_t{b.y1} * 256};
    }
};

constexpr double kLargestClip = 1 << 22;

// The clip of `cr` when it is one rectangle of whole target pixels (an empty one when nothing is
// visible), else none.
std::optional<PixelBox> wholePixelClip(cairo_t* cr) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(cr);
    cairo_restore(cr);
    std::optional<PixelBox> clip;
    if (list->status == CAIRO_STATUS_SUCCESS && list->num_rectangles <= 1) {
        if (list->num_rectangles == 0) {
            clip = PixelBox{};
        } else {
            const cairo_rectangle_t& r = list->rectangles[0];
            if (isWhole(r.x) && isWhole(r.y) && isWhole(r.width) && isWhole(r.height) &&
                std::fabs(r.x) < kLargestClip && std::fabs(r.y) < kLargestClip && r.width < kLargestClip &&
                r.height < kLargestClip)
                clip = PixelBox{static_cast<int>(r.x), static_cast<int>(r.y), static_cast<int>(r.x + r.width),
                                static_cast<int>(r.y + r.height)};
        }
    }
    cairo_rectangle_list_destroy(list);
    return clip;
}

// The box cairo_rectangle and cairo_clip make of a rectangle in the user space of `cr`: its corner
// taken to the device and rounded, its sides added as rounded device distances. None when the
// user space is turned (the clip would not be a box) or the box is out of range.
std::optional<FixedBox> userBox(cairo_t* cr, const cairo_rectangle_t& r) {
    double x = r.x, y = r.y, wx = r.width, wy = 0, hx = 0, hy = r.height;
    cairo_user_to_device(cr, &x, &y);
    cairo_user_to_device_distance(cr, &wx, &wy);
    cairo_user_to_device_distance(cr, &hx, &hy);
    for (double v : {x, y, wx, hy})
        if (!(std::fabs(v) < kLargestClip)) return std::nullopt;
    if (wy != 0 || hx != 0) return std::nullopt;
    const std::int64_t x1 = toFixed8(x), y1 = toFixed8(y), x2 = x1 + toFixed8(wx), y2 = y1 + toFixed8(hy);
    return FixedBox{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// The target pixels a clip box touches (`out`, as Cairo rounds a clip's extents) and those it
// covers whole (`in`), both within the w x h target.
void clipPixels(const FixedBox& b, int w, int h, PixelBox& out, PixelBox& in) {
    auto within = [](std::int64_t v, int limit) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, limit)); };
    auto floorOf = [](std::int64_t v) { return v >> 8; };
    auto ceilOf = [](std::int64_t v) { return (v + 255) >> 8; };
    out = {within(floorOf(b.x1), w), within(floorOf(b.y1), h), within(ceilOf(b.x2), w), within(ceilOf(b.y2), h)};
    in = {within(ceilOf(b.x1), w), within(ceilOf(b.y1), h), within(floorOf(b.x2), w), within(floorOf(b.y2), h)};
}

// Whether the two source columns (or rows) a sample at `v` (16.16) mixes, clamped to [0, size), both
// lie outside [from, to).
bool tapsOutside(std::int32_t v, int size, int from, int to) {
    const int a = std::clamp(v >> 16, 0, size - 1), b = std::clamp((v >> 16) + 1, 0, size - 1);
    return std::max(a, b) < from || std::min(a, b) >= to;
}

bool imageOf(cairo_surface_t* s, std::initializer_list<cairo_format_t> formats) {
    if (cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE) return false;
    const cairo_format_t f = cairo_image_surface_get_format(s);
    return std::find(formats.begin(), formats.end(), f) != formats.end();
}

// The map for a source whose pattern space is reached from the target by `sourceFromTarget` (a
// scale and a translation, no rotation), painted over the target area whose centre is (cx, cy).
// None when Cairo would not take a bilinear fixed-point map for it (an identity or whole-pixel
// offset, a shear, a matrix beyond its range).
std::optional<ResampleMap> resampleMapFor(const cairo_matrix_t& sourceFromTarget, double cx, double cy) {
    const cairo_matrix_t& s = sourceFromTarget;
    if (s.xy != 0 || s.yx != 0) return std::nullopt;
    // Within its tolerance of a unit scale and a whole-pixel offset Cairo samples the nearest pixel.
    if (hasUnityScale(s) && toFixed8(s.x0) % 256 == 0 && toFixed8(s.y0) % 256 == 0) return std::nullopt;
    cairo_matrix_t m = s;
    cairo_matrix_translate(&m, 0, 0);
    ResampleMap map;
    splitOffset(m, map.offsetX, map.offsetY);
    for (double c : {m.xx, m.x0, m.yy, m.y0})
        if (!(std::fabs(c) <= kLargestCoefficient)) return std::nullopt;
    pixman_transform_t t = fixedTransform(m);
    if (!hasUnityScale(m)) correctAt(t, m, cx, cy);
    map.xx = t.matrix[0][0];
    map.x0 = t.matrix[0][2];
    map.yy = t.matrix[1][1];
    map.y0 = t.matrix[1][2];
    return map;
}

}  // namespace

bool paintResampled(cairo_t* cr, const ResampledPaint& paint) {
    cairo_surface_t* source = paint.source;
    const cairo_matrix_t& toTarget = paint.toTarget;
    const PixelBox& ink = paint.ink;
    if (!pixel_compose::available() || cairo_get_operator(cr) != CAIRO_OPERATOR_OVER) return false;
    if (toTarget.xy != 0 || toTarget.yx != 0 || !(std::fabs(toTarget.xx - 1) < 0.25) ||
        !(std::fabs(toTarget.yy - 1) < 0.25) || !std::isfinite(toTarget.x0) || !std::isfinite(toTarget.y0))
        return false;
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (!imageOf(target, {CAIRO_FORMAT_ARGB32, CAIRO_FORMAT_RGB24}) || !imageOf(source, {CAIRO_FORMAT_ARGB32}))
        return false;
    double ox, oy, sx, sy;
    cairo_surface_get_device_offset(target, &ox, &oy);
    cairo_surface_get_device_scale(target, &sx, &sy);
    if (ox != 0 || oy != 0 || sx != 1 || sy != 1) return false;
    const int sw = cairo_image_surface_get_width(source), sh = cairo_image_surface_get_height(source);
    if (sw <= 0 || sh <= 0) return false;

    const std::optional<PixelBox> outer = wholePixelClip(cr);
    const std::optional<FixedBox> bounds = userBox(cr, paint.bounds);
    if (!outer || !bounds) return false;
    FixedBox clip = FixedBox::of(*outer);
    clip.intersect(*bounds);
    clip.intersect(FixedBox::of(paint.reach));
    // Cairo places its map by the pixels the clip touches; those it covers in part are drawn
    // with their coverage, which is left to it unless all they sample is clear.
    PixelBox touched, covered;
    clipPixels(clip, cairo_image_surface_get_width(target), cairo_image_surface_get_height(target), touched, covered);
    if (clip.x2 <= clip.x1 || clip.y2 <= clip.y1 || touched.empty() || ink.empty()) return true;
    const bool partEdges = !(touched == covered);

    cairo_matrix_t sourceFromTarget = toTarget;
    if (cairo_matrix_invert(&sourceFromTarget) != CAIRO_STATUS_SUCCESS) return false;
    const std::optional<ResampleMap> map = resampleMapFor(sourceFromTarget, touched.x0 + (touched.x1 - touched.x0) / 2.,
                                                          touched.y0 + (touched.y1 - touched.y0) / 2.);
    if (!map || map->xx <= 0x8000 || map->xx >= 0x18000 || map->yy <= 0) return false;

    // Source positions (16.16) of the target column x and row y, stepping from the corner of the
    // touched pixels as the compositor steps (a step is exactly the map's scale).
    pixman_transform_t t{};
    t.matrix[0][0] = map->xx;
    t.matrix[0][2] = map->x0;
    t.matrix[1][1] = map->yy;
    t.matrix[1][2] = map->y0;
    t.matrix[2][2] = 1 << 16;
    pixman_vector_t corner{
        {static_cast<pixman_fixed_t>(static_cast<std::uint32_t>(touched.x0 + map->offsetX) << 16) + 0x8000,
         static_cast<pixman_fixed_t>(static_cast<std::uint32_t>(touched.y0 + map->offsetY) << 16) + 0x8000, 1 << 16}};
    if (!pixman_transform_point_3d(&t, &corner)) return false;
    const std::int64_t vx0 = std::int64_t{corner.vector[0]} - 0x8000, vy0 = std::int64_t{corner.vector[1]} - 0x8000;
    const std::int64_t farX = vx0 + std::int64_t{touched.x1 - touched.x0} * map->xx;
    const std::int64_t farY = vy0 + std::int64_t{touched.y1 - touched.y0} * map->yy;
    constexpr std::int64_t kFixedRange = std::int64_t{1} << 30;
    if (std::max({std::abs(vx0), std::abs(vy0), std::abs(farX), std::abs(farY)}) >= kFixedRange) return false;
    auto columnAt = [&](int x) { return static_cast<std::int32_t>(vx0 + std::int64_t{x - touched.x0} * map->xx); };
    auto rowAt = [&](int y) { return static_cast<std::int32_t>(vy0 + std::int64_t{y - touched.y0} * map->yy); };
    auto columnsClear = [&](int from, int to) {
        for (int x = from; x < to; ++x)
            if (!tapsOutside(columnAt(x), sw, ink.x0, ink.x1)) return false;
        return true;
    };
    auto rowsClear = [&](int from, int to) {
        for (int y = from; y < to; ++y)
            if (!tapsOutside(rowAt(y), sh, ink.y0, ink.y1)) return false;
        return true;
    };
    if (partEdges &&
        (covered.empty() || !columnsClear(touched.x0, covered.x0) || !columnsClear(covered.x1, touched.x1) ||
         !rowsClear(touched.y0, covered.y0) || !rowsClear(covered.y1, touched.y1)))
        return false;

    cairo_surface_flush(target);
    cairo_surface_flush(source);
    const unsigned char* src = cairo_image_surface_get_data(source);
    const int sstride = cairo_image_surface_get_stride(source);
    unsigned char* dst = cairo_image_surface_get_data(target);
    const int dstride = cairo_image_surface_get_stride(target);
    auto sourceRow = [&](int y) {
        return reinterpret_cast<const std::uint32_t*>(src +
                                                      static_cast<std::ptrdiff_t>(std::clamp(y, 0, sh - 1)) * sstride);
    };
    const std::int32_t vx = columnAt(covered.x0);
    // The source columns the rows read, fetched a few rows ahead (the bitmap was drawn a while
    // before and has left the cache).
    const int firstColumn = std::clamp(vx >> 16, 0, sw - 1);
    const int lastColumn =
        std::clamp(static_cast<int>((vx + std::int64_t{covered.x1 - covered.x0} * map->xx) >> 16) + 1, 0, sw - 1);
    for (int y = covered.y0; y < covered.y1; ++y) {
        const std::int32_t vy = rowAt(y);
        const std::uint32_t* ahead = sourceRow((vy >> 16) + 3);
        for (int x = firstColumn; x <= lastColumn; x += 16) __builtin_prefetch(ahead + x);
        const int y1 = vy >> 16, weight = (vy >> 9) & 0x7F;
        const int y2 = weight ? y1 + 1 : y1;
        const int wTop = weight ? 128 - weight : 64, wBottom = weight ? weight : 64;
        auto* row = reinterpret_cast<std::uint32_t*>(dst + static_cast<std::ptrdiff_t>(y) * dstride) + covered.x0;
        pixel_compose::overResampledRow(row, covered.x1 - covered.x0, sourceRow(y1), sourceRow(y2), sw, wTop, wBottom,
                                        vx, map->xx);
    }
    cairo_surface_mark_dirty_rectangle(target, covered.x0, covered.y0, covered.x1 - covered.x0,
                                       covered.y1 - covered.y0);
    return true;
}
