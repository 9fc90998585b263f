// A layer that shows what lies beneath it, blurred and tinted (blur effects), or that blends its
// sublayers into what lies beneath (vibrancy). The compositor reads the pixels already drawn under
// the layer's bounds; inside a group (a masked or translucent ancestor) only the group's own
// drawing so far lies beneath.
#pragma once

#include <optional>

#include "platform/ui/layer/ca_layer.h"

enum class CABackdropKind { Blur, Vibrancy };

class CABackdropLayer : public CALayer {
public:
    KORVA_MAKE(CABackdropLayer)

    CABackdropKind kind() const { return kind_; }
    void setKind(CABackdropKind k);
    // Standard deviation of the blur, in points.
    CGFloat blurRadius() const { return blurRadius_; }
    void setBlurRadius(CGFloat r);
    // Laid over the blurred backdrop; for vibrancy, the tint of the blur it sits in (a light one
    // darkens the content into it, a dark one lightens it).
    std::optional<CGColor> tintColor() const { return tint_; }
    void setTintColor(std::optional<CGColor> c);

    std::string className() const override { return "CABackdropLayer"; }

protected:
    CABackdropLayer() = default;

private:
    CABackdropKind kind_ = CABackdropKind::Blur;
    CGFloat blurRadius_ = 0;
    std::optional<CGColor> tint_;
};
