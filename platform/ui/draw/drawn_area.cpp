// Gathering the reach of drawing calls into a recorder's target.
#include "platform/ui/draw/drawn_area.h"

#include <cairo.h>

#include <cmath>

#include "platform/ui/draw/cairo_support.h"

namespace {

thread_local DrawnArea* current = nullptr;
thread_local std::optional<CGRect> nextReach;

}  // namespace

DrawnArea::DrawnArea(cairo_t* target) : target_(target), outer_(current) {
    current = this;
}

DrawnArea::~DrawnArea() {
    current = outer_;
}

std::optional<CGRect> DrawnArea::pixels() const {
    if (unknown_) return std::nullopt;
    return CGRectIsNull(pixels_) ? CGRectZero : pixels_;
}

void DrawnArea::note(cairo_t* cr, const std::optional<CGRect>& reach) {
    DrawnArea* area = current;
    if (!area || !cr || cr != area->target_ || area->unknown_) return;
    // The clip, in device space, bounds every call.
    const DeviceBox clip = deviceClipExtents(cr);
    double x0 = clip.x0, y0 = clip.y0, x1 = clip.x1, y1 = clip.y1;
    if (reach) {
        const auto bounds = deviceBoundsOf(cr, CGRectStandardize(*reach));
        if (!bounds) {
            area->unknown_ = true;
            return;
        }
        // A pixel the edge passes through is touched by antialiasing; one more to spare.
        x0 = std::fmax(x0, std::floor(bounds->x0) - 1), y0 = std::fmax(y0, std::floor(bounds->y0) - 1);
        x1 = std::fmin(x1, std::ceil(bounds->x1) + 1), y1 = std::fmin(y1, std::ceil(bounds->y1) + 1);
    }
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) {
        area->unknown_ = true;
        return;
    }
    x0 = std::floor(x0), y0 = std::floor(y0), x1 = std::ceil(x1), y1 = std::ceil(y1);
    if (x1 <= x0 || y1 <= y0) return;
    area->pixels_ = CGRectUnion(area->pixels_, CGRectMake(x0, y0, x1 - x0, y1 - y0));
}

void DrawnArea::nextCallReaches(const CGRect& reach) {
    nextReach = reach;
}

std::optional<CGRect> DrawnArea::takeNextCallReach() {
    std::optional<CGRect> reach = nextReach;
    nextReach.reset();
    return reach;
}
