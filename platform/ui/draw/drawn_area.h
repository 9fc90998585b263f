// What a layer's drawing can have touched: while a recorder runs on a thread, each drawing call of
// a context on its Cairo target adds the device pixels the call can reach (its shape, image or
// text, within the clip; the whole clip when its reach is not known).
#pragma once

#include <optional>

#include "platform/runtime/geometry.h"

typedef struct _cairo cairo_t;

class DrawnArea {
public:
    // Records drawing into `target` on this thread until destroyed (an inner recorder takes over
    // and hands back).
    explicit DrawnArea(cairo_t* target);
    ~DrawnArea();
    DrawnArea(const DrawnArea&) = delete;
    DrawnArea& operator=(const DrawnArea&) = delete;

    // The whole device pixels drawing may have touched (empty when nothing drew), or none when
    // a reach could not be had (not finite).
    std::optional<CGRect> pixels() const;

    // A drawing call on `cr` reached no farther than `reach` (user space), or anywhere inside the
    // clip when none is given.
    static void note(cairo_t* cr, const std::optional<CGRect>& reach);
    // The next drawing-with-state call of this thread (text) stays within `reach` (user space).
    static void nextCallReaches(const CGRect& reach);
    // Takes what nextCallReaches left (none when nothing or when it was taken).
    static std::optional<CGRect> takeNextCallReach();

private:
    cairo_t* target_;
    DrawnArea* outer_;
    bool unknown_ = false;
    CGRect pixels_ = CGRectNull();
};
