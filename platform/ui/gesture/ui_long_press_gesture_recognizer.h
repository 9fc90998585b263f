// The long-press recogniser.
#pragma once

#include <memory>

#include "platform/dispatch/timer.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"

// Began once the touch has stayed down (within 10 points) for the minimum duration; changes as
// it moves; ends when lifted.
class UILongPressGestureRecognizer : public UIGestureRecognizer {
public:
    KORVA_MAKE(UILongPressGestureRecognizer)
    double minimumPressDuration() const { return minimumDuration_; }
    void setMinimumPressDuration(double d) { minimumDuration_ = d; }
    CGFloat allowableMovement() const { return allowableMovement_; }
    void setAllowableMovement(CGFloat m) { allowableMovement_ = m; }

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void reset() override;
    std::string className() const override { return "UILongPressGestureRecognizer"; }

protected:
    explicit UILongPressGestureRecognizer(Action action = nullptr) : UIGestureRecognizer(std::move(action)) {}

private:
    double minimumDuration_ = 0.5;
    CGFloat allowableMovement_ = 10;
    CGPoint start_;
    std::shared_ptr<NSTimer> timer_;
};
