// ResizeControl: one 44 x 44 point handle of the crop rectangle that reports a pan as a
// translation (rounded to whole points) to its delegate.
#pragma once

#include <memory>

#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/view/ui_view.h"

class ResizeControl;

// Every event is optional.
class ResizeControlViewDelegate {
public:
    virtual ~ResizeControlViewDelegate() = default;
    virtual void resizeControlViewDidBeginResizing(ResizeControl&) {}
    virtual void resizeControlViewDidResize(ResizeControl&) {}
    virtual void resizeControlViewDidEndResizing(ResizeControl&) {}
};

class ResizeControl : public UIView {
public:
    KORVA_MAKE(ResizeControl)
    static constexpr CGFloat kSide = 44;
    void init() override;

    void setDelegate(const std::shared_ptr<ResizeControlViewDelegate>& d) { delegate_ = d; }
    CGPoint translation() const { return translation_; }
    CGPoint startPoint() const { return startPoint_; }
    void handlePan(UIPanGestureRecognizer& pan);

    std::string className() const override { return "ResizeControl"; }

protected:
    explicit ResizeControl(CGRect frame = CGRectZero) : UIView({frame.origin, {kSide, kSide}}) {}

private:
    std::weak_ptr<ResizeControlViewDelegate> delegate_;
    CGPoint translation_{}, startPoint_{};
};
