// The level guide: the grid and the tilt markers, rebuilt for each size, and the level tick.
#include "camera/overlays/guide_view.h"

#include <cmath>
#include <numbers>

#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/haptic.h"
#include "foundation/numeric.h"
#include "platform/dispatch/clock.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "ui/layout/view_custom_constraints.h"

namespace {

constexpr CGFloat kShapeAlpha = 0.65, kMarkerAlpha = 0.3;
constexpr CGFloat kMinorWidth = 0.5, kMajorWidth = 1.0, kMarkerWidth = 1.0;
const std::vector<CGFloat> kMinorDash{5, 2};

// Shared by every guide: the last level tick and whether the last reading was level.
struct LevelMemory {
    double lastTick = 0;
    bool wasLevel = false;
};
LevelMemory& levelMemory() {
    static LevelMemory memory;
    return memory;
}

void line(CGPath& path, CGPoint a, CGPoint b) {
    path.moveToPoint(a);
    path.addLineToPoint(b);
}

std::optional<CGColor> colour(const std::shared_ptr<UIColor>& c) {
    return c->cgColor();
}

}  // namespace

void GuideView::resetLevelMemory() {
    levelMemory() = {};
}

void GuideView::init() {
    UIView::init();
    setUserInteractionEnabled(false);
    shape_ = UIView::make();
    pitch_ = UIView::make();
    roll_ = UIView::make();
}

std::shared_ptr<CAShapeLayer> GuideView::replaceLayer(std::shared_ptr<CAShapeLayer>& slot, UIView& holder,
                                                      const CGPath& path) {
    if (slot) slot->removeFromSuperlayer();
    slot = CAShapeLayer::make();
    slot->setPath(path);
    slot->setPosition({bounds().size.width / 2, bounds().size.height / 2});
    slot->setFillColor(CGColor::clear());
    slot->setLineCap(CGLineCap::Butt);
    slot->setLineJoin(CGLineJoin::Miter);
    holder.layer()->addSublayer(slot);
    return slot;
}

void GuideView::layoutSubviews() {
    UIView::layoutSubviews();
    const CGFloat W = bounds().size.width, H = bounds().size.height;
    // Re-adding the holders asks for another layout; the grid only changes with the size.
    if (sl0_ && builtSize_ == bounds().size) return;
    builtSize_ = bounds().size;
    auto me = self<GuideView>();
    shape_->removeFromSuperview();
    const float d = minFloat(float(W), float(H)) / kCells;
    d_ = d;

    CGPath minor, major;
    for (int sign : {-1, 1})
        for (int k = 1; k <= 3; ++k) {
            const CGFloat x = sign * (k - 0.5) * d_;
            line(k == 2 ? major : minor, {x, -H / 2}, {x, H / 2});
        }
    const double half = H / 2 / d_;
    int n = int(half);
    if (H / 2 - n * d_ < d_ / 2) --n;
    pairs_ = std::max(n, 0);
    for (int sign : {-1, 1})
        for (int k = 1; k <= n; ++k) {
            const CGFloat y = sign * (k - 0.5) * d_;
            line(k % 3 == 2 ? major : minor, {-W / 2, y}, {W / 2, y});
        }
    {
        CATransactionWithoutActions still;
        auto s0 = replaceLayer(sl0_, *shape_, minor);
        s0->setStrokeColor(colour(UIColor::lightGrayColor()));
        s0->setLineWidth(kMinorWidth);
        s0->setLineDashPattern(kMinorDash);
        auto s1 = replaceLayer(sl1_, *shape_, major);
        s1->setStrokeColor(colour(UIColor::lightGrayColor()));
        s1->setLineWidth(kMajorWidth);
    }
    shape_->setAlpha(kShapeAlpha);
    addSubview(shape_);
    addConstraintsFull(shape_, me, 0, 0, 0, 0);

    pitch_->removeFromSuperview();
    CGPath square;
    square.addLines({{-d_ / 2, -d_ / 2}, {d_ / 2, -d_ / 2}, {d_ / 2, d_ / 2}, {-d_ / 2, d_ / 2}});
    square.closeSubpath();
    {
        CATransactionWithoutActions still;
        auto p = replaceLayer(pl_, *pitch_, square);
        p->setStrokeColor(colour(UIColor::redColor()));
        p->setLineWidth(kMarkerWidth);
        p->setFillColor(colour(UIColor::orangeColor()));
        p->setLineCap(CGLineCap::Round);
    }
    pitch_->setAlpha(kMarkerAlpha);
    addSubview(pitch_);
    addConstraintsFull(pitch_, me, 0, 0, 0, 0);

    roll_->removeFromSuperview();
    CGPath frame;
    line(frame, {-0.75 * d_, -0.5 * d_}, {0.75 * d_, -0.5 * d_});
    line(frame, {-0.75 * d_, 0.5 * d_}, {0.75 * d_, 0.5 * d_});
    line(frame, {-0.5 * d_, -0.75 * d_}, {-0.5 * d_, 0.75 * d_});
    line(frame, {0.5 * d_, -0.75 * d_}, {0.5 * d_, 0.75 * d_});
    {
        CATransactionWithoutActions still;
        auto r = replaceLayer(rl_, *roll_, frame);
        r->setStrokeColor(colour(UIColor::whiteColor()));
        r->setLineWidth(kMarkerWidth);
        r->setLineCap(CGLineCap::Round);
    }
    roll_->setAlpha(kMarkerAlpha);
    addSubview(roll_);
    addConstraintsFull(roll_, me, 0, 0, 0, 0);
}

void GuideView::updateGravity(double x, double, double) {
    const CGAffineTransform turn = CGAffineTransformMakeRotation(x * -std::numbers::pi / 2);
    UIViewAnimation::animate(kTurnDuration, [this, turn] {
        pitch_->setTransform(turn);
        roll_->setTransform(turn);
    });
    const bool level = std::fabs(x + 1) < kLevelBand || std::fabs(x) < kLevelBand;
    auto& memory = levelMemory();
    const double now = CACurrentMediaTime();
    if (now - kTickInterval > memory.lastTick && level && !memory.wasLevel) {
        Global::shared()->device()->haptic()->tick_level0();
        memory.lastTick = now;
    }
    memory.wasLevel = level;
}
