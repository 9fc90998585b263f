// The values an animation moves between, with interpolation, and reading and writing them on a
// layer by key path ("opacity", "position.x", "transform.scale", "strokeEnd", ...).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/transform3d.h"

class CALayer;
class CGImage;
struct CALayerPresentation;

using CAValue = std::variant<std::monostate, double, CGPoint, CGSize, CGRect, CATransform3D, CGColor, CGPath,
                             std::shared_ptr<CGImage>, std::vector<CGColor>, std::vector<CGFloat>>;

inline bool CAValueIsNone(const CAValue& v) {
    return std::holds_alternative<std::monostate>(v);
}
// The number a value holds, or none.
std::optional<double> CAValueNumber(const CAValue& v);

// The value a fraction t of the way from a to b (t may leave 0...1 for springs and overshooting
// curves). Values that cannot blend (images, paths of different shapes, mismatched kinds) switch
// at the half-way point.
CAValue CAValueInterpolate(const CAValue& a, const CAValue& b, double t);
// a + b and b - a for the kinds that have them (numbers, points, sizes, rects; transforms concatenate);
// none otherwise.
CAValue CAValueAdd(const CAValue& a, const CAValue& b);
CAValue CAValueSubtract(const CAValue& b, const CAValue& a);
CAValue CAValueScale(const CAValue& a, double k);

// Key-path access on layers. The presentation reads use the presented value where one is set.
class CAKeyPath {
public:
    // Whether the engine knows how to show this key path.
    static bool isAnimatable(const std::string& keyPath);
    // The model value of the layer at the key path; none for an unknown path.
    static CAValue modelValue(const CALayer& layer, const std::string& keyPath);
    // The value shown: the presentation's field where set, else the model value.
    static CAValue presentedValue(const CALayer& layer, const CALayerPresentation* presentation,
                                  const std::string& keyPath);
    // Writes the value into the presentation record (sub-paths of transform compose with what is
    // already presented). Answers false for unknown paths or a value of the wrong kind.
    static bool applyToPresentation(const CALayer& layer, CALayerPresentation& presentation, const std::string& keyPath,
                                    const CAValue& value);
    // Sets the model value (used to snap and by key-value callers). false when unknown.
    static bool setModelValue(CALayer& layer, const std::string& keyPath, const CAValue& value);
};
