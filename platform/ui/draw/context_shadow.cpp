// Shadows: the drawing's coverage rendered apart, blurred, tinted and composited at the offset.
#include <cairo.h>

#include <cmath>

#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/draw/context.h"

void CGContext::drawShadow(const std::function<void(cairo_t*)>& paintCoverage) {
    cairo_surface_t* target = cairo_get_group_target(cr_);
    if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) return;
    double deviceX = 0, deviceY = 0;
    cairo_surface_get_device_offset(target, &deviceX, &deviceY);

    const GState& s = state();
    const CGColor& color = *s.shadowColor;
    // Offset and blur are in base space: scaled by the device mapping, not by the user's CTM.
    double dx = base_.a * s.shadowOffset.width + base_.c * s.shadowOffset.height;
    double dy = base_.b * s.shadowOffset.width + base_.d * s.shadowOffset.height;
    double baseScale = std::sqrt(std::abs(base_.a * base_.d - base_.b * base_.c));
    double sigma = s.shadowBlur * baseScale / 2;

    // Only shadow pixels inside the clip can show: render the coverage that lands there, i.e. the
    // clip's device box moved back by the offset and grown by the blur's reach.
    double x0, y0, x1, y1;
    cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
    double xs[4] = {x0, x1, x0, x1}, ys[4] = {y0, y0, y1, y1};
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (int i = 0; i < 4; ++i) {
        cairo_user_to_device(cr_, &xs[i], &ys[i]);
        minX = std::min(minX, xs[i] + deviceX);
        maxX = std::max(maxX, xs[i] + deviceX);
        minY = std::min(minY, ys[i] + deviceY);
        maxY = std::max(maxY, ys[i] + deviceY);
    }
    double reach = std::ceil(3 * sigma) + 2;
    // Far-off boxes (huge clips, transforms) are cut to a range the integer sizes below can hold.
    minX = std::max(minX, -1e7);
    minY = std::max(minY, -1e7);
    maxX = std::min(maxX, 1e7);
    maxY = std::min(maxY, 1e7);
    if (!(minX < maxX && minY < maxY)) return;
    int left = static_cast<int>(std::floor(minX - dx - reach)), top = static_cast<int>(std::floor(minY - dy - reach));
    int right = static_cast<int>(std::ceil(maxX - dx + reach)), bottom = static_cast<int>(std::ceil(maxY - dy + reach));
    int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0 || double(w) * h > 64e6) return;

    cairo_surface_t* layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* lc = cairo_create(layer);
    cairo_matrix_t userToLayer;
    cairo_get_matrix(cr_, &userToLayer);
    cairo_matrix_t shift;
    cairo_matrix_init_translate(&shift, deviceX - left, deviceY - top);
    cairo_matrix_multiply(&userToLayer, &userToLayer, &shift);
    cairo_set_matrix(lc, &userToLayer);
    paintCoverage(lc);
    cairo_destroy(lc);

    blurAndTint(layer, sigma, color.red, color.green, color.blue, color.alpha);

    {
        CairoSave save(cr_);
        cairo_identity_matrix(cr_);
        cairo_new_path(cr_);
        cairo_set_source_surface(cr_, layer, left + dx - deviceX, top + dy - deviceY);
        cairo_set_operator(cr_, toCairoOperator(s.blend));
        cairo_paint_with_alpha(cr_, s.alpha);
    }
    cairo_surface_destroy(layer);
}
