// The crop rectangle's arithmetic: the rectangle a handle drag makes (freely or keeping a ratio),
// the minimum size, the rotation's snap to quarter turns, and the crop rectangle in image pixels.
#pragma once

#include "platform/runtime/geometry.h"

enum class CropHandle { TopLeft, TopRight, BottomLeft, BottomRight, Top, Left, Bottom, Right };

// Keeps origin and width; the height follows the ratio r (short side over long side): width / r
// for a rectangle narrower than high, else width x r.
CGRect constrainedRectWithRectBasisOfWidth(CGRect rect, double ratio);
// Keeps origin and height; the width becomes height x r when narrower than high, else height / r.
CGRect constrainedRectWithRectBasisOfHeight(CGRect rect, double ratio);

struct CropDrag {
    CropHandle handle;
    CGRect initial;       // the rectangle when the drag began
    CGPoint translation;  // the drag so far
    bool keepingAspectRatio = false;
    double fixedAspectRatio = 1;  // short side over long side
    CGSize minimum;               // the handles' combined sizes
    CGRect current;               // the rectangle before this step
};

// The new rectangle. Below the minimum size the side opposite the dragged handle stays where it
// is: a left or top handle keeps the right or bottom side, any other keeps the left or top side.
CGRect cropRectForDrag(const CropDrag& drag);

// The angle rounded to the nearest quarter turn (ties to even, in single precision).
double snappedRotationAngle(double radians);

// The crop rectangle (in the zooming view's points) in image pixels: divided by the scale at
// which the picture was fitted into the inset rectangle, measured on its width on a tablet or in
// portrait and on its height in landscape on a phone.
CGRect zoomedCropRectInPixels(CGRect cropInZoomingView, CGSize picture, CGRect insetRect, bool tabletOrPortrait);
