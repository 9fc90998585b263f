#include "editor/plane/coord_view.h"

#include "foundation/numeric.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "widgets/flat/flat_palette.h"

namespace {
constexpr CGFloat kWashAlpha = 0.1;
constexpr CGFloat kCrossWidth = 1.0;
constexpr CGFloat kQuarterWidth = 0.5;
}  // namespace

PlaneDrawingScope::PlaneDrawingScope() {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
}

PlaneDrawingScope::~PlaneDrawingScope() {
    CATransaction::commit();
}

double clampUnit(double v) {
    return clampFloat(static_cast<float>(v), 0.0f, 1.0f);
}

void CoordView::init() {
    UIView::init();
    setBackgroundColor(UIColor::colorWithWhite(1, kWashAlpha));
    color0_ = flatGrayColorDark();
    color1_ = flatGrayColor();
}

const std::shared_ptr<CAShapeLayer>& CoordView::guide0() {
    if (!guide0_) {
        guide0_ = CAShapeLayer::make();
        layer()->insertSublayerAtIndex(guide0_, 0);
    }
    return guide0_;
}

const std::shared_ptr<CAShapeLayer>& CoordView::guide1() {
    if (!guide1_) {
        const auto& below = guide0();
        guide1_ = CAShapeLayer::make();
        layer()->insertSublayerAbove(guide1_, below);
    }
    return guide1_;
}

CGPoint CoordView::centred(CGPoint value) const {
    const CGSize s = frame().size;
    return {s.width * (value.x - 0.5), -s.height * (value.y - 0.5)};
}

CGPoint CoordView::viewPoint(CGPoint value) const {
    const CGSize s = frame().size;
    return {value.x * s.width, (1 - value.y) * s.height};
}

void CoordView::styleLine(CAShapeLayer& layer, const std::shared_ptr<UIColor>& color, CGFloat width, bool roundCap,
                          bool roundJoin) {
    layer.setStrokeColor(color ? std::optional<CGColor>(color->cgColor()) : std::nullopt);
    layer.setLineWidth(width);
    layer.setFillColor(UIColor::clearColor()->cgColor());
    layer.setLineCap(roundCap ? CGLineCap::Round : CGLineCap::Butt);
    layer.setLineJoin(roundJoin ? CGLineJoin::Round : CGLineJoin::Miter);
}

void CoordView::placeLine(CAShapeLayer& layer, const CGPath& path) const {
    const CGSize s = frame().size;
    layer.setPath(path);
    layer.setPosition({s.width / 2, s.height / 2});
}

void CoordView::updateGuide() {
    PlaneDrawingScope scope;
    const CGSize s = frame().size;
    const CGFloat a = s.width / 2;
    const CGFloat b = s.height / 2;

    CGPath quarters;
    quarters.moveToPoint({-a, -b / 2});
    quarters.addLineToPoint({a, -b / 2});
    quarters.moveToPoint({-a, b / 2});
    quarters.addLineToPoint({a, b / 2});
    quarters.moveToPoint({-a / 2, -b});
    quarters.addLineToPoint({-a / 2, b});
    quarters.moveToPoint({a / 2, -b});
    quarters.addLineToPoint({a / 2, b});
    placeLine(*guide1(), quarters);
    styleLine(*guide1(), color1_, kQuarterWidth, false, false);

    CGPath cross;
    cross.moveToPoint({-a, 0});
    cross.addLineToPoint({a, 0});
    cross.moveToPoint({0, -b});
    cross.addLineToPoint({0, b});
    placeLine(*guide0(), cross);
    styleLine(*guide0(), color0_, kCrossWidth, false, false);
}

void CoordView::update() {
    updateGuide();
}

void CoordView::layoutSubviews() {
    update();
}
