// The camera screen's number rules.
#include "camera/screen/screen_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr CGFloat kShortScreen = 568;
constexpr CGFloat kTallScreen = 800;
constexpr CGFloat kBottomLift = 60;
}  // namespace

double ratioWpHForImageRatio(ImageRatio imageRatio) {
    switch (imageRatio) {
        case ImageRatio::Ratio1x1: return 1.0;
        case ImageRatio::Ratio2x3: return 2.0 / 3.0;
        case ImageRatio::Ratio3x4: return 0.75;
        case ImageRatio::Ratio9x16: return 0.5625;
    }
    return 0.75;
}

CGFloat bottomBarOffset(CGFloat viewHeight) {
    CGFloat t = std::clamp((viewHeight - kShortScreen) / (kTallScreen - kShortScreen), CGFloat(0), CGFloat(1));
    return -kBottomLift * t;
}

std::optional<ControlsTurn> controlsTurnFor(std::int64_t o) {
    constexpr std::int64_t kOrientation[] = {1, 2, 4, 3};
    constexpr CGFloat pi = std::numbers::pi;
    // The turn belongs to the capture orientation: 3 turns by -pi/2, 4 by +pi/2.
    constexpr CGFloat kAngle[] = {0, pi, pi / 2, -pi / 2};
    if (o < 1 || o > 4) return std::nullopt;
    return ControlsTurn{kOrientation[o - 1], kAngle[o - 1]};
}

double zoomForSlider(double s, double maxZoom) {
    s = std::clamp(s, 0.0, 1.0);
    return 1 + (maxZoom - 1) * s * s * s;
}

double sliderForZoom(double zoom, double maxZoom) {
    if (!(maxZoom > 1.0)) return 0;
    return std::cbrt(std::clamp((zoom - 1) / (maxZoom - 1), 0.0, 1.0));
}

CGRect turnedAboutCentre(CGRect r) {
    CGFloat w = r.size.width, h = r.size.height;
    return CGRectMake(r.origin.x + w / 2 - h / 2, r.origin.y + h / 2 - w / 2, h, w);
}

CGRect flightTarget(CGRect src, CGRect dst, bool landscape) {
    CGRect t = dst;
    const CGFloat r = src.size.width / src.size.height;
    const CGFloat R = dst.size.width / dst.size.height;
    if (r < R) {
        t.size = {dst.size.width, dst.size.width / r};
        t.origin.y = dst.origin.y + (dst.size.height - t.size.height) / 2;
    } else if (r > R) {
        t.size = {dst.size.height * r, dst.size.height};
        t.origin.x = dst.origin.x + (dst.size.width - t.size.width) / 2;
    }
    return landscape ? turnedAboutCentre(t) : t;
}
