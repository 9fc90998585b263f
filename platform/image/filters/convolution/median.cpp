// "CIMedianFilter": the median of each 3 x 3 neighbourhood, component by component.
#include "platform/image/engine/convolution_node.h"
#include "platform/image/filters/filter_kit.h"

namespace {

std::shared_ptr<CIImage> median(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    return CIImage::withNode(std::make_shared<MedianNode>(input->node()));
}

}  // namespace

std::shared_ptr<CIFilter> makeMedianFilter(const FilterDescription& d) {
    return makeFunctionFilter<median>(d);
}
