// An image view that steps through its frames on a timer; each frame stays on screen for the
// view's animationDuration. With no frames it does nothing. Main-thread only.
#pragma once

#include "platform/dispatch/timer_slots.h"
#include "platform/ui/control/ui_image_view.h"

class AnimImageView : public UIImageView {
public:
    KORVA_MAKE(AnimImageView)
    ~AnimImageView() override;

    void startAnimating();
    void stopAnimating();
    void restartTimer();
    void resetTimer() { timer_.reset(); }
    void onTimer();
    std::int64_t cur() const { return cur_; }

    std::string className() const override { return "AnimImageView"; }

protected:
    using UIImageView::UIImageView;

private:
    std::int64_t cur_ = 0;
    RepeatingTimer timer_;
};
