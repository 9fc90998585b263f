// Styling recipes on layers.
#include "ui/layout/layer_custom.h"

#include "platform/ui/draw/color.h"
#include "platform/ui/layer/ca_layer.h"

namespace {
// A light drop shadow: enough to lift white icons and labels off the picture, never a dark halo.
constexpr float kShadowOpacity = 0.2f;
constexpr CGSize kShadowOffset{1, 1};
}  // namespace

void assignShadow(CALayer& layer) {
    assignShadow(layer, UIColor::blackColor());
}

void assignShadow(CALayer& layer, const std::shared_ptr<UIColor>& color) {
    layer.setShadowColor(color ? std::optional<CGColor>(color->cgColor()) : std::nullopt);
    layer.setShadowOpacity(kShadowOpacity);
    layer.setShadowOffset(kShadowOffset);
}

void assignRound(CALayer& layer, CGFloat radius) {
    layer.setCornerRadius(radius);
    layer.setMasksToBounds(true);
    layer.setBorderWidth(0);
}

void assignBorder(CALayer& layer, CGFloat width, const std::shared_ptr<UIColor>& color) {
    layer.setBorderWidth(width);
    if (color) layer.setBorderColor(color->cgColor());
}

void bringToFront(CALayer& layer, const std::shared_ptr<CALayer>& sublayer) {
    if (!sublayer || sublayer.get() == &layer) return;
    sublayer->removeFromSuperlayer();
    layer.addSublayer(sublayer);
}

void sendToBack(CALayer& layer, const std::shared_ptr<CALayer>& sublayer) {
    if (!sublayer || sublayer.get() == &layer) return;
    sublayer->removeFromSuperlayer();
    layer.insertSublayerAtIndex(sublayer, 0);
}
