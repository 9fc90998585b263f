// The preview's drawing: bind, clear to black, draw fitted, present.
#include "filter/glk_view_custom.h"

#include "filter/ci_image_filter.h"
#include "filter/preview_geometry.h"

void drawImage(GLKView& view, const std::shared_ptr<CIImage>& image, CIContext& context) {
    if (!isDrawable(image)) {
        view.setHidden(true);
        return;
    }
    view.setHidden(view.drawableWidth() == 0 || view.drawableHeight() == 0);
    drawImage0(view, image, context);
}

bool drawImage0(GLKView& view, const std::shared_ptr<CIImage>& image, CIContext& context) {
    if (!setCurrentContext(view.context())) return false;
    CGFloat W = view.drawableWidth() > 0 ? view.drawableWidth() : view.frame().size.width;
    CGFloat H = view.drawableHeight() > 0 ? view.drawableHeight() : view.frame().size.height;
    // Nothing to draw into, or nothing to draw: no geometry is computed from a zero size.
    if (!(W > 0) || !(H > 0) || !isDrawable(image)) return false;
    PreviewRects rects = previewRects(image->extent(), W, H, view.contentMode());
    view.bindDrawable();
    view.clear(0, 0, 0, 1);
    if (view.drawableWidth() < 1 || view.drawableHeight() < 1) return false;
    context.drawImage(image, rects.target, rects.source, view.surface());
    view.display();
    return true;
}
