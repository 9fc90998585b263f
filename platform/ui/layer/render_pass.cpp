// The pass's own state: a backdrop its layer never drew is let go of with it.
#include "platform/ui/layer/render_pass.h"

#include <cairo.h>

void RenderPass::dropBackdrop() {
    if (backdrop_ && backdrop_->surface) cairo_surface_destroy(backdrop_->surface);
    backdrop_.reset();
}
