// Where the live picture sits on the camera screen, and how it fades in and out. Pure functions
// of sizes and times, so that the layout rules can be checked without a screen.
#pragma once

#include "platform/runtime/geometry.h"

// Edge offsets of the preview against the screen's view (left, top, right, bottom; right and
// bottom are negative insets).
struct PreviewInsets {
    CGFloat dl = 0, dt = 0, dr = 0, db = 0;
};

// What surrounds the picture: the screen's view size, the safe-area lengths at top and bottom and
// the heights of the top and bottom bars.
struct PreviewRoom {
    CGSize view{0, 0};
    CGFloat topGuide = 0, bottomGuide = 0;
    CGFloat topBar = 0, bottomBar = 0;
};

// A frame wider than the view sits below the top guide, or between the bars with one third of the
// spare height above it when there is room; a taller frame is centred horizontally; a frame of the
// view's own shape fills it.
PreviewInsets previewInsets(CGSize frame, const PreviewRoom& room);

// The frame rectangle as the relayout remembers it: each value truncated toward zero.
struct FrameKey {
    long x = 0, y = 0, w = 0, h = 0;
    static FrameKey of(CGRect r);
    // True when every value moved by less than the threshold.
    bool closeTo(const FrameKey& other, long threshold) const;
};

// The zoom slider's alpha while it is not touched.
inline constexpr CGFloat kSliderRestAlpha = 0.4;

// One step of the picture's fade, at t (0..1 of the fade's length; outside means done).
struct FadeStep {
    bool done = false;
    CGFloat alpha = 1;  // the preview and the gesture layer
    CGFloat sliderAlpha = kSliderRestAlpha;
    bool controlsHidden = false;  // the zoom slider and the gesture layer
};
FadeStep fadeStep(double t, bool fadingIn);
