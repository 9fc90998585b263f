// "CIStraightenFilter": rotates the image by inputAngle about the centre of its extent and
// scales it up just enough that the rotated picture covers the whole original extent, which is
// the output's extent (no transparent or blended corners).
#include <algorithm>
#include <cmath>

#include "platform/image/filters/filter_kit.h"

namespace {

std::shared_ptr<CIImage> straighten(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const double angle = f.numberInput(kCIInputAngleKey, 0.0);
    const CGRect e = input->extent();
    if (angle == 0 || !std::isfinite(angle) || CGRectIsInfinite(e) || CGRectIsEmpty(e)) return input;
    const double w = e.size.width, h = e.size.height, c = std::fabs(std::cos(angle)), s = std::fabs(std::sin(angle));
    // Covers the extent with a pixel of the input to spare on every side, so no output pixel
    // blends in the transparency beyond the input's edge.
    const double iw = w > 4 ? w - 2 : w, ih = h > 4 ? h - 2 : h;
    const double scale = std::max((w * c + h * s) / iw, (w * s + h * c) / ih);
    const double cx = CGRectGetMidX(e), cy = CGRectGetMidY(e);
    CGAffineTransform t = CGAffineTransformMakeTranslation(cx, cy);
    t = CGAffineTransformRotate(t, angle);
    t = CGAffineTransformScale(t, scale, scale);
    t = CGAffineTransformTranslate(t, -cx, -cy);
    return input->imageByApplyingTransform(t)->imageByCroppingToRect(e);
}

}  // namespace

std::shared_ptr<CIFilter> makeStraightenFilter(const FilterDescription& d) {
    return makeFunctionFilter<straighten>(d);
}
