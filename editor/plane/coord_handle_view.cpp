#include "editor/plane/coord_handle_view.h"

#include "editor/plane/coord_view.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "ui/layout/view_custom_style.h"

void CoordHandleView::init() {
    UIView::init();
    PlaneDrawingScope scope;
    lay()->setPath(mark());
    CoordView::styleLine(*lay_, color_, strokeWidth_, true, true);
    lay_->setPosition({pw_ / 2, pw_ / 2});
    assignShadow(*this, UIColor::whiteColor());
}

const std::shared_ptr<CAShapeLayer>& CoordHandleView::lay() {
    if (!lay_) {
        lay_ = CAShapeLayer::make();
        layer()->addSublayer(lay_);
    }
    return lay_;
}

void CoordHandleView::setValue(CGPoint v) {
    value_ = v;
    update();
}

void CoordHandleView::update() {
    PlaneDrawingScope scope;
    auto parent = superview();
    const CGSize s = parent ? parent->frame().size : CGSizeZero;
    setFrame({{value_.x * s.width - pw_ / 2, (1 - value_.y) * s.height - pw_ / 2}, {pw_, pw_}});
}
