// A clip for the rest of a block: Cairo's state is saved, the rectangle clipped, and the state
// restored when the block is left, by any road.
#pragma once

#include <cairo.h>

#include "platform/runtime/geometry.h"

class ScopedClip {
public:
    // Where the rectangle is given: in the context's user space, or in device pixels (the matrix
    // is left as it was).
    enum class Space { User, Device };

    ScopedClip(cairo_t* cr, const CGRect& r, Space space) : cr_(cr) {
        cairo_save(cr_);
        cairo_matrix_t m;
        if (space == Space::Device) {
            cairo_get_matrix(cr_, &m);
            cairo_identity_matrix(cr_);
        }
        cairo_rectangle(cr_, r.origin.x, r.origin.y, r.size.width, r.size.height);
        cairo_clip(cr_);
        if (space == Space::Device) cairo_set_matrix(cr_, &m);
    }
    ~ScopedClip() { cairo_restore(cr_); }
    ScopedClip(const ScopedClip&) = delete;
    ScopedClip& operator=(const ScopedClip&) = delete;

private:
    cairo_t* cr_;
};
