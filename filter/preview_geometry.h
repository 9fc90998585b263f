// Where an image goes in a drawable: the target rectangle (drawable pixels) and the source
// rectangle (image space) for aspect fit, aspect fill or stretch.
#pragma once

#include "platform/runtime/geometry.h"
#include "platform/ui/view/ui_view.h"

struct PreviewRects {
    CGRect target;
    CGRect source;
};

// W and H are the drawable's size; both must be positive.
PreviewRects previewRects(CGRect extent, CGFloat W, CGFloat H, UIViewContentMode mode);
