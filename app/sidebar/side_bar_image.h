// Pictures for the side bar's depth style: a view drawn into an image, and a box blur of an image.
// Main thread only for the snapshot; the blur touches only its own buffers.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/runtime/geometry.h"

class UIColor;
class UIImage;
class UIView;

// The view's layer tree drawn centred into a new image of the size (scale 1, not opaque), with the
// view's own transform applied. None, with a log line, for a size or view without pixels.
std::shared_ptr<UIImage> imageFromView(UIView& view, CGSize size);

// The box size for a radius in points on an image of a scale: always odd.
std::uint32_t blurBoxSize(double radius, double scale);
// `iterations` box-blur passes in both directions with the edges extended, then a plus-lighter
// wash of the tint at a quarter of its strength when it has any alpha. Any bitmap is first made
// 8-bit four-channel, so every layout reads the same. An image without area comes back as it is.
std::shared_ptr<UIImage> blurredImage(const std::shared_ptr<UIImage>& image, double radius, unsigned iterations,
                                      const std::shared_ptr<UIColor>& tint);
