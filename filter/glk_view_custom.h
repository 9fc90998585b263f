// Drawing a filtered image into a view drawn by the image engine, fitted by the view's content
// mode (aspect fit, aspect fill, or stretched).
#pragma once

#include <memory>

#include "filter/glk_view.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"

// Hides the view and draws nothing for an image that is not drawable; otherwise hides it while
// its drawable has no size, shows it when it has one, and draws.
void drawImage(GLKView& view, const std::shared_ptr<CIImage>& image, CIContext& context);
// The drawing itself; nothing happens when the view's context cannot be made current or the
// drawable or frame has no size. Returns whether something was presented.
bool drawImage0(GLKView& view, const std::shared_ptr<CIImage>& image, CIContext& context);
