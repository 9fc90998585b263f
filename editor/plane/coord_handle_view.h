// A handle of a coordinate plane: a small square view that draws one mark around its centre and
// places that centre on its value, a point of the unit square, in its superview. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/view/ui_view.h"

class CAShapeLayer;
class CGPath;
class UIColor;

class CoordHandleView : public UIView {
public:
    void init() override;

    CGPoint value() const { return value_; }
    // Stores the value and moves the handle there.
    void setValue(CGPoint v);
    // frame = (x * W - pw/2, (1 - y) * H - pw/2, pw, pw), W and H the superview's size.
    void update();

    const std::shared_ptr<CAShapeLayer>& lay();
    void setLay(std::shared_ptr<CAShapeLayer> l) { lay_ = std::move(l); }
    CGFloat pw() const { return pw_; }

    std::string className() const override { return "CoordHandleView"; }

protected:
    CoordHandleView(CGFloat pw, std::shared_ptr<UIColor> color, CGFloat strokeWidth)
        : pw_(pw), color_(std::move(color)), strokeWidth_(strokeWidth) {}
    // The mark around the handle's centre, in view orientation (y down).
    virtual CGPath mark() const = 0;

private:
    CGFloat pw_;
    std::shared_ptr<UIColor> color_;
    CGFloat strokeWidth_;
    CGPoint value_{};
    std::shared_ptr<CAShapeLayer> lay_;
};
