// "CIGaussianBlur": a Gaussian of standard deviation inputRadius; the extent grows by three
// deviations and edges fade to transparent (clamp the input first to avoid that).
#include <memory>

#include "platform/image/engine/neighbourhood_nodes.h"
#include "platform/image/filters/filter_support.h"

namespace {

class GaussianBlurFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        if (!input) return nullptr;
        const double radius = numberInput(kCIInputRadiusKey, 10.0);
        if (!(radius > 0)) return input;
        return CIImage::withNode(std::make_shared<GaussianBlurNode>(input->node(), radius));
    }

protected:
    explicit GaussianBlurFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeGaussianBlurFilter(const FilterDescription& d) {
    return makeFilter<GaussianBlurFilter>(d);
}
