// Backdrop layer properties.
#include "platform/ui/layer/ca_backdrop_layer.h"

#include <algorithm>

void CABackdropLayer::setKind(CABackdropKind k) {
    kind_ = k;
    changed();
}

void CABackdropLayer::setBlurRadius(CGFloat r) {
    blurRadius_ = std::clamp<CGFloat>(r, 0, 200);
    if (!(blurRadius_ >= 0)) blurRadius_ = 0;
    changed();
}

void CABackdropLayer::setTintColor(std::optional<CGColor> c) {
    tint_ = std::move(c);
    changed();
}
