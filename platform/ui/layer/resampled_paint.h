// A bitmap laid over a Cairo target through a near-unit scale and a fractional offset (a layer's
// backing store at a position between device pixels), resampled by the pixel kernels instead of
// Cairo's slower bilinear road, with the same bytes as a paint through Cairo would give.
//
// Cairo hands its image compositor a 16.16 fixed-point map from target pixels to source pixels.
// That map is derived here the way Cairo derives it from a double matrix (an integer offset split
// off, the coefficients rounded, the translation corrected at the centre of the painted area), so
// that stepping through it samples exactly where Cairo samples.
#pragma once

#include <cairo.h>

#include "platform/ui/layer/ink_box.h"

// A bitmap to lay over a target, and where it is clipped beyond the current clip.
struct ResampledPaint {
    cairo_surface_t* source = nullptr;  // ARGB32
    cairo_matrix_t toTarget{};          // source pixels to target pixels
    PixelBox ink;                       // every source pixel outside it is clear
    cairo_rectangle_t bounds{};         // in the context's user space, as cairo_rectangle takes it
    PixelBox reach;                     // in whole target pixels
};

// Lays the source over the current target of `cr` with Cairo's default filter and padded edges,
// within the current clip, the bounds and the reach, as cairo_paint would through cairo_clip of
// both and the source set through the matrix. Taken only where the result is the same: the
// operator OVER, a current clip of one whole-pixel rectangle, bounds the user space keeps
// upright, an image target without a device transform, a scale within (0.75, 1.25) and no
// rotation, the wide kernels present, and target pixels the clip covers only in part sampling
// nothing but clear source pixels. Returns false, having drawn nothing, when it is not taken.
bool paintResampled(cairo_t* cr, const ResampledPaint& paint);
