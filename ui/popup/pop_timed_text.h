// What the text bubble and the message share on top of their placement: show forms that hide
// after a delay and/or on a tap, with taps off at the start of every showing. The delayed hide
// has its own timer, apart from the pop-up's retry timers. Main-thread only.
#pragma once

#include <memory>

#include "platform/dispatch/timer_slots.h"
#include "ui/popup/pop_view.h"

class NSAttributedString;

template <class Base>
class PopTimedText : public Base {
public:
    using Callback = PopView::Callback;

    void show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) override {
        tapDisable();
        updateView();
        Base::show(sender, std::move(completion), std::move(onDidHide));
    }
    using Base::show;

    void showAndDelayedHide(const std::shared_ptr<NSObject>& sender, double delay, Callback completion,
                            Callback onDidHide) {
        auto weak = weakSelf();
        show(
            sender,
            [weak, delay, completion = std::move(completion)] {
                if (completion) completion();
                if (auto s = weak.lock()) s->restartTimerHide(delay);
            },
            std::move(onDidHide));
    }
    void showAndBGTapHide(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) {
        auto weak = weakSelf();
        show(
            sender,
            [weak, completion = std::move(completion)] {
                if (auto s = weak.lock()) s->tapEnable();
                if (completion) completion();
            },
            std::move(onDidHide));
    }
    void showAndDelayedOrBGTapHide(const std::shared_ptr<NSObject>& sender, double delay, Callback completion,
                                   Callback onDidHide) {
        auto weak = weakSelf();
        show(
            sender,
            [weak, delay, completion = std::move(completion)] {
                if (auto s = weak.lock()) {
                    s->tapEnable();
                    s->restartTimerHide(delay);
                }
                if (completion) completion();
            },
            std::move(onDidHide));
    }

    void restartTimerHide(double seconds) {
        timerHide_.restart(seconds, [weak = weakSelf()] {
            if (auto s = weak.lock()) s->onTimerHide();
        });
    }
    void resetTimerHide() { timerHide_.reset(); }
    bool delayedHidePending() const { return timerHide_.pending(); }
    virtual void onTimerHide() { hideInternal(); }
    void hideInternal() { Base::hide(nullptr); }

    virtual void updateView() = 0;
    virtual void tapEnable() = 0;
    virtual void tapDisable() = 0;

    const std::shared_ptr<NSAttributedString>& attributedText() const { return attributedText_; }
    void setAttributedText(std::shared_ptr<NSAttributedString> t) { attributedText_ = std::move(t); }

protected:
    using Base::Base;

private:
    std::weak_ptr<PopTimedText> weakSelf() { return std::static_pointer_cast<PopTimedText>(this->shared_from_this()); }

    OneShotTimer timerHide_;
    std::shared_ptr<NSAttributedString> attributedText_;
};
