// The builder classes of the indicator types, one per type; each lives in its own file under
// types/ with its geometry and animation values.
#pragma once

#include <cstdint>
#include <memory>

#include "widgets/indicator/busy_indicator_animation.h"

// A new builder for the type (0...32), or null for any other value.
std::shared_ptr<BusyIndicatorAnimation> makeIndicatorAnimation(std::uint64_t type);

#define KORVA_INDICATOR_BUILDER(Name)                                                                   \
    class Name : public BusyIndicatorAnimation {                                                        \
    public:                                                                                             \
        KORVA_MAKE(Name)                                                                                \
        void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,                  \
                                   const std::shared_ptr<UIColor>& tintColor) override;                 \
        std::string className() const override { return #Name; }                                        \
    };

KORVA_INDICATOR_BUILDER(BusyIndicatorBallSpinFadeLoader)

#undef KORVA_INDICATOR_BUILDER
