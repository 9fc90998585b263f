// The shared blink.
#include "ui/controller/animation.h"

#include <limits>

#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/animation/ca_media_timing_function.h"

std::shared_ptr<CAKeyframeAnimation> Animation::blink() {
    if (!blink_) {
        blink_ = CAKeyframeAnimation::animationWithKeyPath("opacity");
        blink_->setValues({0.5, 1.0, 0.5});
        blink_->setDuration(kBlinkDuration);
        blink_->setRepeatCount(std::numeric_limits<float>::infinity());
        blink_->setTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut));
        blink_->setRemovedOnCompletion(false);
        blink_->setFillMode(CAFillMode::Both);
    }
    return blink_;
}
