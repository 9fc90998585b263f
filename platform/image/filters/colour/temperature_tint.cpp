// "CITemperatureAndTint": white balance. inputNeutral (kelvin, tint) is the white of the scene
// as shot; inputTargetNeutral is what that white becomes. Whites come from the Planckian locus
// (tint moves across it, positive towards magenta, 3000 units per unit of Duv), and colours are
// adapted between them with the Bradford transform in linear Rec. 709 RGB.
#include <algorithm>
#include <cmath>

#include "platform/image/ci_vector.h"
#include "platform/image/color_space.h"
#include "platform/image/engine/color_transform.h"
#include "platform/image/engine/kernels.h"
#include "platform/image/filters/filter_support.h"

namespace {

// Kim et al.'s cubic fit of the Planckian locus, 1667 K to 25000 K.
Chromaticity planckian(double t) {
    t = std::clamp(t, 1667.0, 25000.0);
    const double t2 = t * t, t3 = t2 * t;
    double x = t <= 4000 ? -0.2661239e9 / t3 - 0.2343589e6 / t2 + 0.8776956e3 / t + 0.179910
                         : -3.0258469e9 / t3 + 2.1070379e6 / t2 + 0.2226347e3 / t + 0.240390;
    double y = t <= 2222   ? -1.1063814 * x * x * x - 1.34811020 * x * x + 2.18555832 * x - 0.20219683
               : t <= 4000 ? -0.9549476 * x * x * x - 1.37418593 * x * x + 2.09137015 * x - 0.16748867
                           : 3.0817580 * x * x * x - 5.87338670 * x * x + 3.75112997 * x - 0.37001483;
    return {x, y};
}

Chromaticity whiteOf(double kelvin, double tint) {
    auto uv = [](Chromaticity c) {
        double d = -2 * c.x + 12 * c.y + 3;
        return std::pair<double, double>{4 * c.x / d, 6 * c.y / d};
    };
    auto [u, v] = uv(planckian(kelvin));
    auto [u2, v2] = uv(planckian(kelvin * 1.01));
    double du = u2 - u, dv = v2 - v, len = std::hypot(du, dv);
    if (len > 0) {
        double shift = tint / 3000.0;
        u += -dv / len * shift;
        v += du / len * shift;
    }
    double d = 2 * u - 8 * v + 4;
    return {3 * u / d, 2 * v / d};
}

class MatrixOp final : public PointOp {
public:
    explicit MatrixOp(const std::array<double, 9>& m) {
        for (int i = 0; i < 9; ++i) m_[i] = static_cast<float>(m[i]);
    }
    void apply(const PixelSpan& s) const override { kernels::matrix3(s.r, s.g, s.b, s.n, m_, nullptr); }
    bool straightAlpha() const override { return false; }  // linear in colour
    std::string label() const override { return "white balance"; }

private:
    float m_[9];
};

class TemperatureAndTintFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        auto from = vectorInput("inputNeutral");
        auto to = vectorInput("inputTargetNeutral");
        if (!input || !from || !to) return nullptr;
        if (from->X() == to->X() && from->Y() == to->Y()) return input;
        auto rec709 = CGColorSpace::createWithName(kCGColorSpaceLinearSRGB);
        const auto toXYZ = rec709->toXYZ();
        auto m =
            multiply3(invert3(toXYZ),
                      multiply3(chromaticAdaptation(whiteOf(from->X(), from->Y()), whiteOf(to->X(), to->Y())), toXYZ));
        return imageWithPointOp(input, std::make_shared<MatrixOp>(m));
    }

protected:
    explicit TemperatureAndTintFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeTemperatureAndTintFilter(const FilterDescription& d) {
    return makeFilter<TemperatureAndTintFilter>(d);
}
