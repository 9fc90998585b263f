// Pacing curves: a cubic Bezier from (0, 0) to (1, 1) mapping elapsed time to progress.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/runtime/object.h"

inline constexpr const char* kCAMediaTimingFunctionLinear = "linear";
inline constexpr const char* kCAMediaTimingFunctionEaseIn = "easeIn";
inline constexpr const char* kCAMediaTimingFunctionEaseOut = "easeOut";
inline constexpr const char* kCAMediaTimingFunctionEaseInEaseOut = "easeInEaseOut";
inline constexpr const char* kCAMediaTimingFunctionDefault = "default";

class CAMediaTimingFunction : public NSObject {
public:
    // A named curve; an unknown name gives the linear curve.
    static std::shared_ptr<CAMediaTimingFunction> functionWithName(const std::string& name);
    static std::shared_ptr<CAMediaTimingFunction> functionWithControlPoints(float c1x, float c1y, float c2x, float c2y);

    // Progress at the time fraction x (0...1).
    double evaluate(double x) const;
    // Control point 0...3 as (x, y) in single precision, as the platform reports them.
    std::array<float, 2> controlPoint(std::size_t index) const;
    const std::string& name() const { return name_; }

    std::string className() const override { return "CAMediaTimingFunction"; }

protected:
    CAMediaTimingFunction(float c1x, float c1y, float c2x, float c2y, std::string name)
        : c1x_(c1x), c1y_(c1y), c2x_(c2x), c2y_(c2y), name_(std::move(name)) {}

private:
    float c1x_, c1y_, c2x_, c2y_;
    std::string name_;
};
