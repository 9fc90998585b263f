// The current graphics context of the calling thread and offscreen image contexts.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/ui/draw/blend_mode.h"
#include "platform/ui/draw/context.h"

class UIImage;

// Each thread has its own stack of current contexts: drawing code on a background thread does
// not disturb the main thread's.
CGContext* UIGraphicsGetCurrentContext();
std::shared_ptr<CGContext> UIGraphicsGetCurrentContextShared();
void UIGraphicsPushContext(std::shared_ptr<CGContext> context);
void UIGraphicsPopContext();

// An image context of `size` points at `scale` pixels per point (0 means the main screen's
// scale), y down with the origin at the top left. An opaque context has no alpha and starts
// black; a transparent one starts clear. A size that gives no pixels, or more than the context
// limit, pushes no context: the current context is then none until the matching end.
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale);
inline void UIGraphicsBeginImageContext(CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
}
// The picture so far (scale of the context, orientation up); none when the current context is
// not an image context.
std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext();
// Ends the innermost image context; ignored when the innermost context is not one.
void UIGraphicsEndImageContext();

// The main screen's scale, used for a scale of 0. The screen model sets it; 1 until then.
void UIGraphicsSetMainScreenScale(CGFloat scale);
CGFloat UIGraphicsGetMainScreenScale();

// Fill or clip the rectangle in the current context with its fill colour.
void UIRectFill(const CGRect& rect);
void UIRectFillUsingBlendMode(const CGRect& rect, CGBlendMode mode);
void UIRectFrame(const CGRect& rect);
void UIRectClip(const CGRect& rect);

// Image contexts refuse more pixels than this (width x height).
inline constexpr long long kMaxImageContextPixels = 1ll << 26;
