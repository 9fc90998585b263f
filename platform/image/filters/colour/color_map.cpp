// "CIColorMap": each pixel's luma picks its colour from inputGradientImage (left: dark, right:
// light).
#include "platform/image/engine/mix_nodes.h"
#include "platform/image/filters/filter_kit.h"

namespace {

std::shared_ptr<CIImage> colorMap(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    auto gradient = f.imageInput("inputGradientImage");
    if (!input || !gradient) return nullptr;
    return CIImage::withNode(std::make_shared<ColorMapNode>(input->node(), gradient->node()));
}

}  // namespace

std::shared_ptr<CIFilter> makeColorMapFilter(const FilterDescription& d) {
    return makeFunctionFilter<colorMap>(d);
}
