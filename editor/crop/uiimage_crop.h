// Picture operations of the crop screen: turning a picture about its centre and cutting a
// rectangle out of the turned picture.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"

class UIImage;

// A new opaque picture of the same size and scale, drawn with the transform applied about the
// centre; none without a picture.
std::shared_ptr<UIImage> crop_rotatedImageWithtransform(const std::shared_ptr<UIImage>& image,
                                                        const CGAffineTransform& transform);
// The turned picture cut to the rectangle (points, scaled by the turned picture's scale); none
// without a picture or when the rectangle lies wholly outside it.
std::shared_ptr<UIImage> rotatedImageWithtransform_croppedToRect(const std::shared_ptr<UIImage>& image,
                                                                 const CGAffineTransform& transform, CGRect rect);
