// Conversions between the drawing types and Cairo, shared by the drawing and text sources only.
#pragma once

#include <cairo.h>

#include <array>
#include <memory>
#include <optional>

#include "platform/runtime/geometry.h"
#include "platform/ui/draw/blend_mode.h"
#include "platform/ui/draw/path.h"

class CGImage;
class CGGradient;

// Cairo's drawing state saved for a block and restored when the block is left, by any road.
class CairoSave {
public:
    explicit CairoSave(cairo_t* cr) : cr_(cr) { cairo_save(cr_); }
    ~CairoSave() { cairo_restore(cr_); }
    CairoSave(const CairoSave&) = delete;
    CairoSave& operator=(const CairoSave&) = delete;

private:
    cairo_t* cr_;
};

inline cairo_matrix_t toCairoMatrix(const CGAffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

// A box in device space, [x0, x1) x [y0, y1).
struct DeviceBox {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
// The clip's extents in device space; the matrix is left as it was.
DeviceBox deviceClipExtents(cairo_t* cr);
// The device-space box around the corners of a user-space rectangle; none when a corner is not
// finite.
std::optional<DeviceBox> deviceBoundsOf(cairo_t* cr, const CGRect& r);

inline CGAffineTransform fromCairoMatrix(const cairo_matrix_t& m) {
    return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
}

// Appends the path's segments to Cairo's current path; skipLeadingMove drops a first move that
// only restates the current point.
void appendPath(cairo_t* cr, const CGPath& path, bool skipLeadingMove);

cairo_operator_t toCairoOperator(CGBlendMode mode);
cairo_filter_t toCairoFilter(CGInterpolationQuality quality);
void addColorStops(cairo_pattern_t* pattern, const CGGradient& gradient);

// A Cairo surface showing the image's pixels (shared when their layout is Cairo's own, converted
// otherwise); the surface keeps the image alive. Null for an image Cairo cannot take.
cairo_surface_t* createSurfaceForImage(const CGImage& image);

// A new premultiplied BGRA bitmap image holding a copy of an image surface's pixels.
std::shared_ptr<CGImage> imageFromSurface(cairo_surface_t* surface);

// Blurs the alpha of an ARGB32 surface in place (three box passes approximating a Gaussian of the
// given standard deviation in pixels) and paints every pixel with the colour at that alpha.
void blurAndTint(cairo_surface_t* surface, double sigma, double r, double g, double b, double a);
// Blurs every channel of an ARGB32 surface in place with the same passes.
void blurSurface(cairo_surface_t* surface, double sigma);
// The radii of the three box passes (each way) that stand for a Gaussian of the deviation, in
// pixels: their variances add up to nearly the Gaussian's.
std::array<int, 3> gaussianBoxRadii(double sigma);
