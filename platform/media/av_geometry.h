// The media framework's geometry helper: a size's shape fitted inside a rectangle. Header only,
// so that views that only fit pictures need not link the media layer.
#pragma once

#include <algorithm>
#include <cmath>

#include "platform/runtime/geometry.h"

// The largest rectangle with the aspect ratio of `aspectRatio` that fits in `bounding`, centred in
// it; the zero rectangle when either has no area.
inline CGRect AVMakeRectWithAspectRatioInsideRect(CGSize aspectRatio, CGRect bounding) {
    if (!(aspectRatio.width > 0) || !(aspectRatio.height > 0) || !(bounding.size.width > 0) ||
        !(bounding.size.height > 0))
        return CGRectZero;
    CGFloat s = std::min(bounding.size.width / aspectRatio.width, bounding.size.height / aspectRatio.height);
    CGSize size{aspectRatio.width * s, aspectRatio.height * s};
    return {{bounding.origin.x + (bounding.size.width - size.width) / 2,
             bounding.origin.y + (bounding.size.height - size.height) / 2},
            size};
}
