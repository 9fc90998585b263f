// "CIAreaAverage": the average colour of inputExtent as a one-pixel image at its origin.
#include <memory>

#include "platform/image/ci_vector.h"
#include "platform/image/engine/fill_nodes.h"
#include "platform/image/filters/filter_support.h"

namespace {

class AreaAverageFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        auto v = vectorInput(kCIInputExtentKey);
        if (!input || !v) return nullptr;
        CGRect area = CGRectStandardize(v->CGRectValue());
        if (CGRectIsEmpty(area) || CGRectIsInfinite(area)) return nullptr;
        return CIImage::withNode(std::make_shared<AreaAverageNode>(input->node(), area));
    }

protected:
    explicit AreaAverageFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeAreaAverageFilter(const FilterDescription& d) {
    return makeFilter<AreaAverageFilter>(d);
}
