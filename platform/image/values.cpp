// Text forms and parsing of the small image values (colours, vectors, boxed transforms).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/image/affine_value.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_vector.h"

namespace {

// Shortest text that reads back as the same double.
std::string number(CGFloat v) {
    char buf[32];
    // Exponents only for very large or very small magnitudes, as the platform prints them.
    const double magnitude = std::fabs(v);
    const bool plain = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e16);
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, v);
        if (std::strtod(buf, nullptr) == v && (!plain || !std::strchr(buf, 'e'))) break;
    }
    return buf;
}

std::vector<CGFloat> numbersIn(std::string_view text) {
    std::string s(text);
    std::vector<CGFloat> out;
    const char* p = s.c_str();
    while (*p) {
        char* end = nullptr;
        double v = std::strtod(p, &end);
        if (end == p) {
            ++p;  // skip brackets, commas and spaces
            continue;
        }
        out.push_back(v);
        p = end;
    }
    return out;
}

}  // namespace

std::shared_ptr<CIColor> CIColor::colorWithRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a,
                                               std::shared_ptr<CGColorSpace> space) {
    return make(r, g, b, a, std::move(space));
}

std::shared_ptr<CIColor> CIColor::colorWithString(std::string_view text) {
    auto n = numbersIn(text);
    if (n.size() < 3) return nullptr;
    return colorWithRed(n[0], n[1], n[2], n.size() > 3 ? n[3] : 1.0);
}

std::string CIColor::stringRepresentation() const {
    return number(c_[0]) + " " + number(c_[1]) + " " + number(c_[2]) + " " + number(c_[3]);
}

std::string CIColor::description() const {
    return "<CIColor (" + stringRepresentation() + ")" + (space_ ? " " + space_->name() : std::string()) + ">";
}

bool CIColor::isEqual(const NSObject& other) const {
    auto* o = dynamic_cast<const CIColor*>(&other);
    if (!o) return false;
    for (int i = 0; i < 4; ++i)
        if (o->c_[i] != c_[i]) return false;
    if (!space_ || !o->space_) return space_ == o->space_;
    return space_->isEqual(*o->space_);
}

std::shared_ptr<CIVector> CIVector::vectorWithValues(std::vector<CGFloat> values) {
    return make(std::move(values));
}
std::shared_ptr<CIVector> CIVector::vectorWithX(CGFloat x) {
    return make(std::vector<CGFloat>{x});
}
std::shared_ptr<CIVector> CIVector::vectorWithX(CGFloat x, CGFloat y) {
    return make(std::vector<CGFloat>{x, y});
}
std::shared_ptr<CIVector> CIVector::vectorWithX(CGFloat x, CGFloat y, CGFloat z) {
    return make(std::vector<CGFloat>{x, y, z});
}
std::shared_ptr<CIVector> CIVector::vectorWithX(CGFloat x, CGFloat y, CGFloat z, CGFloat w) {
    return make(std::vector<CGFloat>{x, y, z, w});
}
std::shared_ptr<CIVector> CIVector::vectorWithCGPoint(CGPoint p) {
    return vectorWithX(p.x, p.y);
}
std::shared_ptr<CIVector> CIVector::vectorWithCGRect(CGRect r) {
    return vectorWithX(r.origin.x, r.origin.y, r.size.width, r.size.height);
}
std::shared_ptr<CIVector> CIVector::vectorWithCGAffineTransform(const CGAffineTransform& t) {
    return make(std::vector<CGFloat>{t.a, t.b, t.c, t.d, t.tx, t.ty});
}
std::shared_ptr<CIVector> CIVector::vectorWithString(std::string_view text) {
    return make(numbersIn(text));
}

std::string CIVector::stringRepresentation() const {
    std::string s = "[";
    for (std::size_t i = 0; i < v_.size(); ++i) {
        if (i) s += ' ';
        s += number(v_[i]);
    }
    return s + "]";
}

std::string CIVector::description() const {
    return "<CIVector " + stringRepresentation() + ">";
}

bool CIVector::isEqual(const NSObject& other) const {
    auto* o = dynamic_cast<const CIVector*>(&other);
    return o && o->v_ == v_;
}

std::string AffineTransformValue::description() const {
    return "CGAffineTransform: {{" + number(t_.a) + ", " + number(t_.b) + ", " + number(t_.c) + ", " + number(t_.d) +
           "}, {" + number(t_.tx) + ", " + number(t_.ty) + "}}";
}
