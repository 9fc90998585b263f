// The swipe recogniser: one quick, mostly straight stroke in one of the allowed directions.
#pragma once

#include <cstdint>

#include "platform/ui/gesture/ui_gesture_recognizer.h"

enum UISwipeGestureRecognizerDirection : std::uint32_t {
    UISwipeGestureRecognizerDirectionRight = 1 << 0,
    UISwipeGestureRecognizerDirectionLeft = 1 << 1,
    UISwipeGestureRecognizerDirectionUp = 1 << 2,
    UISwipeGestureRecognizerDirectionDown = 1 << 3,
};

// Discrete: it goes straight to Ended when the stroke has covered kMinimumDistance along an
// allowed direction within kMaximumDuration, with less sideways movement than along it; it fails
// on a stroke that turns, lingers or runs the wrong way.
class UISwipeGestureRecognizer : public UIGestureRecognizer {
public:
    KORVA_MAKE(UISwipeGestureRecognizer)
    static constexpr CGFloat kMinimumDistance = 50;
    static constexpr double kMaximumDuration = 0.5;

    std::uint32_t direction() const { return direction_; }
    void setDirection(std::uint32_t d) { direction_ = d; }

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void reset() override;
    std::string className() const override { return "UISwipeGestureRecognizer"; }

protected:
    explicit UISwipeGestureRecognizer(Action action = nullptr) : UIGestureRecognizer(std::move(action)) {}

private:
    // Whether the stroke so far could still be a swipe; sets Ended when it already is one.
    void judge(double timestamp);
    std::uint32_t direction_ = UISwipeGestureRecognizerDirectionRight;
    CGPoint start_{};
    double startTime_ = 0;
};
