// The pinch recogniser.
#pragma once

#include <memory>

#include "platform/ui/gesture/ui_gesture_recognizer.h"

// Two touches: scale is the distance between them relative to where the gesture began.
class UIPinchGestureRecognizer : public UIGestureRecognizer {
public:
    KORVA_MAKE(UIPinchGestureRecognizer)
    CGFloat scale() const { return scale_; }
    // Setting the scale re-bases it on the current spread (handlers often reset it to 1).
    void setScale(CGFloat s) {
        if (s > 0 && spread() > 0) startSpread_ = spread() / s;
        scale_ = s;
    }
    // Scale change per second.
    CGFloat velocity() const { return velocity_; }

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void reset() override;
    std::string className() const override { return "UIPinchGestureRecognizer"; }

protected:
    explicit UIPinchGestureRecognizer(Action action = nullptr) : UIGestureRecognizer(std::move(action)) {}

private:
    CGFloat spread() const;
    CGFloat startSpread_ = 0;
    CGFloat scale_ = 1;
    CGFloat velocity_ = 0;
    double lastTime_ = 0;
};
