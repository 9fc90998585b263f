// Toast style defaults and the clamped limits.
#include "widgets/toast/toast_style.h"

#include <algorithm>
#include <cmath>

namespace {
// NaN counts as none of the host.
double unit(double p) {
    return std::isnan(p) ? 0 : std::clamp(p, 0.0, 1.0);
}
}  // namespace

std::shared_ptr<ToastStyle> ToastStyle::makeDefault() {
    return make<ToastStyle>();
}

void ToastStyle::setMaxWidthPercentage(double p) {
    maxWidth_ = unit(p);
}

void ToastStyle::setMaxHeightPercentage(double p) {
    maxHeight_ = unit(p);
}
