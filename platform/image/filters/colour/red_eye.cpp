// "CIRedEyeCorrection": inputCorrectionInfo lists the eyes to mend, each a CIVector (x, y,
// radius) in image coordinates (an array of them, or one vector of 3k numbers). Inside each circle
// a pixel whose red stands out over green and blue takes the mean of green and blue as its red,
// fading out over the outer fifth of the circle. Without eyes the image is returned as it is.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/image/filters/filter_kit.h"

namespace {

struct Eye {
    double x, y, r;
};

std::vector<Eye> eyesOf(const Value& v) {
    std::vector<double> n;
    if (auto vector = v.objectAs<CIVector>()) {
        for (std::size_t i = 0; i < vector->count(); ++i) n.push_back(vector->valueAtIndex(i));
    } else if (v.isArray()) {
        for (const Value& e : *v.arrayPtr())
            if (auto ev = e.objectAs<CIVector>(); ev && ev->count() >= 3)
                n.insert(n.end(), {ev->X(), ev->Y(), ev->Z()});
    }
    std::vector<Eye> eyes;
    for (std::size_t i = 0; i + 3 <= n.size(); i += 3)
        if (n[i + 2] > 0 && std::isfinite(n[i]) && std::isfinite(n[i + 1]) && std::isfinite(n[i + 2]))
            eyes.push_back({n[i], n[i + 1], n[i + 2]});
    return eyes;
}

std::shared_ptr<CIImage> redEye(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    std::vector<Eye> eyes = eyesOf(f.valueForKey("inputCorrectionInfo"));
    if (eyes.empty()) return input;
    return imageWithPointOp(
        input, positionOp(
                   "red eye",
                   [eyes](double x, double y, float& r, float& g, float& b, float&) {
                       for (const Eye& e : eyes) {
                           const double d = std::hypot(x - e.x, y - e.y) / e.r;
                           if (d >= 1) continue;
                           const float fade = static_cast<float>(std::clamp((1 - d) / 0.2, 0.0, 1.0));
                           const float other = 0.5f * (g + b);
                           // How far red dominates, as a fraction of red (premultiplied values keep the ratio).
                           const float redness = r > 0 ? std::clamp((r - other) / r * 2 - 0.4f, 0.0f, 1.0f) : 0.0f;
                           r += (std::min(r, other) - r) * redness * fade;
                       }
                   },
                   false));
}

}  // namespace

std::shared_ptr<CIFilter> makeRedEyeCorrectionFilter(const FilterDescription& d) {
    return makeFunctionFilter<redEye>(d);
}
