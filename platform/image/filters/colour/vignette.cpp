// "CIVignette": darkens (or, with negative intensity, lightens) towards the corners.
//
// With t the distance from the centre of the input's extent over (radius x half the extent's
// diagonal), colour is multiplied by 1 - intensity (1 - 1 / (1 + t^2)^2): the fall-off of a lens
// (cos^4 law), untouched at the centre and smooth everywhere.
#include <cmath>

#include "platform/image/engine/kernels.h"
#include "platform/image/filters/filter_support.h"

namespace {

class VignetteOp final : public PointOp {
public:
    VignetteOp(CGPoint centre, double k, float intensity) : centre_(centre), k_(k), intensity_(intensity) {}
    void apply(const PixelSpan& s) const override {
        kernels::vignette(s.r, s.g, s.b, s.a, s.n, static_cast<float>(s.x0 - centre_.x),
                          static_cast<float>(s.y0 - centre_.y), static_cast<float>(s.dx), static_cast<float>(s.dy),
                          static_cast<float>(k_), intensity_);
    }
    bool straightAlpha() const override { return false; }
    std::string label() const override { return "vignette"; }

private:
    CGPoint centre_;
    double k_;
    float intensity_;
};

class VignetteFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        if (!input) return nullptr;
        const double intensity = numberInput(kCIInputIntensityKey, 0.0);
        const double radius = numberInput(kCIInputRadiusKey, 1.0);
        const CGRect e = input->extent();
        if (intensity == 0 || CGRectIsInfinite(e) || CGRectIsEmpty(e)) return input;
        const double halfDiagonal = 0.5 * std::hypot(e.size.width, e.size.height);
        const double reach = radius * halfDiagonal;
        const double k = reach > 0 ? 1.0 / (reach * reach) : 1e30;
        return imageWithPointOp(input, std::make_shared<VignetteOp>(CGPointMake(CGRectGetMidX(e), CGRectGetMidY(e)), k,
                                                                    static_cast<float>(intensity)));
    }

protected:
    explicit VignetteFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeVignetteFilter(const FilterDescription& d) {
    return makeFilter<VignetteFilter>(d);
}
