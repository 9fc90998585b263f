// Animation: the holder of the shared blink, a key-frame animation of a layer's opacity that
// views add to themselves to pulse. Global makes it on first access and drops it on a memory
// warning. Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/object.h"

class CAKeyframeAnimation;

class Animation : public NSObject {
public:
    KORVA_MAKE(Animation)
    static constexpr double kBlinkDuration = 1.5;

    // Opacity 0.5, 1, 0.5 over 1.5 s, ease in and out, repeated forever; made on first read.
    std::shared_ptr<CAKeyframeAnimation> blink();

    std::string className() const override { return "Animation"; }

protected:
    Animation() = default;

private:
    std::shared_ptr<CAKeyframeAnimation> blink_;
};
