// The camera screen's small rules of numbers: the picture ratio table, the bottom bar's lift on
// taller screens, the controls' turn for each capture orientation, the zoom slider's cubic scale
// and the target of a new photo's flight into the library button.
#pragma once

#include <cstdint>
#include <optional>

#include "foundation/camera_settings.h"
#include "platform/runtime/geometry.h"

// Width over height of the ratio setting.
double ratioWpHForImageRatio(ImageRatio imageRatio);

// How far the bottom bar sits above the safe area's bottom: 0 at a view height of 568 points or
// less, 60 at 800 or more, linear in between. Returned as the (negative) bottom offset.
CGFloat bottomBarOffset(CGFloat viewHeight);

// The capture orientation (1..4) and the controls' rotation for a motion orientation 1..4; none
// for any other value.
struct ControlsTurn {
    std::int64_t orientation = 1;
    CGFloat angle = 0;
};
std::optional<ControlsTurn> controlsTurnFor(std::int64_t motionOrientation);
inline bool isLandscapeOrientation(std::int64_t orientation) {
    return orientation == 3 || orientation == 4;
}

// Zoom slider: z = 1 + (maxZoom - 1) s^3, and its inverse (0 when the device cannot zoom).
double zoomForSlider(double s, double maxZoom);
double sliderForZoom(double zoom, double maxZoom);

// A rectangle turned a quarter about its centre (width and height exchanged).
CGRect turnedAboutCentre(CGRect r);
// Where the flying photo ends: the start frame's shape (src, already turned for a landscape shot)
// scaled to cover the library button, centred on it along the overflowing side, and turned again
// for a landscape shot.
CGRect flightTarget(CGRect src, CGRect dst, bool landscape);
