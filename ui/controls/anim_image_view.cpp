// Stepping an image view through its frames.
#include "ui/controls/anim_image_view.h"

#include "platform/dispatch/timer.h"

AnimImageView::~AnimImageView() { resetTimer(); }

void AnimImageView::startAnimating() {
    if (animationImages().empty()) return;
    cur_ = 0;
    setImage(animationImages().front());
    restartTimer();
}

void AnimImageView::stopAnimating() { resetTimer(); }

void AnimImageView::resetTimer() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void AnimImageView::restartTimer() {
    resetTimer();
    if (animationDuration() <= 0) return;  // a zero interval would fire on every run-loop turn
    std::weak_ptr<AnimImageView> weak = self<AnimImageView>();
    timer_ = NSTimer::scheduledTimer(animationDuration(), true, [weak](const std::shared_ptr<NSTimer>& t) {
        if (auto s = weak.lock()) s->onTimer(t);
    });
}

void AnimImageView::onTimer(const std::shared_ptr<NSTimer>&) {
    const auto& frames = animationImages();
    if (frames.empty()) return;
    if (++cur_ >= std::int64_t(frames.size())) cur_ = 0;
    setImage(frames[std::size_t(cur_)]);
}
