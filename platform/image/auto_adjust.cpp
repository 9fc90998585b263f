// The automatic adjustments an image offers: a tone curve that stretches its levels.
//
// The picture is rendered small without colour management and its luma histogram read. When the
// darkest and brightest half percent leave a range to gain, a CIToneCurve maps them to black and
// white. Face and red-eye corrections need face detection, which this build does not have, so
// they are never offered.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "platform/image/ci_context.h"
#include "platform/image/ci_filter.h"
#include "platform/image/ci_image.h"
#include "platform/image/ci_vector.h"

namespace {

constexpr double kSide = 256;  // the analysed rendering fits in kSide x kSide
constexpr double kClip = 0.005;

}  // namespace

std::vector<std::shared_ptr<CIFilter>> CIImage::autoAdjustmentFiltersWithOptions(const ValueDictionary& options) const {
    std::vector<std::shared_ptr<CIFilter>> filters;
    const Value* enhance = options.find(kCIImageAutoAdjustEnhance);
    if (enhance && !enhance->boolValue()) return filters;  // only red-eye was asked for
    CGRect e = extent();
    if (CGRectIsInfinite(e) || CGRectIsEmpty(e)) return filters;

    double s = std::min(1.0, kSide / std::max(e.size.width, e.size.height));
    auto small = imageByApplyingTransform(CGAffineTransformMakeScale(s, s));
    CGRect r = CGRectIntegral(small->extent());
    auto context = CIContext::contextWithOptions(
        {{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}, {kCIContextThreadCount, Value(1)}});
    const std::size_t w = static_cast<std::size_t>(r.size.width), h = static_cast<std::size_t>(r.size.height);
    std::vector<std::uint8_t> pixels(w * h * 4);
    if (!context->renderStraight(small, pixels.data(), w * 4, r, CIFormat::RGBA8, nullptr)) return filters;

    std::array<double, 256> histogram{};
    double total = 0;
    for (std::size_t i = 0; i < w * h; ++i) {
        const std::uint8_t* p = &pixels[i * 4];
        if (p[3] == 0) continue;
        int y = static_cast<int>(std::lround(0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]));
        histogram[static_cast<std::size_t>(std::clamp(y, 0, 255))] += 1;
        total += 1;
    }
    if (total == 0) return filters;
    auto percentile = [&](double q) {
        double seen = 0;
        for (int i = 0; i < 256; ++i) {
            seen += histogram[static_cast<std::size_t>(i)];
            if (seen >= q * total) return i / 255.0;
        }
        return 1.0;
    };
    const double lo = percentile(kClip), hi = percentile(1 - kClip);
    if (hi - lo < 0.1 || (lo < 0.02 && hi > 0.98)) return filters;

    // Points in the curve's gamma-2 encoding: value v sits at sqrt(v).
    auto curve = CIFilter::filterWithName("CIToneCurve");
    for (int i = 0; i < 5; ++i) {
        double f = i / 4.0;
        double x = std::sqrt(lo + (hi - lo) * f), y = std::sqrt(f);
        curve->setValue(Value(CIVector::vectorWithX(x, y)), "inputPoint" + std::to_string(i));
    }
    filters.push_back(curve);
    return filters;
}
