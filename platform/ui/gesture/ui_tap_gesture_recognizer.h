// The tap recogniser: taps and multiple taps.
#pragma once

#include <memory>

#include "platform/dispatch/timer.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"

// Recognised when the required taps end close to where they began, each following the last
// within 0.35 s.
class UITapGestureRecognizer : public UIGestureRecognizer {
public:
    KORVA_MAKE(UITapGestureRecognizer)
    int numberOfTapsRequired() const { return tapsRequired_; }
    void setNumberOfTapsRequired(int n) { tapsRequired_ = n < 1 ? 1 : n; }
    int numberOfTouchesRequired() const { return touchesRequired_; }
    void setNumberOfTouchesRequired(int n) { touchesRequired_ = n < 1 ? 1 : n; }
    CGPoint locationInView(const std::shared_ptr<UIView>& view) const override;

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void reset() override;
    std::string className() const override { return "UITapGestureRecognizer"; }

protected:
    explicit UITapGestureRecognizer(Action action = nullptr) : UIGestureRecognizer(std::move(action)) {}

private:
    void failLater();
    int tapsRequired_ = 1;
    int touchesRequired_ = 1;
    int tapsSeen_ = 0;
    std::size_t maxTouches_ = 0;
    CGPoint start_;
    CGPoint last_;
    std::shared_ptr<NSTimer> timer_;
};
