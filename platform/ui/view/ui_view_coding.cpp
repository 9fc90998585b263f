// The coder road of views: the archived properties every view carries. A frame is four numbers
// (x, y, width, height); a colour is its components, two for grey and four for RGB.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/ui/view/ui_view.h"

namespace {
constexpr const char* kFrameKey = "UIFrame";
constexpr const char* kTagKey = "UITag";
constexpr const char* kHiddenKey = "UIHidden";
constexpr const char* kAlphaKey = "UIAlpha";
constexpr const char* kBackgroundColorKey = "UIBackgroundColor";

// The numbers of an array of finite numbers; empty for anything else.
std::vector<double> finiteNumbers(const Value& v) {
    std::vector<double> out;
    if (!v.isArray()) return out;
    for (const Value& item : *v.arrayPtr()) {
        if (!item.isNumber() || !std::isfinite(item.doubleValue())) return {};
        out.push_back(item.doubleValue());
    }
    return out;
}

std::shared_ptr<UIColor> decodeColor(const Value& v) {
    auto c = finiteNumbers(v);
    if (c.size() == 2) return UIColor::colorWithWhite(c[0], c[1]);
    if (c.size() == 4) return UIColor::colorWithRed(c[0], c[1], c[2], c[3]);
    return nullptr;
}

Value encodeColor(const UIColor& color) {
    CGColor c = color.cgColor();
    if (c.isPattern()) return Value();
    Value out = Value::array();
    for (CGFloat component : c.components()) out.append(Value(component));
    return out;
}
}  // namespace

void UIView::initWithCoder(const NSCoder& coder) {
    init();
    decodeViewProperties(coder);
}

void UIView::decodeViewProperties(const NSCoder& coder) {
    auto f = finiteNumbers(coder.decodeObjectForKey(kFrameKey));
    if (f.size() == 4) setFrame(CGRect{{f[0], f[1]}, {f[2], f[3]}});
    setTag(coder.decodeIntegerForKey(kTagKey));
    setHidden(coder.decodeBoolForKey(kHiddenKey));
    if (coder.containsValueForKey(kAlphaKey)) {
        double alpha = coder.decodeDoubleForKey(kAlphaKey);
        if (std::isfinite(alpha)) setAlpha(std::clamp(alpha, 0.0, 1.0));
    }
    if (auto color = decodeColor(coder.decodeObjectForKey(kBackgroundColorKey))) setBackgroundColor(color);
}

void UIView::encodeWithCoder(NSCoder& coder) const {
    CGRect f = frame();
    coder.encodeObject(Value::array({f.origin.x, f.origin.y, f.size.width, f.size.height}), kFrameKey);
    coder.encodeInteger(tag(), kTagKey);
    coder.encodeBool(isHidden(), kHiddenKey);
    coder.encodeDouble(alpha(), kAlphaKey);
    if (backgroundColor_) coder.encodeObject(encodeColor(*backgroundColor_), kBackgroundColorKey);
}
