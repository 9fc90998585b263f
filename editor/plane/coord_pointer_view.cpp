#include "editor/plane/coord_pointer_view.h"

#include "filter/matrix.h"
#include "foundation/numeric.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "widgets/flat/flat_palette.h"

namespace {
constexpr CGFloat kHandleStroke = 2.0;
constexpr CGFloat kLineWidth = 1.0;
constexpr std::size_t kToneCurvePoints = 5;
}  // namespace

CoordPointerHandleView::CoordPointerHandleView(CGFloat width, std::shared_ptr<UIColor> color)
    : CoordHandleView(width, std::move(color), kHandleStroke) {}

CGPath CoordPointerHandleView::mark() const {
    const CGFloat p = pw();
    CGPath path;
    path.moveToPoint({-1, -1});
    path.addLineToPoint({1, -1});
    path.addLineToPoint({1, 1});
    path.addLineToPoint({-1, 1});
    path.closeSubpath();
    const CGPoint ticks[4][2] = {
        {{0, -p / 2}, {0, -p / 4}}, {{p / 2, 0}, {p / 4, 0}}, {{0, p / 2}, {0, p / 4}}, {{-p / 2, 0}, {-p / 4, 0}}};
    for (const auto& t : ticks) {
        path.moveToPoint(t[0]);
        path.addLineToPoint(t[1]);
    }
    return path;
}

std::size_t CoordPointerView::addPointer(const std::shared_ptr<UIColor>& color) {
    auto handle = CoordPointerHandleView::make(kPointerSide, color);
    handle->setTag(static_cast<long>(pointers_.size()));
    addSubview(handle);
    pointers_.push_back(handle);
    return pointers_.size() - 1;
}

void CoordPointerView::resetPointers() {
    for (const auto& p : pointers_) p->removeFromSuperview();
    pointers_.clear();
}

const std::shared_ptr<CAShapeLayer>& CoordPointerView::line() {
    if (!line_) {
        const auto& below = guide1();
        line_ = CAShapeLayer::make();
        layer()->insertSublayerAbove(line_, below);
    }
    return line_;
}

void CoordPointerView::update() {
    PlaneDrawingScope scope;
    CoordView::update();
    updateLine();
    for (const auto& p : pointers_) p->update();
}

bool CoordPointerView::lineOrderFits() const {
    if (!lineOrder_ || lineOrder_->size() < pointers_.size()) return false;
    for (std::size_t place = 0; place < pointers_.size(); ++place) {
        if ((*lineOrder_)[place] >= pointers_.size()) return false;
    }
    return true;
}

std::size_t CoordPointerView::getPointIndexForLine(std::size_t place) const {
    return lineOrderFits() ? (*lineOrder_)[place] : place;
}

double CoordPointerView::dist(const CoordHandleView& handle, CGPoint p) const {
    const CGPoint at = viewPoint(handle.value());
    const double dx = at.x - p.x;
    const double dy = at.y - p.y;
    return dx * dx + dy * dy;
}

std::size_t CoordPointerView::nearest(CGPoint p) const {
    std::size_t best = 0;
    double bestDist = dist(*pointers_[0], p);
    for (std::size_t i = 1; i < pointers_.size(); ++i) {
        const double d = dist(*pointers_[i], p);
        if (d < bestDist) {
            best = i;
            bestDist = d;
        }
    }
    return best;
}

void CoordPointerView::onPan(UIGestureRecognizer& r) {
    pan(r.state(), r.locationInView(self<UIView>()));
}

void CoordPointerView::onTap(UIGestureRecognizer& r) {
    tap(r.state(), r.locationInView(self<UIView>()));
}

void CoordPointerView::pan(UIGestureRecognizerState state, CGPoint p) {
    if (state == UIGestureRecognizerState::Began) {
        panK_.reset();
        if (pointers_.empty()) return;
        panP0_ = p;
        panK_ = pointers_[nearest(p)];
        panV0_ = panK_->value();
        return;
    }
    if (state != UIGestureRecognizerState::Changed || !panK_) return;
    const CGSize s = frame().size;
    // A plane of no size has no place to move to.
    if (s.width <= 0 || s.height <= 0) return;
    panK_->setValue(
        {clampUnit(panV0_.x + (p.x - panP0_.x) / s.width), clampUnit(panV0_.y + (panP0_.y - p.y) / s.height)});
    panK_->update();
    changed();
}

void CoordPointerView::tap(UIGestureRecognizerState state, CGPoint p) {
    if (state != UIGestureRecognizerState::Ended || pointers_.empty()) return;
    const CGSize s = frame().size;
    if (s.width <= 0 || s.height <= 0) return;
    pointers_[nearest(p)]->setValue({clampUnit(p.x / s.width), clampUnit(1 - p.y / s.height)});
    changed();
}

void CoordPointerView::changed() {
    updateLine();
    if (auto d = delegate()) d->onCoordPointerViewValueChanged(*this);
}

CGPath CoordPointerView::linePath() const {
    CGPath path;
    path.moveToPoint(centred(pointers_[getPointIndexForLine(0)]->value()));
    for (std::size_t place = 1; place < pointers_.size(); ++place) {
        path.addLineToPoint(centred(pointers_[getPointIndexForLine(place)]->value()));
    }
    if (lineType_ == CoordLineType::Closed) path.closeSubpath();
    return path;
}

CGPath CoordPointerView::toneCurvePath() const {
    std::vector<CGPoint> points;
    for (std::size_t place = 0; place < kToneCurvePoints; ++place) {
        points.push_back(pointers_[getPointIndexForLine(place)]->value());
    }
    const auto a = Matrix::calcToneCurve_5d(points);
    CGPath path;
    for (int i = 0; i <= kToneCurveSamples; ++i) {
        const double t = static_cast<double>(i) / kToneCurveSamples;
        const double y = (((a[0] * t + a[1]) * t + a[2]) * t + a[3]) * t + a[4];
        const CGPoint at = centred({t, clampUnit(y)});
        if (i == 0) {
            path.moveToPoint(at);
        } else {
            path.addLineToPoint(at);
        }
    }
    return path;
}

void CoordPointerView::updateLine() {
    PlaneDrawingScope scope;
    if (pointers_.empty()) return;
    CGPath path;
    switch (lineType_) {
        case CoordLineType::Open:
        case CoordLineType::Closed: path = linePath(); break;
        case CoordLineType::ToneCurve:
            // The curve needs exactly its five points; otherwise the last one drawn stays.
            if (pointers_.size() != kToneCurvePoints) return;
            path = toneCurvePath();
            break;
        default: return;
    }
    placeLine(*line(), path);
    styleLine(*line_, flatOrangeColor(), kLineWidth, false, true);
}
