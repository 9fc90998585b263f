// Interpolation of animation values and key-path access on layers.
#include "platform/ui/animation/ca_value.h"

#include <cmath>

#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"

namespace {

double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}
CGPoint lerp(CGPoint a, CGPoint b, double t) {
    return {lerp(a.x, b.x, t), lerp(a.y, b.y, t)};
}
CGSize lerp(CGSize a, CGSize b, double t) {
    return {lerp(a.width, b.width, t), lerp(a.height, b.height, t)};
}
CGColor lerp(const CGColor& a, const CGColor& b, double t) {
    if (a.isPattern() || b.isPattern()) return t < 0.5 ? a : b;
    CGColor c = CGColor::rgb(lerp(a.red, b.red, t), lerp(a.green, b.green, t), lerp(a.blue, b.blue, t),
                             lerp(a.alpha, b.alpha, t));
    if (a.model == CGColorModel::Gray && b.model == CGColorModel::Gray) c.model = CGColorModel::Gray;
    return c;
}

// A flat transform as scale, rotation and translation (with the depth scale kept aside); none
// for a perspective or skewed transform.
struct Flat {
    double sx, sy, angle, tx, ty, sz;
};

std::optional<Flat> decompose(const CATransform3D& m) {
    bool flat = m.m13 == 0 && m.m14 == 0 && m.m23 == 0 && m.m24 == 0 && m.m31 == 0 && m.m32 == 0 && m.m34 == 0 &&
                m.m43 == 0 && m.m44 == 1;
    if (!flat) return std::nullopt;
    double a = m.m11, b = m.m12, c = m.m21, d = m.m22;
    if (std::abs(a * c + b * d) > 1e-9) return std::nullopt;  // skewed
    Flat f{std::hypot(a, b), 0, 0, m.m41, m.m42, m.m33};
    if (f.sx > 1e-12) {
        f.angle = std::atan2(b, a);
        f.sy = (a * d - b * c) / f.sx;
    } else {
        f.sy = std::hypot(c, d);
        f.angle = std::atan2(-c, d);
    }
    return f;
}

CATransform3D compose(const Flat& f) {
    CATransform3D r;
    double cs = std::cos(f.angle), sn = std::sin(f.angle);
    r.m11 = f.sx * cs;
    r.m12 = f.sx * sn;
    r.m21 = -f.sy * sn;
    r.m22 = f.sy * cs;
    r.m33 = f.sz;
    r.m41 = f.tx;
    r.m42 = f.ty;
    return r;
}

CATransform3D lerp(const CATransform3D& a, const CATransform3D& b, double t) {
    // Flat transforms blend their scale, angle and offset, so a turn stays a turn half-way.
    auto fa = decompose(a), fb = decompose(b);
    if (fa && fb)
        return compose({lerp(fa->sx, fb->sx, t), lerp(fa->sy, fb->sy, t), lerp(fa->angle, fb->angle, t),
                        lerp(fa->tx, fb->tx, t), lerp(fa->ty, fb->ty, t), lerp(fa->sz, fb->sz, t)});
    // Otherwise element by element.
    CATransform3D r;
    const CGFloat* pa = &a.m11;
    const CGFloat* pb = &b.m11;
    CGFloat* pr = &r.m11;
    for (int i = 0; i < 16; ++i) pr[i] = lerp(pa[i], pb[i], t);
    return r;
}

std::optional<CGPath> lerp(const CGPath& a, const CGPath& b, double t) {
    const auto& ea = a.elements();
    const auto& eb = b.elements();
    if (ea.size() != eb.size()) return std::nullopt;
    CGPath out;
    for (std::size_t i = 0; i < ea.size(); ++i) {
        if (ea[i].type != eb[i].type) return std::nullopt;
        auto p = [&](int k) { return lerp(ea[i].points[k], eb[i].points[k], t); };
        switch (ea[i].type) {
            case CGPathElementType::MoveToPoint: out.moveToPoint(p(0)); break;
            case CGPathElementType::AddLineToPoint: out.addLineToPoint(p(0)); break;
            case CGPathElementType::AddQuadCurveToPoint: out.addQuadCurveToPoint(p(0), p(1)); break;
            case CGPathElementType::AddCurveToPoint: out.addCurveToPoint(p(0), p(1), p(2)); break;
            case CGPathElementType::CloseSubpath: out.closeSubpath(); break;
        }
    }
    return out;
}

double rotationZ(const CATransform3D& t) {
    return std::atan2(t.m12, t.m11);
}
double scaleX(const CATransform3D& t) {
    return std::hypot(t.m11, t.m12);
}
double scaleY(const CATransform3D& t) {
    return std::hypot(t.m21, t.m22);
}

bool isTransformSubPath(const std::string& k) {
    return k.rfind("transform.", 0) == 0;
}

// The transform a sub-path value stands for, applied before the base transform.
std::optional<CATransform3D> subTransform(const std::string& k, double v) {
    if (k == "transform.scale") return CATransform3DMakeScale(v, v, 1);
    if (k == "transform.scale.x") return CATransform3DMakeScale(v, 1, 1);
    if (k == "transform.scale.y") return CATransform3DMakeScale(1, v, 1);
    if (k == "transform.scale.z") return CATransform3DMakeScale(1, 1, v);
    if (k == "transform.rotation" || k == "transform.rotation.z") return CATransform3DMakeRotation(v, 0, 0, 1);
    if (k == "transform.rotation.x") return CATransform3DMakeRotation(v, 1, 0, 0);
    if (k == "transform.rotation.y") return CATransform3DMakeRotation(v, 0, 1, 0);
    if (k == "transform.translation.x") return CATransform3DMakeTranslation(v, 0, 0);
    if (k == "transform.translation.y") return CATransform3DMakeTranslation(0, v, 0);
    if (k == "transform.translation.z") return CATransform3DMakeTranslation(0, 0, v);
    return std::nullopt;
}

std::optional<double> subValue(const std::string& k, const CATransform3D& t) {
    if (k == "transform.scale" || k == "transform.scale.x") return scaleX(t);
    if (k == "transform.scale.y") return scaleY(t);
    if (k == "transform.scale.z") return t.m33;
    if (k == "transform.rotation" || k == "transform.rotation.z") return rotationZ(t);
    if (k == "transform.rotation.x" || k == "transform.rotation.y") return 0.0;
    if (k == "transform.translation.x") return t.m41;
    if (k == "transform.translation.y") return t.m42;
    if (k == "transform.translation.z") return t.m43;
    return std::nullopt;
}

template <class T>
const T* as(const CAValue& v) {
    return std::get_if<T>(&v);
}

CAValue optionalColor(const std::optional<CGColor>& c) {
    return c ? CAValue(*c) : CAValue();
}

}  // namespace

std::optional<double> CAValueNumber(const CAValue& v) {
    if (auto d = as<double>(v)) return *d;
    return std::nullopt;
}

CAValue CAValueInterpolate(const CAValue& a, const CAValue& b, double t) {
    if (a.index() != b.index()) return t < 0.5 ? a : b;
    if (auto x = as<double>(a)) return lerp(*x, *as<double>(b), t);
    if (auto x = as<CGPoint>(a)) return lerp(*x, *as<CGPoint>(b), t);
    if (auto x = as<CGSize>(a)) return lerp(*x, *as<CGSize>(b), t);
    if (auto x = as<CGRect>(a)) {
        const CGRect& y = *as<CGRect>(b);
        return CGRect{lerp(x->origin, y.origin, t), lerp(x->size, y.size, t)};
    }
    if (auto x = as<CATransform3D>(a)) return lerp(*x, *as<CATransform3D>(b), t);
    if (auto x = as<CGColor>(a)) return lerp(*x, *as<CGColor>(b), t);
    if (auto x = as<CGPath>(a)) {
        if (auto p = lerp(*x, *as<CGPath>(b), t)) return *p;
        return t < 0.5 ? a : b;
    }
    if (auto x = as<std::vector<CGColor>>(a)) {
        const auto& y = *as<std::vector<CGColor>>(b);
        if (x->size() != y.size()) return t < 0.5 ? a : b;
        std::vector<CGColor> out;
        for (std::size_t i = 0; i < x->size(); ++i) out.push_back(lerp((*x)[i], y[i], t));
        return out;
    }
    if (auto x = as<std::vector<CGFloat>>(a)) {
        const auto& y = *as<std::vector<CGFloat>>(b);
        if (x->size() != y.size()) return t < 0.5 ? a : b;
        std::vector<CGFloat> out;
        for (std::size_t i = 0; i < x->size(); ++i) out.push_back(lerp((*x)[i], y[i], t));
        return out;
    }
    return t < 0.5 ? a : b;
}

CAValue CAValueAdd(const CAValue& a, const CAValue& b) {
    if (a.index() != b.index()) return {};
    if (auto x = as<double>(a)) return *x + *as<double>(b);
    if (auto x = as<CGPoint>(a)) return CGPoint{x->x + as<CGPoint>(b)->x, x->y + as<CGPoint>(b)->y};
    if (auto x = as<CGSize>(a)) return CGSize{x->width + as<CGSize>(b)->width, x->height + as<CGSize>(b)->height};
    if (auto x = as<CGRect>(a)) {
        const CGRect& y = *as<CGRect>(b);
        return CGRect{{x->origin.x + y.origin.x, x->origin.y + y.origin.y},
                      {x->size.width + y.size.width, x->size.height + y.size.height}};
    }
    if (auto x = as<CATransform3D>(a)) return CATransform3DConcat(*as<CATransform3D>(b), *x);
    return {};
}

CAValue CAValueScale(const CAValue& a, double k) {
    if (auto x = as<double>(a)) return *x * k;
    if (auto x = as<CGPoint>(a)) return CGPoint{x->x * k, x->y * k};
    if (auto x = as<CGSize>(a)) return CGSize{x->width * k, x->height * k};
    if (auto x = as<CGRect>(a))
        return CGRect{{x->origin.x * k, x->origin.y * k}, {x->size.width * k, x->size.height * k}};
    return {};
}

CAValue CAValueSubtract(const CAValue& b, const CAValue& a) {
    if (a.index() != b.index() || as<CATransform3D>(a)) return {};
    CAValue negA = CAValueScale(a, -1);
    if (CAValueIsNone(negA)) return {};
    return CAValueAdd(b, negA);
}

bool CAKeyPath::isAnimatable(const std::string& k) {
    static const char* const known[] = {"opacity",
                                        "position",
                                        "position.x",
                                        "position.y",
                                        "bounds",
                                        "bounds.size",
                                        "bounds.origin",
                                        "bounds.size.width",
                                        "bounds.size.height",
                                        "transform",
                                        "backgroundColor",
                                        "cornerRadius",
                                        "borderWidth",
                                        "borderColor",
                                        "shadowOpacity",
                                        "contents",
                                        "path",
                                        "fillColor",
                                        "strokeColor",
                                        "lineWidth",
                                        "strokeStart",
                                        "strokeEnd",
                                        "colors",
                                        "locations",
                                        "anchorPoint",
                                        "zPosition"};
    for (const char* name : known)
        if (k == name) return true;
    return isTransformSubPath(k) && subValue(k, CATransform3DIdentity).has_value();
}

CAValue CAKeyPath::modelValue(const CALayer& layer, const std::string& k) {
    return presentedValue(layer, nullptr, k);
}

CAValue CAKeyPath::presentedValue(const CALayer& layer, const CALayerPresentation* p, const std::string& k) {
    auto pick = [&](const auto& field, auto model) -> decltype(model) {
        if (p && field) return *field;
        return model;
    };
    auto shape = dynamic_cast<const CAShapeLayer*>(&layer);
    CGPoint position = pick(p ? p->position : std::nullopt, layer.position());
    CGRect bounds = pick(p ? p->bounds : std::nullopt, layer.bounds());
    CATransform3D transform = pick(p ? p->transform : std::nullopt, layer.transform());
    if (k == "opacity") return double(pick(p ? p->opacity : std::nullopt, layer.opacity()));
    if (k == "position") return position;
    if (k == "position.x") return position.x;
    if (k == "position.y") return position.y;
    if (k == "anchorPoint") return layer.anchorPoint();
    if (k == "zPosition") return layer.zPosition();
    if (k == "bounds") return bounds;
    if (k == "bounds.size") return bounds.size;
    if (k == "bounds.size.width") return bounds.size.width;
    if (k == "bounds.size.height") return bounds.size.height;
    if (k == "bounds.origin") return bounds.origin;
    if (k == "transform") return transform;
    if (isTransformSubPath(k)) {
        if (auto v = subValue(k, transform)) return *v;
        return {};
    }
    if (k == "backgroundColor")
        return optionalColor(pick(p ? p->backgroundColor : std::nullopt, layer.backgroundColor()));
    if (k == "cornerRadius") return pick(p ? p->cornerRadius : std::nullopt, layer.cornerRadius());
    if (k == "borderWidth") return pick(p ? p->borderWidth : std::nullopt, layer.borderWidth());
    if (k == "borderColor") return pick(p ? p->borderColor : std::nullopt, layer.borderColor());
    if (k == "shadowOpacity") return double(pick(p ? p->shadowOpacity : std::nullopt, layer.shadowOpacity()));
    if (k == "contents") return pick(p ? p->contents : std::nullopt, layer.contents());
    if (auto g = dynamic_cast<const CAGradientLayer*>(&layer)) {
        if (k == "colors") return pick(p ? p->colors : std::nullopt, g->colors());
        if (k == "locations") return pick(p ? p->locations : std::nullopt, g->locations());
    }
    if (!shape) return {};
    if (k == "path") {
        auto path = pick(p ? p->path : std::nullopt, shape->path().value_or(CGPath()));
        return path;
    }
    if (k == "fillColor") return optionalColor(pick(p ? p->fillColor : std::nullopt, shape->fillColor()));
    if (k == "strokeColor") return optionalColor(pick(p ? p->strokeColor : std::nullopt, shape->strokeColor()));
    if (k == "lineWidth") return pick(p ? p->lineWidth : std::nullopt, shape->lineWidth());
    if (k == "strokeStart") return pick(p ? p->strokeStart : std::nullopt, shape->strokeStart());
    if (k == "strokeEnd") return pick(p ? p->strokeEnd : std::nullopt, shape->strokeEnd());
    return {};
}

bool CAKeyPath::applyToPresentation(const CALayer& layer, CALayerPresentation& p, const std::string& k,
                                    const CAValue& v) {
    auto num = as<double>(v);
    auto point = as<CGPoint>(v);
    auto color = as<CGColor>(v);
    auto presentedBounds = [&] { return p.bounds.value_or(layer.bounds()); };
    auto presentedPosition = [&] { return p.position.value_or(layer.position()); };
    if (k == "opacity" && num) return p.opacity = float(std::clamp(*num, 0.0, 1.0)), true;
    if (k == "position" && point) return p.position = *point, true;
    if (k == "position.x" && num) return p.position = CGPoint{*num, presentedPosition().y}, true;
    if (k == "position.y" && num) return p.position = CGPoint{presentedPosition().x, *num}, true;
    if (k == "bounds") {
        if (auto r = as<CGRect>(v)) return p.bounds = *r, true;
        return false;
    }
    if (k == "bounds.size") {
        if (auto s = as<CGSize>(v)) return p.bounds = CGRect{presentedBounds().origin, *s}, true;
        return false;
    }
    if (k == "bounds.size.width" && num) {
        CGRect b = presentedBounds();
        b.size.width = *num;
        return p.bounds = b, true;
    }
    if (k == "bounds.size.height" && num) {
        CGRect b = presentedBounds();
        b.size.height = *num;
        return p.bounds = b, true;
    }
    if (k == "bounds.origin" && point) return p.bounds = CGRect{*point, presentedBounds().size}, true;
    if (k == "transform") {
        if (auto t = as<CATransform3D>(v)) return p.transform = *t, true;
        return false;
    }
    if (isTransformSubPath(k) && num) {
        auto sub = subTransform(k, *num);
        if (!sub) return false;
        p.transform = CATransform3DConcat(*sub, p.transform.value_or(layer.transform()));
        return true;
    }
    if (k == "backgroundColor") {
        if (color) return p.backgroundColor = std::optional<CGColor>(*color), true;
        if (CAValueIsNone(v)) return p.backgroundColor = std::optional<CGColor>(), true;
        return false;
    }
    if (k == "cornerRadius" && num) return p.cornerRadius = *num, true;
    if (k == "borderWidth" && num) return p.borderWidth = *num, true;
    if (k == "borderColor" && color) return p.borderColor = *color, true;
    if (k == "shadowOpacity" && num) return p.shadowOpacity = float(*num), true;
    if (k == "contents") {
        if (auto img = as<std::shared_ptr<CGImage>>(v)) return p.contents = *img, true;
        if (CAValueIsNone(v)) return p.contents = std::shared_ptr<CGImage>(), true;
        return false;
    }
    if (k == "path") {
        if (auto path = as<CGPath>(v)) return p.path = *path, true;
        return false;
    }
    if (k == "fillColor" || k == "strokeColor") {
        std::optional<CGColor> c;
        if (color)
            c = *color;
        else if (!CAValueIsNone(v))
            return false;
        (k == "fillColor" ? p.fillColor : p.strokeColor) = c;
        return true;
    }
    if (k == "lineWidth" && num) return p.lineWidth = *num, true;
    if (k == "strokeStart" && num) return p.strokeStart = std::clamp(*num, 0.0, 1.0), true;
    if (k == "strokeEnd" && num) return p.strokeEnd = std::clamp(*num, 0.0, 1.0), true;
    if (dynamic_cast<const CAGradientLayer*>(&layer)) {
        if (auto cs = as<std::vector<CGColor>>(v); cs && k == "colors") return p.colors = *cs, true;
        if (auto ls = as<std::vector<CGFloat>>(v); ls && k == "locations") return p.locations = *ls, true;
    }
    return false;
}

bool CAKeyPath::setModelValue(CALayer& layer, const std::string& k, const CAValue& v) {
    auto num = as<double>(v);
    auto point = as<CGPoint>(v);
    auto color = as<CGColor>(v);
    if (k == "opacity" && num) return layer.setOpacity(float(*num)), true;
    if (k == "position" && point) return layer.setPosition(*point), true;
    if (k == "position.x" && num) return layer.setPosition({*num, layer.position().y}), true;
    if (k == "position.y" && num) return layer.setPosition({layer.position().x, *num}), true;
    if (k == "bounds") {
        if (auto r = as<CGRect>(v)) return layer.setBounds(*r), true;
        return false;
    }
    if (k == "bounds.origin" && point) return layer.setBounds({*point, layer.bounds().size}), true;
    if (k == "bounds.size") {
        if (auto s = as<CGSize>(v)) return layer.setBounds({layer.bounds().origin, *s}), true;
        return false;
    }
    if (k == "transform") {
        if (auto t = as<CATransform3D>(v)) return layer.setTransform(*t), true;
        return false;
    }
    if (isTransformSubPath(k) && num) {
        auto sub = subTransform(k, *num);
        if (!sub) return false;
        layer.setTransform(*sub);
        return true;
    }
    if (k == "backgroundColor") {
        if (color) return layer.setBackgroundColor(*color), true;
        if (CAValueIsNone(v)) return layer.setBackgroundColor(std::nullopt), true;
        return false;
    }
    if (k == "cornerRadius" && num) return layer.setCornerRadius(*num), true;
    if (k == "borderWidth" && num) return layer.setBorderWidth(*num), true;
    if (k == "borderColor" && color) return layer.setBorderColor(*color), true;
    if (k == "shadowOpacity" && num) return layer.setShadowOpacity(float(*num)), true;
    if (k == "contents") {
        if (auto img = as<std::shared_ptr<CGImage>>(v)) return layer.setContents(*img), true;
        return false;
    }
    if (auto g = dynamic_cast<CAGradientLayer*>(&layer); g && k == "colors") {
        if (auto cs = as<std::vector<CGColor>>(v)) return g->setColors(*cs), true;
        return false;
    }
    if (auto g = dynamic_cast<CAGradientLayer*>(&layer); g && k == "locations") {
        if (auto ls = as<std::vector<CGFloat>>(v)) return g->setLocations(*ls), true;
        return false;
    }
    auto shape = dynamic_cast<CAShapeLayer*>(&layer);
    if (!shape) return false;
    if (k == "path") {
        if (auto path = as<CGPath>(v)) return shape->setPath(*path), true;
        return false;
    }
    if (k == "fillColor" || k == "strokeColor") {
        std::optional<CGColor> c;
        if (color)
            c = *color;
        else if (!CAValueIsNone(v))
            return false;
        k == "fillColor" ? shape->setFillColor(c) : shape->setStrokeColor(c);
        return true;
    }
    if (k == "lineWidth" && num) return shape->setLineWidth(*num), true;
    if (k == "strokeStart" && num) return shape->setStrokeStart(*num), true;
    if (k == "strokeEnd" && num) return shape->setStrokeEnd(*num), true;
    return false;
}
