// A bitmap laid over a Cairo target through a near-unit scale and a fractional offset (a layer's
// backing store at a position between device pixels), resampled by the pixel kernels instead of
// Cairo's slower bilinear road, with the same bytes as a paint through Cairo would give.
//
// Cairo hands its image compositor a 16.16 fixed-point map from target pixels to source pixels.
// `resampleMapFor` derives that map the way Cairo derives it from a double matrix (an integer
// offset split off, the coefficients rounded, the translation corrected at the centre of the
// painted area), so that stepping through it samples exactly where Cairo samples.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>

struct ResampleMap {
    // Target pixel (x, y) samples the source at (xx * X + x0, yy * Y + y0) in 16.16 fixed point,
    // with X = x + offsetX + 1/2 and Y = y + offsetY + 1/2.
    std::int32_t xx = 0, x0 = 0, yy = 0, y0 = 0;
    int offsetX = 0, offsetY = 0;
};

// The map for a source whose pattern space is reached from the target by `sourceFromTarget` (a
// scale and a translation, no rotation), painted over the target area whose centre is (cx, cy).
// None when Cairo would not take a fixed-point map for it (an identity or whole-pixel offset, a
// shear, a matrix beyond its range).
std::optional<ResampleMap> resampleMapFor(const cairo_matrix_t& sourceFromTarget, double cx, double cy);

// Lays `source` (ARGB32) over the current target of `cr` through the matrix `toTarget` (source
// pixels to target pixels) with Cairo's default filter and padded edges, within the current clip,
// as cairo_paint would with the source set through that matrix. Taken only where the result is
// the same: the operator OVER, a clip of one whole-pixel rectangle, an image target without a
// device transform, a scale within (0.5, 2) and no rotation, and the wide kernels present. Returns
// false, having drawn nothing, when it is not taken.
bool paintResampled(cairo_t* cr, cairo_surface_t* source, const cairo_matrix_t& toTarget);
