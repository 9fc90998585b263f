#include "editor/plane/coord_rect_view.h"

#include <cmath>

#include "foundation/numeric.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "widgets/flat/flat_palette.h"

namespace {

constexpr CGFloat kOutlineWidth = 1.0;
constexpr CGFloat kGridWidth = 0.5;
constexpr CGFloat kCentreDot = 2;

// The clamp and midpoint of every handle move, in single precision like the stored values.
double clampF(double v, double lo, double hi) {
    return clampFloat(static_cast<float>(v), static_cast<float>(lo), static_cast<float>(hi));
}
double mid(double a, double b) {
    return lerpFloat(static_cast<float>(a), static_cast<float>(b), 0.5f);
}

std::shared_ptr<UIColor> withAlpha(const std::shared_ptr<UIColor>& c, CGFloat alpha) {
    CGFloat r = 0, g = 0, b = 0, a = 0;
    if (!c || !c->getRed(&r, &g, &b, &a)) return c;
    return UIColor::colorWithRed(r, g, b, alpha);
}

}  // namespace

CoordRectHandleView::CoordRectHandleView(int type, CGFloat arm, CGFloat strokeWidth, std::shared_ptr<UIColor> color)
    : CoordHandleView(2 * arm, std::move(color), strokeWidth), type_(type) {}

CGPath CoordRectHandleView::mark() const {
    const CGFloat a = pw() / 2;
    CGPath path;
    auto corner = [&](CGPoint from, CGPoint to) {
        path.moveToPoint(from);
        path.addLineToPoint({0, 0});
        path.addLineToPoint(to);
    };
    switch (type_) {
        case 0: corner({0, -a}, {a, 0}); break;
        case 1: corner({-a, 0}, {0, -a}); break;
        case 2: corner({0, a}, {-a, 0}); break;
        case 3: corner({a, 0}, {0, a}); break;
        case 4:
        case 5:
            path.moveToPoint({0, -a});
            path.addLineToPoint({0, a});
            break;
        case 6:
        case 7:
            path.moveToPoint({-a, 0});
            path.addLineToPoint({a, 0});
            break;
        case 8:
            path.moveToPoint({-kCentreDot, -kCentreDot});
            path.addLineToPoint({kCentreDot, -kCentreDot});
            path.addLineToPoint({kCentreDot, kCentreDot});
            path.addLineToPoint({-kCentreDot, kCentreDot});
            path.closeSubpath();
            break;
        default: break;
    }
    return path;
}

void CoordRectView::init() {
    CoordView::init();
    setColor0(withAlpha(flatGrayColorDark(), kGuideAlpha));
    setColor1(withAlpha(flatGrayColor(), kGuideAlpha));
    for (int i = 0; i < kHandles; ++i) {
        pointers_[i] = CoordRectHandleView::make(i, kHandleArm, kHandleStroke, UIColor::lightGrayColor());
        addSubview(pointers_[i]);
    }
}

const std::shared_ptr<CAShapeLayer>& CoordRectView::line0() {
    if (!line0_) {
        const auto& below = guide1();
        line0_ = CAShapeLayer::make();
        layer()->insertSublayerAbove(line0_, below);
    }
    return line0_;
}

const std::shared_ptr<CAShapeLayer>& CoordRectView::line1() {
    if (!line1_) {
        const auto& below = line0();
        line1_ = CAShapeLayer::make();
        layer()->insertSublayerAbove(line1_, below);
    }
    return line1_;
}

void CoordRectView::setRectWithRatio(double x0, double y0, double w, double h) {
    const double x1 = x0 + w, y1 = y0 + h, cx = x0 + w / 2, cy = y0 + h / 2;
    set(0, x0, y0);
    set(1, x1, y0);
    set(2, x1, y1);
    set(3, x0, y1);
    set(4, x0, cy);
    set(5, x1, cy);
    set(6, cx, y0);
    set(7, cx, y1);
    set(8, cx, cy);
    update();
}

void CoordRectView::update() {
    PlaneDrawingScope scope;
    CoordView::update();
    for (const auto& p : pointers_) p->update();
    updateLine();
}

void CoordRectView::updateLine() {
    PlaneDrawingScope scope;
    CGPath outline;
    outline.moveToPoint(centred(handleValue(0)));
    for (int i = 1; i <= 3; ++i) outline.addLineToPoint(centred(handleValue(i)));
    outline.closeSubpath();

    const double dw = x(2) - x(0), dh = y(2) - y(0);
    CGPath grid;
    auto segment = [&](CGPoint a, CGPoint b) {
        grid.moveToPoint(centred(a));
        grid.addLineToPoint(centred(b));
    };
    segment({x(0), y(0) + dh / 3}, {x(1), y(0) + dh / 3});
    segment({x(0), y(0) + 2 * dh / 3}, {x(1), y(0) + 2 * dh / 3});
    segment({x(0) + dw / 3, y(0)}, {x(0) + dw / 3, y(3)});
    segment({x(0) + 2 * dw / 3, y(0)}, {x(0) + 2 * dw / 3, y(3)});

    placeLine(*line0(), outline);
    styleLine(*line0_, flatOrangeColor(), kOutlineWidth, false, true);
    placeLine(*line1(), grid);
    styleLine(*line1_, flatOrangeColor(), kGridWidth, false, true);
}

void CoordRectView::setFixedRatioHbyW(double r) {
    fixedRatioHbyW_ = r;
    if (!(r > 0)) return;
    const double w = x(2) - x(0), h = y(2) - y(0);
    const double cx = x(0) + w / 2, cy = y(0) + h / 2;
    if (h < w * r) {
        setRectWithRatio(cx - (h / r) / 2, y(0), h / r, h);
    } else if (h > w * r) {
        setRectWithRatio(x(0), cy - (w * r) / 2, w, w * r);
    } else {
        return;
    }
    if (auto d = delegate()) d->onCoordRectViewValueChanged(*this);
}

double CoordRectView::dist(const CoordHandleView& handle, CGPoint p) const {
    const CGPoint at = viewPoint(handle.value());
    const double dx = at.x - p.x, dy = at.y - p.y;
    return dx * dx + dy * dy;
}

int CoordRectView::pick(CGPoint p) const {
    const CGSize s = frame().size;
    const double px = p.x / s.width, py = 1 - p.y / s.height;
    if (px < x(0) && py < y(0)) return 0;
    if (px > x(1) && py < y(1)) return 1;
    if (px < x(3) && py > y(3)) return 3;
    if (px > x(2) && py > y(2)) return 2;
    if (px < x(4)) return 4;
    if (px > x(5)) return 5;
    if (py < y(6)) return 6;
    if (py > y(7)) return 7;
    int best = 0;
    double bestDist = dist(*pointers_[0], p);
    for (int i = 1; i < kHandles; ++i) {
        const double d = dist(*pointers_[i], p);
        if (d < bestDist) {
            best = i;
            bestDist = d;
        }
    }
    return best;
}

void CoordRectView::onPan(UIGestureRecognizer& r) {
    pan(r.state(), r.locationInView(self<UIView>()));
}

void CoordRectView::pan(UIGestureRecognizerState state, CGPoint p) {
    const CGSize s = frame().size;
    if (state == UIGestureRecognizerState::Began) {
        panK_.reset();
        // A plane of no size has no place to pick.
        if (s.width <= 0 || s.height <= 0) return;
        int k = pick(p);
        if (k >= 4 && k <= 7 && fixedRatioHbyW_ > 0) k = 8;
        panP0_ = p;
        panK_ = pointers_[k];
        panV0_ = panK_->value();
        return;
    }
    if (state != UIGestureRecognizerState::Changed || !panK_) return;
    const double dx = (p.x - panP0_.x) / s.width;
    const double dy = (panP0_.y - p.y) / s.height;
    const int k = panK_->type();
    if (k <= 3) {
        moveCorner(k, dx, dy);
    } else if (k <= 7) {
        moveEdge(k, dx, dy);
    } else {
        moveCentre(dx, dy);
    }
    update();
    if (auto d = delegate()) d->onCoordRectViewValueChanged(*this);
}

void CoordRectView::recomputeCentre() {
    set(8, mid(x(0), x(1)), mid(y(0), y(3)));
}

void CoordRectView::recomputeSides(bool leftRight, bool bottomTop) {
    if (leftRight) {
        set(4, x(0), mid(y(0), y(3)));
        set(5, x(1), mid(y(1), y(2)));
    }
    if (bottomTop) {
        set(6, mid(x(0), x(1)), y(0));
        set(7, mid(x(3), x(2)), y(2));
    }
}

void CoordRectView::moveCorner(int k, double dx, double dy) {
    struct Limits {
        double xlo, xhi, ylo, yhi, s;
    };
    const Limits rows[4] = {
        {0, x(2), 0, y(2), 1}, {x(3), 1, 0, y(3), -1}, {x(0), 1, y(0), 1, 1}, {0, x(1), y(1), 1, -1}};
    const Limits& l = rows[k];
    const CGPoint v = panV0_;
    const double r = fixedRatioHbyW_;
    double ddx = clampF(dx, l.xlo - v.x, l.xhi - v.x);
    double ddy = 0;
    if (r > 0) {
        ddy = clampF(l.s * r * ddx, l.ylo - v.y, l.yhi - v.y);
        ddx = l.s * ddy / r;
    } else {
        ddy = clampF(dy, l.ylo - v.y, l.yhi - v.y);
    }
    const double nx = v.x + ddx, ny = v.y + ddy;
    set(k, nx, ny);
    switch (k) {
        case 0:
            set(1, x(1), ny);
            set(3, nx, y(3));
            break;
        case 1:
            set(0, x(0), ny);
            set(2, nx, y(2));
            break;
        case 2:
            set(3, x(3), ny);
            set(1, nx, y(1));
            break;
        default:
            set(0, nx, y(0));
            set(2, x(2), ny);
            break;
    }
    recomputeCentre();
    recomputeSides(true, true);
}

void CoordRectView::moveEdge(int k, double dx, double dy) {
    const CGPoint v = panV0_;
    switch (k) {
        case 4: {
            const double nx = v.x + clampF(dx, 0 - v.x, x(1) - v.x);
            set(4, nx, v.y);
            set(3, nx, y(3));
            set(0, nx, y(0));
            break;
        }
        case 5: {
            const double nx = v.x + clampF(dx, x(0) - v.x, 1 - v.x);
            set(5, nx, v.y);
            set(1, nx, y(1));
            set(2, nx, y(2));
            break;
        }
        case 6: {
            const double ny = v.y + clampF(dy, 0 - v.y, y(3) - v.y);
            set(6, v.x, ny);
            set(1, x(1), ny);
            set(0, x(0), ny);
            break;
        }
        default: {
            const double ny = v.y + clampF(dy, y(0) - v.y, 1 - v.y);
            set(7, v.x, ny);
            set(3, x(3), ny);
            set(2, x(2), ny);
            break;
        }
    }
    recomputeCentre();
    recomputeSides(k >= 6, k <= 5);
}

void CoordRectView::moveCentre(double dx, double dy) {
    const CGPoint v = panV0_;
    const double hw = (x(1) - x(0)) / 2, hh = (y(2) - y(1)) / 2;
    const double cx = clampF(v.x + dx, hw, 1 - hw), cy = clampF(v.y + dy, hh, 1 - hh);
    set(8, cx, cy);
    set(0, cx - hw, cy - hh);
    set(1, cx + hw, cy - hh);
    set(3, cx - hw, cy + hh);
    set(2, cx + hw, cy + hh);
    recomputeSides(true, true);
}
