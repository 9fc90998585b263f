// "CISourceOverCompositing": inputImage laid over inputBackgroundImage.
#include "platform/image/filters/filter_support.h"

namespace {

class SourceOverFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        auto background = imageInput(kCIInputBackgroundImageKey);
        if (!input || !background) return nullptr;
        return input->imageByCompositingOverImage(background);
    }

protected:
    explicit SourceOverFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeSourceOverFilter(const FilterDescription& d) {
    return makeFilter<SourceOverFilter>(d);
}
