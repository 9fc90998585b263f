// Type 14: three rings chasing each other round a triangle. Their moves are written as point
// templates ("hx" half the reach across, "fx" all of it; likewise "hy", "fy").
#include <cctype>
#include <cstdio>

#include "platform/dispatch/clock.h"
#include "platform/runtime/geometry_string.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {

struct Corner {
    double x, y;  // in units of the ring's side, from the box's origin
    const char* templates[4];
};

// Every occurrence of the two-letter word, in any case, replaced by the text.
std::string replacedIgnoringCase(const std::string& text, const char* word, const std::string& by) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool match = i + 1 < text.size() && std::tolower(static_cast<unsigned char>(text[i])) == word[0] &&
                     std::tolower(static_cast<unsigned char>(text[i + 1])) == word[1];
        if (match) {
            out += by;
            i += 2;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string formatted(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", v);
    return buffer;
}

}  // namespace

std::shared_ptr<CAShapeLayer> BusyIndicatorBallTrianglePathAnimation::createCircleWithSize(
    double side, const std::shared_ptr<UIColor>& color) {
    auto circle = CAShapeLayer::make();
    circle->setPath(UIBezierPath::bezierPathWithRoundedRect(CGRectMake(0, 0, side, side), side / 2)->cgPath());
    circle->setFillColor(std::nullopt);
    circle->setStrokeColor(color->cgColor());
    circle->setLineWidth(1);
    return circle;
}

std::string BusyIndicatorBallTrianglePathAnimation::translate(const std::string& text, double dx, double dy) {
    std::string out = text;
    const std::pair<const char*, double> words[] = {{"hx", dx}, {"fx", 2 * dx}, {"hy", dy}, {"fy", 2 * dy}};
    for (const auto& [word, value] : words) out = replacedIgnoringCase(out, word, formatted(value));
    return out;
}

std::shared_ptr<CAKeyframeAnimation> BusyIndicatorBallTrianglePathAnimation::changeAnimation(
    const std::shared_ptr<CAKeyframeAnimation>& animation, const std::vector<std::string>& templates, double dx,
    double dy) {
    std::vector<CAValue> values;
    values.reserve(5);
    for (const auto& t : templates) {
        CGPoint p = CGPointFromString(translate(t, dx, dy));
        values.push_back(CATransform3DMakeTranslation(p.x, p.y, 0));
    }
    animation->setValues(std::move(values));
    return animation;
}

void BusyIndicatorBallTrianglePathAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                   const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width, h = size.height, d = w / 5, half = d / 2;
    double dx = w / 2 - half, dy = h / 2 - half;
    CGPoint o = contentOrigin(*layer, size);
    auto ease = named(kCAMediaTimingFunctionEaseInEaseOut);
    auto move = keyframes("transform", {0, 0.33, 0.66, 1}, {}, 2, repeated(ease, 3));
    const std::pair<CGRect, std::vector<std::string>> rings[] = {
        {CGRectMake(o.x + w / 2 - half, o.y, d, d), {"{0,0}", "{hx,fy}", "{-hx,fy}", "{0,0}"}},
        {CGRectMake(o.x, o.y + h - d, d, d), {"{0,0}", "{hx,-fy}", "{fx,0}", "{0,0}"}},
        {CGRectMake(o.x + w - d, o.y + h - d, d, d), {"{0,0}", "{-fx,0}", "{-hx,-fy}", "{0,0}"}},
    };
    for (const auto& [frame, templates] : rings) {
        auto circle = createCircleWithSize(d, tintColor);
        changeAnimation(move, templates, dx, dy);
        circle->setFrame(frame);
        attach(circle, move);
        layer->addSublayer(circle);
    }
}
