// "CIAffineTransform": the input mapped by inputTransform (a boxed transform, or six numbers).
#include "platform/image/affine_value.h"
#include "platform/image/ci_vector.h"
#include "platform/image/filters/filter_support.h"

namespace {

class AffineTransformFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        if (!input) return nullptr;
        const Value v = valueForKey(kCIInputTransformKey);
        CGAffineTransform t = CGAffineTransformIdentity;
        if (auto boxed = v.objectAs<AffineTransformValue>())
            t = boxed->CGAffineTransformValue();
        else if (auto vector = v.objectAs<CIVector>(); vector && vector->count() == 6)
            t = vector->CGAffineTransformValue();
        return input->imageByApplyingTransform(t);
    }

protected:
    explicit AffineTransformFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeAffineTransformFilter(const FilterDescription& d) {
    return makeFilter<AffineTransformFilter>(d);
}
