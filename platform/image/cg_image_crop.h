// Cutting a rectangle out of a bitmap.
#pragma once

#include <memory>

#include "platform/image/cg_image.h"
#include "platform/runtime/geometry.h"

// The part of the bitmap under the rectangle (pixels, rows from the top), cut to the bitmap and
// made integral outwards; none for no image, a rectangle that is not finite, or one of which
// nothing lies on the bitmap.
std::shared_ptr<CGImage> CGImageCreateWithImageInRect(const std::shared_ptr<CGImage>& image, CGRect rect);
