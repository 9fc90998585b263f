// "CIConvolution3X3", "5X5", "7X7", "9Horizontal", "9Vertical": weights row by row (top row
// first), summed over each neighbourhood on all four components, plus inputBias, clamped to 0...1.
// Outside the input's extent pixels are transparent. A weight vector of the wrong length gives no
// output.
#include <cmath>
#include <vector>

#include "platform/image/engine/convolution_node.h"
#include "platform/image/filters/filter_kit.h"

namespace {

template <int Columns, int Rows>
std::shared_ptr<CIImage> convolution(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    auto v = f.vectorInput("inputWeights");
    if (!input || !v || v->count() != static_cast<std::size_t>(Columns * Rows)) return nullptr;
    std::vector<float> w(v->count());
    for (std::size_t i = 0; i < w.size(); ++i) {
        w[i] = static_cast<float>(v->valueAtIndex(i));
        if (!std::isfinite(w[i])) return nullptr;
    }
    const double bias = f.numberInput("inputBias", 0.0);
    if (!std::isfinite(bias)) return nullptr;
    return CIImage::withNode(
        std::make_shared<ConvolutionNode>(input->node(), std::move(w), Columns, Rows, static_cast<float>(bias)));
}

}  // namespace

std::shared_ptr<CIFilter> makeConvolution3X3Filter(const FilterDescription& d) {
    return makeFunctionFilter<convolution<3, 3>>(d);
}
std::shared_ptr<CIFilter> makeConvolution5X5Filter(const FilterDescription& d) {
    return makeFunctionFilter<convolution<5, 5>>(d);
}
std::shared_ptr<CIFilter> makeConvolution7X7Filter(const FilterDescription& d) {
    return makeFunctionFilter<convolution<7, 7>>(d);
}
std::shared_ptr<CIFilter> makeConvolution9HorizontalFilter(const FilterDescription& d) {
    return makeFunctionFilter<convolution<9, 1>>(d);
}
std::shared_ptr<CIFilter> makeConvolution9VerticalFilter(const FilterDescription& d) {
    return makeFunctionFilter<convolution<1, 9>>(d);
}
