// The status bar's flags and their animation on the clock.
#include "platform/ui/app/status_bar_state.h"

#include <algorithm>

namespace {
// Progress (0 to 1) of an animation that started at `start`, eased in and out; 1 when none runs.
double progress(double start, double now) {
    if (start < 0) return 1;
    double t = std::clamp((now - start) / StatusBarState::kDuration, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}
}  // namespace

double StatusBarState::visibilityAt(double now) const {
    double target = hidden_ ? 0 : 1;
    return visibilityFrom_ + (target - visibilityFrom_) * progress(visibilityStart_, now);
}

double StatusBarState::styleMixAt(double now) const {
    return progress(styleStart_, now);
}

void StatusBarState::setHidden(bool hidden, UIStatusBarAnimation animation, double now) {
    double from = visibilityAt(now);
    hidden_ = hidden;
    if (animation == UIStatusBarAnimation::None) {
        visibilityFrom_ = hidden ? 0 : 1;
        visibilityStart_ = -1;
        return;
    }
    animation_ = animation;
    visibilityFrom_ = from;
    visibilityStart_ = now;
}

void StatusBarState::setStyle(UIStatusBarStyle style, bool animated, double now) {
    // Mid-change, the cross-fade starts from the style that shows more.
    fromStyle_ = styleMixAt(now) >= 0.5 ? style_ : fromStyle_;
    style_ = style;
    styleStart_ = animated && fromStyle_ != style ? now : -1;
}

StatusBarPresentation StatusBarState::presentationAt(double now) const {
    StatusBarPresentation p;
    double v = visibilityAt(now);
    if (animation_ == UIStatusBarAnimation::Slide) {
        p.alpha = v > 0 ? 1 : 0;
        p.slide = 1 - v;
    } else {
        p.alpha = v;
    }
    p.style = style_;
    p.styleMix = styleMixAt(now);
    p.fromStyle = p.styleMix < 1 ? fromStyle_ : style_;
    return p;
}

bool StatusBarState::isAnimatingAt(double now) const {
    return (visibilityStart_ >= 0 && now < visibilityStart_ + kDuration) ||
           (styleStart_ >= 0 && now < styleStart_ + kDuration);
}
