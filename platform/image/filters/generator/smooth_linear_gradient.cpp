// "CISmoothLinearGradient": inputColor0 at inputPoint0 blending into inputColor1 at inputPoint1
// along the line between them, with the smoothstep ease 3t^2 - 2t^3; constant beyond either
// point and across the line. Infinite extent. Coincident points give colour 1 everywhere.
// The colours are taken into the working space like any colour image and mixed there
// (premultiplied); the ease is a grey ramp used as the mix's mask.
#include <algorithm>
#include <cmath>

#include "platform/image/engine/mix_nodes.h"
#include "platform/image/filters/filter_kit.h"

namespace {

std::shared_ptr<CIImage> smoothLinearGradient(const CIFilter& f) {
    auto p0 = f.vectorInput("inputPoint0"), p1 = f.vectorInput("inputPoint1");
    if (!p0 || !p1) return nullptr;
    auto c0 = colorValue(f, "inputColor0"), c1 = colorValue(f, "inputColor1");
    if (!c0) c0 = CIColor::colorWithRed(1, 1, 1, 1);
    if (!c1) c1 = CIColor::colorWithRed(0, 0, 0, 1);
    const double x0 = p0->X(), y0 = p0->Y(), dx = p1->X() - x0, dy = p1->Y() - y0;
    const double len2 = dx * dx + dy * dy;
    if (!std::isfinite(len2)) return nullptr;
    auto plane = CIImage::imageWithColor(CIColor::colorWithRed(0, 0, 0, 0));
    auto ramp = imageWithPointOp(plane, positionOp(
                                            "smooth ramp",
                                            [=](double x, double y, float& r, float& g, float& b, float& a) {
                                                const double along = (x - x0) * dx + (y - y0) * dy;
                                                double t = len2 > 0 ? std::clamp(along / len2, 0.0, 1.0)
                                                                    : (along >= 0 ? 1.0 : 0.0);
                                                r = g = b = static_cast<float>(t * t * (3 - 2 * t));
                                                a = 1;
                                            },
                                            true));
    return CIImage::withNode(std::make_shared<MaskMixNode>(CIImage::imageWithColor(c0)->node(),
                                                           CIImage::imageWithColor(c1)->node(), ramp->node()));
}

}  // namespace

std::shared_ptr<CIFilter> makeSmoothLinearGradientFilter(const FilterDescription& d) {
    return makeFunctionFilter<smoothLinearGradient>(d);
}
