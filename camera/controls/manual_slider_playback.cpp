// The ruler's highlighted span (the "playback" marker): a body from the value under the line with
// the length the delegate gives, and a blinking head at its end, refreshed every 0.1 s.
#include <algorithm>

#include "camera/controls/manual_slider_view.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "widgets/flat/flat_palette.h"

namespace {
constexpr double kBlinkDuration = 0.5;
constexpr double kMarkerAnimation = 0.1;
}  // namespace

void ManualSliderView::start() {
    restartTimerPlayback();
    CAAnimationEngine::removeAllAnimations(*playbackHead_->layer());
    auto head = playbackHead_;
    UIViewAnimation::animateKeyframes(
        kBlinkDuration, 0, UIViewAnimationOptionRepeat | UIViewAnimationOptionAutoreverse, [head] {
            UIViewAnimation::addKeyframe(0, 0.5, [head] { head->setBackgroundColor(flatOrangeColorDark()); });
            UIViewAnimation::addKeyframe(0, 0.5, [head] { head->setBackgroundColor(flatOrangeColor()); });
        });
}

void ManualSliderView::stop() {
    CAAnimationEngine::removeAllAnimations(*playbackHead_->layer());
    resetTimerPlayback();
}

void ManualSliderView::restartTimerPlayback() {
    resetTimerPlayback();
    tmrPlayback_.restart(kPlaybackInterval, weakBind(self<ManualSliderView>(), &ManualSliderView::onTimerPlayback));
}

void ManualSliderView::resetTimerPlayback() {
    tmrPlayback_.reset();
    playback_->setHidden(true);
}

void ManualSliderView::onTimerPlayback() {
    if (playback_->isHidden()) {
        playback_->setHidden(false);
        updatePlaybackFrame(false);
    } else {
        updatePlaybackFrame(true);
    }
}

void ManualSliderView::updatePlaybackFrame(bool animated) {
    auto delegate = delegate_.lock();
    const double p = delegate ? delegate->onManualSliderViewGetCurrentPlayback(*this) : 0;
    const float w = std::max(1.0f, float(kPointsPerUnit * p));
    const double v = calcValue();
    const CGFloat H = scroll_->bounds().size.height;
    auto place = [this, w, v, H] {
        playbackHead_->setFrame({{w - 1, 0}, {1, H}});
        playbackBody_->setFrame({{0, 0}, {w - 1, H}});
        playback_->setFrame({{kPointsPerUnit * v, 0}, {w, H}});
    };
    if (animated)
        UIViewAnimation::animate(kMarkerAnimation, place);
    else
        place();
}
