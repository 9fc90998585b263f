// Gradient pattern colours, the colour class's slot for the last gradient image, and the way a
// pattern colour is turned back into one plain colour. Main-thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/ui/draw/color.h"

class UIImage;

// Values other than these two draw top to bottom.
enum class UIGradientStyle : unsigned long { LeftToRight = 0, Radial = 1, TopToBottom = 2 };

// A pattern colour of a gradient image of the frame's size (its origin plays no part); the image
// also becomes the class's gradient image. None for a frame that holds no pixels.
std::shared_ptr<UIColor> colorWithGradientStyle(UIGradientStyle style, CGRect frame,
                                                const std::vector<std::shared_ptr<UIColor>>& colors);

// The last gradient image made (or set); it lives as long as the process.
std::shared_ptr<UIImage> gradientImage();
void setGradientImage(std::shared_ptr<UIImage> image);

// A pattern colour stands for the class's gradient image scaled down to one pixel, as an opaque
// RGB colour (opaque black when there is no gradient image), whichever pattern it carries. Any
// other colour comes back as it is.
std::shared_ptr<UIColor> resolvingPatternColor(const std::shared_ptr<UIColor>& color);
