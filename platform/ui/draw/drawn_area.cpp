// Gathering the reach of drawing calls into a recorder's target.
#include "platform/ui/draw/drawn_area.h"

#include <cairo.h>

#include <cmath>

namespace {

thread_local DrawnArea* current = nullptr;
thread_local std::optional<CGRect> nextReach;

}  // namespace

DrawnArea::DrawnArea(cairo_t* target) : target_(target), outer_(current) { current = this; }

DrawnArea::~DrawnArea() { current = outer_; }

std::optional<CGRect> DrawnArea::pixels() const {
    if (unknown_) return std::nullopt;
    return CGRectIsNull(pixels_) ? CGRectZero : pixels_;
}

void DrawnArea::note(cairo_t* cr, const std::optional<CGRect>& reach) {
    DrawnArea* area = current;
    if (!area || !cr || cr != area->target_ || area->unknown_) return;
    // The clip, in device space, bounds every call.
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_identity_matrix(cr);
    double cx0, cy0, cx1, cy1;
    cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
    cairo_set_matrix(cr, &m);
    double x0 = cx0, y0 = cy0, x1 = cx1, y1 = cy1;
    if (reach) {
        const CGRect r = CGRectStandardize(*reach);
        double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
        for (CGPoint p : {r.origin, CGPoint{CGRectGetMaxX(r), r.origin.y}, CGPoint{r.origin.x, CGRectGetMaxY(r)},
                          CGPoint{CGRectGetMaxX(r), CGRectGetMaxY(r)}}) {
            double x = p.x, y = p.y;
            cairo_user_to_device(cr, &x, &y);
            minX = std::fmin(minX, x), maxX = std::fmax(maxX, x), minY = std::fmin(minY, y), maxY = std::fmax(maxY, y);
        }
        if (!std::isfinite(minX) || !std::isfinite(minY) || !std::isfinite(maxX) || !std::isfinite(maxY)) {
            area->unknown_ = true;
            return;
        }
        // A pixel the edge passes through is touched by antialiasing; one more to spare.
        x0 = std::fmax(x0, std::floor(minX) - 1), y0 = std::fmax(y0, std::floor(minY) - 1);
        x1 = std::fmin(x1, std::ceil(maxX) + 1), y1 = std::fmin(y1, std::ceil(maxY) + 1);
    }
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) {
        area->unknown_ = true;
        return;
    }
    x0 = std::floor(x0), y0 = std::floor(y0), x1 = std::ceil(x1), y1 = std::ceil(y1);
    if (x1 <= x0 || y1 <= y0) return;
    area->pixels_ = CGRectUnion(area->pixels_, CGRectMake(x0, y0, x1 - x0, y1 - y0));
}

void DrawnArea::nextCallReaches(const CGRect& reach) { nextReach = reach; }

std::optional<CGRect> DrawnArea::takeNextCallReach() {
    std::optional<CGRect> reach = nextReach;
    nextReach.reset();
    return reach;
}
