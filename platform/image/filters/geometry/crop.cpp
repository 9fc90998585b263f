// "CICrop": the input limited to inputRectangle (x, y, width, height).
#include <cmath>

#include "platform/image/ci_vector.h"
#include "platform/image/filters/filter_support.h"

namespace {

class CropFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        auto v = vectorInput("inputRectangle");
        if (!input || !v) return nullptr;
        CGRect r = v->CGRectValue();
        // The default rectangle is the platform's infinite one: nothing to crop.
        if (std::fabs(r.size.width) > 1e300 || std::fabs(r.size.height) > 1e300) return input;
        return input->imageByCroppingToRect(r);
    }

protected:
    explicit CropFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeCropFilter(const FilterDescription& d) {
    return makeFilter<CropFilter>(d);
}
