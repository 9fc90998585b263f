// A yes/no box with a countdown on its No button that answers No when it runs out. Every way of
// closing (Yes, No, the countdown, a tap outside, or any hide) gives at most one answer and stops
// the countdown. Main-thread only.
#pragma once

#include <cstdint>

#include "platform/dispatch/timer_slots.h"
#include "ui/popup/pop_centered_view.h"

class IconButton;
class NSAttributedString;
class UILabel;

class PopConfirmView : public PopCenteredView {
public:
    KORVA_MAKE(PopConfirmView)
    static constexpr double kTick = 1.0;

    void init() override;
    void show(const std::shared_ptr<NSObject>& sender, std::int32_t timeoutSeconds, Callback onYes, Callback onNo);
    using PopCenteredView::show;
    // Any hide ends the countdown; a box closed without an answer gives none later.
    void hide(Callback completion) override;
    using PopCenteredView::hide;
    void onYes();
    void onNo();
    void updateView();
    void hideInternal() { onNo(); }
    bool counting() const { return counting_; }

    const std::shared_ptr<NSAttributedString>& attributedText() const { return attributedText_; }
    void setAttributedText(std::shared_ptr<NSAttributedString> t) { attributedText_ = std::move(t); }
    const std::shared_ptr<IconButton>& btnYes() const { return btnYes_; }
    const std::shared_ptr<IconButton>& btnNo() const { return btnNo_; }
    const std::shared_ptr<UILabel>& title() const { return title_; }
    std::int32_t ts() const { return ts_; }

    std::string className() const override { return "PopConfirmView"; }

protected:
    explicit PopConfirmView(std::shared_ptr<UIViewController> vc) : PopCenteredView(std::move(vc)) {}

private:
    void restartTimerTimeout();
    void resetTimerTimeout();
    void onTimerTimeout();
    void answer(bool yes);

    std::int32_t ts_ = 0;
    bool counting_ = false;
    std::shared_ptr<NSAttributedString> attributedText_;
    std::shared_ptr<UIView> bg0_;
    std::shared_ptr<UILabel> title_, info_;
    std::shared_ptr<IconButton> btnYes_, btnNo_;
    std::shared_ptr<UIGestureRecognizer> tap_;
    Callback onYes_, onNo_;
    // The countdown repeats every second; it lives in its own timer, restarted after each tick.
    OneShotTimer timerTimeout_;
};
