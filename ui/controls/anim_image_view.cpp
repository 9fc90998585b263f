// Stepping an image view through its frames.
#include "ui/controls/anim_image_view.h"

AnimImageView::~AnimImageView() = default;

void AnimImageView::startAnimating() {
    if (animationImages().empty()) return;
    cur_ = 0;
    setImage(animationImages().front());
    restartTimer();
}

void AnimImageView::stopAnimating() {
    resetTimer();
}

void AnimImageView::restartTimer() {
    resetTimer();
    if (animationDuration() <= 0) return;  // a zero interval would fire on every run-loop turn
    timer_.restart(animationDuration(), weakBind(self<AnimImageView>(), &AnimImageView::onTimer));
}

void AnimImageView::onTimer() {
    const auto& frames = animationImages();
    if (frames.empty()) return;
    if (++cur_ >= std::int64_t(frames.size())) cur_ = 0;
    setImage(frames[std::size_t(cur_)]);
}
