// ColorTransformPlan: converts planar premultiplied pixels from one colour space to another.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/image/color_space.h"

// Bradford chromatic adaptation from one white to another, in CIE XYZ (row-major 3x3).
std::array<double, 9> chromaticAdaptation(const Chromaticity& from, const Chromaticity& to);
// Row-major 3x3 helpers.
std::array<double, 9> multiply3(const std::array<double, 9>& a, const std::array<double, 9>& b);
std::array<double, 9> invert3(const std::array<double, 9>& m);

class ColorTransformPlan {
public:
    // None when no conversion is needed: either space is none (no colour management) or both
    // are the same. Plans are made once per pair and shared.
    static std::shared_ptr<const ColorTransformPlan> between(const std::shared_ptr<CGColorSpace>& from,
                                                             const std::shared_ptr<CGColorSpace>& to);

    // Converts n premultiplied pixels in place.
    void apply(float* r, float* g, float* b, const float* a, std::size_t n) const;
    // One straight colour.
    void applyToColor(float rgb[3]) const;

    ColorTransformPlan(const CGColorSpace& from, const CGColorSpace& to);

private:
    std::vector<float> decode_;  // encoded -> linear, empty when linear
    std::vector<float> encode_;  // linear -> encoded, empty when linear
    float matrix_[9];
    bool hasMatrix_ = false;
    bool toGray_ = false;
};
