// The rotation recogniser: two touches turning about each other.
#pragma once

#include "platform/ui/gesture/ui_gesture_recognizer.h"

// Rotation is the turn of the line through the two touches since the gesture began, in radians
// (clockwise on screen positive).
class UIRotationGestureRecognizer : public UIGestureRecognizer {
public:
    KORVA_MAKE(UIRotationGestureRecognizer)
    // The turn that starts the gesture.
    static constexpr CGFloat kStartAngle = 0.05;

    CGFloat rotation() const { return rotation_; }
    // Re-bases the rotation on the current line (handlers often reset it to 0).
    void setRotation(CGFloat r);
    // Radians per second.
    CGFloat velocity() const { return velocity_; }

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void reset() override;
    std::string className() const override { return "UIRotationGestureRecognizer"; }

protected:
    explicit UIRotationGestureRecognizer(Action action = nullptr) : UIGestureRecognizer(std::move(action)) {}

private:
    CGFloat angle() const;
    CGFloat startAngle_ = 0;
    CGFloat rotation_ = 0;
    CGFloat velocity_ = 0;
    double lastTime_ = 0;
};
