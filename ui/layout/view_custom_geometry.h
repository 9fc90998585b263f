// Geometry and small utilities on views: a view rendered to an image, points and corners through
// a view's transform, the shared blink, and the loading badge. Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"

class UIView;
class UIImage;

// The view as it looks now, at scale 1.
std::shared_ptr<UIImage> imageByRenderingView(UIView& view);
// The frame the view would have with no transform.
CGRect originalFrame(UIView& view);
CGPoint centerOffset(const UIView& view, CGPoint point);
CGPoint pointRelativeToCenter(const UIView& view, CGPoint point);
// Where a point of the untransformed view (superview coordinates) lies once the view's
// transform is applied about its centre.
CGPoint newPointInView(const UIView& view, CGPoint point);
// The on-screen corners of a turned or scaled view.
CGPoint newTopLeft(UIView& view);
CGPoint newTopRight(UIView& view);
CGPoint newBottomLeft(UIView& view);
CGPoint newBottomRight(UIView& view);

// The shared blink on the view's layer, under the key "opacity".
void startBlink(UIView& view);
void stopBlink(UIView& view);
bool isBlinking(const UIView& view);

// A new 60 x 60 loading badge: a spinner (white in dark mode, grey otherwise) above the looked-up
// "LOADING" text.
std::shared_ptr<UIView> loading();
