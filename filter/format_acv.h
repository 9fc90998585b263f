// FormatACV: tone-curve files turned into a 20x20x20 colour-cube filter description behind a
// fixed chain of face and tone filters.
//
// A curve file is big-endian u16 throughout: version, curve count, then per curve a point count
// and (output, input) pairs. Curve 0 is the composite, 1..3 red, green and blue. Every read is
// bounds-checked: a short or malformed file gives none. Stateless and thread-safe.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"

class FormatACV {
public:
    // Points as (input, output), in file order.
    using Curve = std::vector<CGPoint>;

    static constexpr int kCubeDimension = 20;

    // The curves of a file; none when the file is shorter than its counts announce or a point's
    // input lies outside 0...255.
    static std::optional<std::vector<Curve>> parse0(const Bytes& data);
    // The colour-cube description with the given pre-chain as its input image; none for a file
    // that is malformed, has fewer than four curves, or a curve without two distinct inputs.
    static Value parse0(const Bytes& data, const std::string& disp, const Value& pre);
    static Value parseSelfie(const Bytes& data, const std::string& disp);
    static Value parseNoSelfie(const Bytes& data, const std::string& disp) { return parseSelfie(data, disp); }
    static Value parseSelfie1(const Bytes& data, const std::string& disp);

    // The pre-chains: face balance, noise reduction, tone curve, vignette; or median, noise
    // reduction, vibrance.
    static Value portraitPreChain();
    static Value alternativePreChain();

    // The 256-entry lookup of (red, green, blue) in 0...1; none as parse0.
    static std::optional<std::vector<std::array<float, 3>>> lookup(const Bytes& data);
    // The cube of a lookup: 8000 entries (r, g, b, 1), red fastest, as a packed colour table.
    static Value cube(const std::vector<std::array<float, 3>>& lookup);
    // Grid index 0..19 to lookup index.
    static int gridIndex(int k);

    // Deltas (output - input) per input value; empty when the curve has no spline.
    static std::vector<float> getPreparedSplineCurve(const Curve& curve);
    // Samples of the natural cubic spline through points sorted by input; none below two points.
    static std::optional<Curve> splineCurve(const Curve& points);
    static std::optional<std::vector<double>> secondDerivative(const Curve& points);
};
