// Helpers shared by the filter implementations.
#include "platform/image/filters/filter_support.h"

std::shared_ptr<CIImage> imageWithPointOp(const std::shared_ptr<CIImage>& input, std::shared_ptr<const PointOp> op) {
    if (!input) return nullptr;
    if (!op) return input;
    return CIImage::withNode(applyPoint(input->node(), std::move(op)));
}
