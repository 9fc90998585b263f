// "CINoiseReduction": differences in luma below inputNoiseLevel are smoothed away over each 3 x 3
// neighbourhood; what remains is sharpened by inputSharpness.
#include <memory>

#include "platform/image/engine/neighbourhood_nodes.h"
#include "platform/image/filters/filter_support.h"

namespace {

class NoiseReductionFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        if (!input) return nullptr;
        const double level = numberInput("inputNoiseLevel", 0.02);
        const double sharpness = numberInput("inputSharpness", 0.4);
        if (level <= 0 && sharpness == 0) return input;
        return CIImage::withNode(std::make_shared<NoiseReductionNode>(input->node(), static_cast<float>(level),
                                                                      static_cast<float>(sharpness)));
    }

protected:
    explicit NoiseReductionFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeNoiseReductionFilter(const FilterDescription& d) {
    return makeFilter<NoiseReductionFilter>(d);
}
