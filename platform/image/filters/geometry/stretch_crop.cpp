// "CIStretchCrop": fits the input to inputSize (the output, at the origin) by scaling it to the
// output's height, then removing the difference in width partly by cropping the sides
// (inputCropAmount of it) and the rest by stretching or squeezing horizontally. The horizontal
// map is v = a u + (1 - a) u^3 over -1...1: inputCenterStretchAmount 1 stretches evenly, 0 keeps
// the centre undistorted and bends only towards the sides. Edges extend to the output's border.
#include <algorithm>
#include <cmath>

#include "platform/image/engine/warp_node.h"
#include "platform/image/filters/filter_kit.h"

namespace {

std::shared_ptr<CIImage> stretchCrop(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    auto size = f.vectorInput("inputSize");
    if (!input || !size) return nullptr;
    const CGRect e = input->extent();
    const double W = std::floor(size->X()), H = std::floor(size->Y());
    if (CGRectIsInfinite(e) || CGRectIsEmpty(e) || !(W >= 1 && H >= 1 && W <= 1e6 && H <= 1e6)) return nullptr;
    const double crop = std::clamp(f.numberInput("inputCropAmount", 0.25), 0.0, 1.0);
    const double centre = std::clamp(f.numberInput("inputCenterStretchAmount", 0.25), 0.0, 1.0);
    const double ky = H / e.size.height;
    const double scaled = e.size.width * ky;
    const double used = scaled - crop * std::max(0.0, scaled - W);  // output pixels' worth of input kept
    const double halfSource = used / (2 * ky), halfOut = W / 2;
    const double a = std::clamp(centre + (1 - centre) * (W / used), 0.0, 1.5);
    const double mx = CGRectGetMidX(e), y0 = e.origin.y;
    return CIImage::withNode(std::make_shared<WarpNode>(
        input->node(), CGRectMake(0, 0, W, H),
        [=](double x, double y, double& sx, double& sy) {
            const double u = (x - halfOut) / halfOut;
            sx = mx + (a * u + (1 - a) * u * u * u) * halfSource;
            sy = y0 + y / ky;
            return true;
        },
        "stretch crop", true));
}

}  // namespace

std::shared_ptr<CIFilter> makeStretchCropFilter(const FilterDescription& d) {
    return makeFunctionFilter<stretchCrop>(d);
}
