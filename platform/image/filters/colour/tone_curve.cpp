// "CIToneCurve": five points joined by a natural cubic spline, applied to red, green and blue in
// a gamma-2 encoding of the working values: y = S(sqrt(x))^2.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/image/ci_vector.h"
#include "platform/image/engine/kernels.h"
#include "platform/image/filters/colour/spline.h"
#include "platform/image/filters/filter_support.h"

namespace {

class ToneCurveOp final : public PointOp {
public:
    explicit ToneCurveOp(const NaturalSpline& spline) : pieces_(spline.powerForm()) {}
    void apply(const PixelSpan& s) const override {
        for (float* p : {s.r, s.g, s.b}) kernels::gammaTwoCurve(p, s.n, pieces_);
    }
    std::string label() const override { return "tone curve"; }

private:
    kernels::CubicSegments pieces_;
};

class ToneCurveFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        if (!input) return nullptr;
        if (!op_) {
            std::vector<std::pair<double, double>> points;
            for (int i = 0; i < 5; ++i) {
                auto v = vectorInput("inputPoint" + std::to_string(i));
                if (!v) return nullptr;
                points.emplace_back(v->X(), v->Y());
            }
            op_ = std::make_shared<ToneCurveOp>(NaturalSpline(std::move(points)));
        }
        return imageWithPointOp(input, op_);
    }

protected:
    explicit ToneCurveFilter(const FilterDescription& d) : CIFilter(d) {}
    void inputChanged(const std::string& key) override {
        if (key != kCIInputImageKey) op_.reset();
    }

private:
    mutable std::shared_ptr<const PointOp> op_;
};

}  // namespace

std::shared_ptr<CIFilter> makeToneCurveFilter(const FilterDescription& d) {
    return makeFilter<ToneCurveFilter>(d);
}
